// Move-only owners of the window-system handles the backend creates.
#pragma once
#include <windows.h>

#include <utility>

namespace gui::win32 {

// Owns any GDI object that DeleteObject frees (fonts, brushes, bitmaps).
template <typename Handle>
class OwnedGdiObject {
 public:
  OwnedGdiObject() = default;
  explicit OwnedGdiObject(Handle handle) : handle_(handle) {}
  OwnedGdiObject(OwnedGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedGdiObject& operator=(OwnedGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
  ~OwnedGdiObject() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) ::DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using OwnedFont = OwnedGdiObject<HFONT>;
using OwnedBrush = OwnedGdiObject<HBRUSH>;
using OwnedBitmap = OwnedGdiObject<HBITMAP>;

// Owns a window; DestroyWindow when it goes (unless the window is already gone).
class OwnedWindow {
 public:
  OwnedWindow() = default;
  explicit OwnedWindow(HWND hwnd) : hwnd_(hwnd) {}
  OwnedWindow(OwnedWindow&& other) noexcept : hwnd_(std::exchange(other.hwnd_, nullptr)) {}
  OwnedWindow& operator=(OwnedWindow&& other) noexcept {
    if (this != &other) {
      Reset();
      hwnd_ = std::exchange(other.hwnd_, nullptr);
    }
    return *this;
  }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;
  ~OwnedWindow() { Reset(); }

  HWND Get() const { return hwnd_; }
  // Forgets the window without destroying it (it was destroyed by the system).
  void Release() { hwnd_ = nullptr; }
  void Reset(HWND hwnd = nullptr) {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    hwnd_ = hwnd;
  }

 private:
  HWND hwnd_ = nullptr;
};

// A memory device context, deleted with its owner.
class OwnedMemoryDc {
 public:
  explicit OwnedMemoryDc(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
  OwnedMemoryDc(const OwnedMemoryDc&) = delete;
  OwnedMemoryDc& operator=(const OwnedMemoryDc&) = delete;
  ~OwnedMemoryDc() {
    if (dc_ != nullptr) ::DeleteDC(dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC for a scope; the previous object goes back afterwards.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Saves a DC's state (clip region, colours, font) and restores it afterwards.
class ScopedDcState {
 public:
  explicit ScopedDcState(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
  ScopedDcState(const ScopedDcState&) = delete;
  ScopedDcState& operator=(const ScopedDcState&) = delete;
  ~ScopedDcState() {
    if (saved_ != 0) ::RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

}  // namespace gui::win32
