#include "gui/win32/accessible_name.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <new>
#include <string>

namespace gui::win32 {

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Windows' standard object for the window with another name. It keeps its own copy of the
// name and a reference to the standard object, which answers for a window that has gone:
// a reader may hold it longer than the control lives.
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* standard, const gui::Text& name)
      : standard_(standard), name_(name.begin(), name.end()) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  // IUnknown. The standard object's IEnumVARIANT (its children) and IOleWindow (its window)
  // are handed out as they are; nothing else of it, so that COM marshals this object, not
  // the standard one, to a reader in another process.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    if (iid == IID_IEnumVARIANT || iid == IID_IOleWindow) return standard_->QueryInterface(iid, out);
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override {
    return standard_->Invoke(id, iid, lcid, flags, params, result, exception, argError);
  }

  // IAccessible: the name of the object itself is ours; everything else is Windows'.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) return standard_->get_accName(child, name);
    if (name == nullptr) return E_INVALIDARG;
    *name = ::SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return standard_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() { standard_->Release(); }

  IAccessible* standard_;  // one reference, given back with the last of ours
  std::wstring name_;
  std::atomic<ULONG> references_{1};
};

constexpr UINT_PTR kInnerSubclassId = 0x534E;

LRESULT CALLBACK InnerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR, DWORD_PTR data) {
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &InnerWindowProc, kInnerSubclassId);
  } else if (message == WM_GETOBJECT) {
    const auto* control = reinterpret_cast<const gui::Control*>(data);
    LRESULT result = 0;
    if (AnswerNamedObject(hwnd, wParam, lParam, control->AccessibleName(), result)) return result;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool AnswerNamedObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const gui::Text& name,
                       LRESULT& result) {
  // The object id is a 32-bit value, whatever the width of lParam.
  if (name.empty() || static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
  IAccessible* standard = nullptr;
  // The standard object is made directly, without asking the window again.
  if (FAILED(::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&standard))) ||
      standard == nullptr)
    return false;
  auto* named = new (std::nothrow) NamedAccessible(standard, name);
  if (named == nullptr) {
    standard->Release();
    return false;
  }
  // LresultFromObject takes its own reference; ours goes back either way.
  result = ::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(named));
  named->Release();
  return result > 0;
}

void NameInnerWindowAs(HWND inner, const gui::Control& control) {
  if (inner == nullptr) return;
  ::SetWindowSubclass(inner, &InnerWindowProc, kInnerSubclassId,
                      reinterpret_cast<DWORD_PTR>(&control));
}

}  // namespace gui::win32
