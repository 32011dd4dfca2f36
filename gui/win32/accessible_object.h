// The common half of the program's screen-reader objects (Microsoft Active
// Accessibility): reference counting, the checks every call makes, the list of children
// (IEnumVARIANT, which AccessibleChildren asks for), and the answers to WM_GETOBJECT. A
// derived object describes itself (child 0) and its children 1..n; the children are simple
// elements unless ChildObject gives a window's own object.
//
// An object may outlive its window (a reader keeps it as long as it likes): once
// Window() is nullptr every call answers CO_E_OBJNOTCONNECTED, and a child that no longer
// exists answers E_INVALIDARG. No call lets an exception out: it answers E_FAIL (or
// E_OUTOFMEMORY). Calls arrive on the window's thread.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/win32/com.h"

namespace gui::win32 {

class AccessibleObject : public IAccessible, public IEnumVARIANT {
 public:
  AccessibleObject() = default;
  AccessibleObject(const AccessibleObject&) = delete;
  AccessibleObject& operator=(const AccessibleObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: no type information; readers call IAccessible directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

  // IEnumVARIANT: the children in order, each as its id (VT_I4) or its window's object.
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* children, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

 protected:
  virtual ~AccessibleObject() = default;

  // The window described, or nullptr once it (or its control) is gone.
  virtual HWND Window() const = 0;
  virtual long ChildCount() const = 0;
  // A child that is a window of its own: a new reference to that window's object.
  virtual platform::win32::ComPtr<IDispatch> ChildObject(long child) const {
    (void)child;
    return {};
  }
  virtual long Role(long child) const = 0;
  virtual std::wstring Name(long child) const = 0;
  virtual long State(long child) const = 0;
  // Empty when the child has none.
  virtual std::wstring Description(long child) const {
    (void)child;
    return {};
  }
  // In screen pixels; nullopt when the child has no place.
  virtual std::optional<RECT> ScreenRect(long child) const = 0;
  // The keys that run the child's command ("Ctrl+S"); empty when there are none.
  virtual std::wstring KeyboardShortcut(long child) const {
    (void)child;
    return {};
  }
  // Empty when the child has no default action.
  virtual std::wstring DefaultAction(long child) const {
    (void)child;
    return {};
  }
  // Starts the default action (it runs once this call has returned); false: none.
  virtual bool DoDefaultAction(long child) {
    (void)child;
    return false;
  }
  virtual bool Select(long flags, long child) {
    (void)flags;
    (void)child;
    return false;
  }
  // The child at a point of the window's client area: 0 for the object itself.
  virtual long ChildAt(POINT client) const {
    (void)client;
    return CHILDID_SELF;
  }
  // The child with the keyboard focus (0: the object itself) and the selected one;
  // nullopt when there is none.
  virtual std::optional<long> FocusedChild() const { return std::nullopt; }
  virtual std::optional<long> SelectedChild() const { return std::nullopt; }

  // The window's client rectangle in screen pixels.
  RECT ClientOnScreen() const;

 private:
  // Resolves a child id: CO_E_OBJNOTCONNECTED or E_INVALIDARG, or S_OK with `id`.
  HRESULT Check(const VARIANT& child, long& id) const;
  // Child `id` as the enumeration hands it out.
  HRESULT ChildVariant(long id, VARIANT* out) const;
  ULONG references_ = 1;
  ULONG enumerated_ = 0;  // children the enumeration has handed out since its Reset
};

// A new reference to the object, or nullptr (out of memory). T derives AccessibleObject.
template <typename T, typename... Args>
platform::win32::ComPtr<IAccessible> MakeAccessible(Args&&... args) {
  platform::win32::ComPtr<IAccessible> object;
  *object.Put() = new T(std::forward<Args>(args)...);
  return object;
}

// Answers WM_GETOBJECT for the client area with the object; 0 (the system's own answer)
// for every other request.
LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam, IAccessible* client);

// Child ids of simple elements are 1-based positions.
inline void NotifyClientEvent(HWND hwnd, DWORD event, long child) {
  if (hwnd != nullptr) ::NotifyWinEvent(event, hwnd, OBJID_CLIENT, child);
}

}  // namespace gui::win32
