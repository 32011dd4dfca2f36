// Component object owners without WRL or ATL, so that MinGW and MSVC build the same code.
#pragma once
#include <objbase.h>

#include <utility>

namespace platform::win32 {

// Owns one reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  void Reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }
  // For functions that hand out a new reference: releases the old one first.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  // QueryInterface for another interface of the same object.
  template <typename U>
  HRESULT As(REFIID iid, ComPtr<U>& out) const {
    if (!ptr_) return E_POINTER;
    return ptr_->QueryInterface(iid, out.PutVoid());
  }

 private:
  T* ptr_ = nullptr;
};

// The single-threaded apartment of the user-interface thread, for as long as it lives.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    // S_FALSE (already initialised here) also takes a reference that must be given back.
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace platform::win32
