#include "gui/win32/accessible_object.h"

#include <new>

namespace gui::win32 {

namespace {

// Nothing thrown may cross into the reader's call.
template <typename Work>
HRESULT Guard(Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT ToBstr(const std::wstring& text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChildId(VARIANT* out, long child) {
  out->vt = VT_I4;
  out->lVal = child;
}

}  // namespace

HRESULT AccessibleObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  // __uuidof: IID_IAccessible is defined by two import libraries, one of them as a stub.
  if (::IsEqualIID(iid, __uuidof(IUnknown)) || ::IsEqualIID(iid, __uuidof(IDispatch)) ||
      ::IsEqualIID(iid, __uuidof(IAccessible))) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef() { return ++references_; }

ULONG AccessibleObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT AccessibleObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                 EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT AccessibleObject::Check(const VARIANT& child, long& id) const {
  if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
  if (child.vt != VT_I4) return E_INVALIDARG;
  id = child.lVal;
  if (id < 0 || id > ChildCount()) return E_INVALIDARG;
  return S_OK;
}

RECT AccessibleObject::ClientOnScreen() const {
  RECT client{};
  HWND hwnd = Window();
  if (hwnd == nullptr) return client;
  ::GetClientRect(hwnd, &client);
  ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

HRESULT AccessibleObject::get_accParent(IDispatch** parent) {
  if (parent == nullptr) return E_POINTER;
  *parent = nullptr;
  HWND hwnd = Window();
  if (hwnd == nullptr) return CO_E_OBJNOTCONNECTED;
  // As with the system's own client objects: the parent is the window's frame object.
  return ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                      reinterpret_cast<void**>(parent));
}

HRESULT AccessibleObject::get_accChildCount(long* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return Guard([&] {
    if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = ChildCount();
    return S_OK;
  });
}

HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    if (id == CHILDID_SELF) return E_INVALIDARG;
    platform::win32::ComPtr<IDispatch> window = ChildObject(id);
    if (!window) return S_FALSE;  // a simple element: the reader asks this object about it
    *object = window.get();
    (*object)->AddRef();
    return S_OK;
  });
}

HRESULT AccessibleObject::get_accName(VARIANT child, BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return ToBstr(Name(id), name);
  });
}

HRESULT AccessibleObject::get_accValue(VARIANT child, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  long id = 0;
  if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::get_accDescription(VARIANT child, BSTR* description) {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  long id = 0;
  if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::get_accRole(VARIANT child, VARIANT* role) {
  if (role == nullptr) return E_POINTER;
  ::VariantInit(role);
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    SetChildId(role, Role(id));
    return S_OK;
  });
}

HRESULT AccessibleObject::get_accState(VARIANT child, VARIANT* state) {
  if (state == nullptr) return E_POINTER;
  ::VariantInit(state);
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    SetChildId(state, State(id));
    return S_OK;
  });
}

HRESULT AccessibleObject::get_accHelp(VARIANT child, BSTR* help) {
  if (help == nullptr) return E_POINTER;
  *help = nullptr;
  long id = 0;
  if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  if (file != nullptr) *file = nullptr;
  if (topic != nullptr) *topic = 0;
  long id = 0;
  if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  if (shortcut == nullptr) return E_POINTER;
  *shortcut = nullptr;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    const std::wstring keys = KeyboardShortcut(id);
    return keys.empty() ? DISP_E_MEMBERNOTFOUND : ToBstr(keys, shortcut);
  });
}

HRESULT AccessibleObject::get_accFocus(VARIANT* child) {
  if (child == nullptr) return E_POINTER;
  ::VariantInit(child);
  return Guard([&] {
    if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
    const std::optional<long> focused = FocusedChild();
    if (!focused) return S_FALSE;
    SetChildId(child, *focused);
    return S_OK;
  });
}

HRESULT AccessibleObject::get_accSelection(VARIANT* children) {
  if (children == nullptr) return E_POINTER;
  ::VariantInit(children);
  return Guard([&] {
    if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
    const std::optional<long> selected = SelectedChild();
    if (!selected) return S_FALSE;
    SetChildId(children, *selected);
    return S_OK;
  });
}

HRESULT AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (action == nullptr) return E_POINTER;
  *action = nullptr;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return ToBstr(DefaultAction(id), action);
  });
}

HRESULT AccessibleObject::accSelect(long flags, VARIANT child) {
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return Select(flags, id) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT AccessibleObject::accLocation(long* left, long* top, long* width, long* height,
                                      VARIANT child) {
  if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
    return E_POINTER;
  *left = *top = *width = *height = 0;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    const std::optional<RECT> rect = ScreenRect(id);
    if (!rect) return S_FALSE;
    *left = rect->left;
    *top = rect->top;
    *width = rect->right - rect->left;
    *height = rect->bottom - rect->top;
    return S_OK;
  });
}

HRESULT AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (end == nullptr) return E_POINTER;
  ::VariantInit(end);
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(start, id); FAILED(hr)) return hr;
    const long count = ChildCount();
    long to = 0;
    switch (direction) {
      case NAVDIR_FIRSTCHILD:
        if (id != CHILDID_SELF) return E_INVALIDARG;
        to = count > 0 ? 1 : 0;
        break;
      case NAVDIR_LASTCHILD:
        if (id != CHILDID_SELF) return E_INVALIDARG;
        to = count;
        break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN:
        // Siblings of the object itself are its parent's business.
        if (id == CHILDID_SELF) return DISP_E_MEMBERNOTFOUND;
        to = id < count ? id + 1 : 0;
        break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP:
        if (id == CHILDID_SELF) return DISP_E_MEMBERNOTFOUND;
        to = id - 1;
        break;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (to <= 0) return S_FALSE;
    if (platform::win32::ComPtr<IDispatch> window = ChildObject(to)) {
      end->vt = VT_DISPATCH;
      end->pdispVal = window.get();
      end->pdispVal->AddRef();
    } else {
      SetChildId(end, to);
    }
    return S_OK;
  });
}

HRESULT AccessibleObject::accHitTest(long x, long y, VARIANT* child) {
  if (child == nullptr) return E_POINTER;
  ::VariantInit(child);
  return Guard([&] {
    HWND hwnd = Window();
    if (hwnd == nullptr) return CO_E_OBJNOTCONNECTED;
    const RECT client = ClientOnScreen();
    const POINT at{x, y};
    if (!::PtInRect(&client, at)) return S_FALSE;
    const long id = ChildAt(POINT{x - client.left, y - client.top});
    if (id != CHILDID_SELF) {
      if (platform::win32::ComPtr<IDispatch> window = ChildObject(id)) {
        child->vt = VT_DISPATCH;
        child->pdispVal = window.get();
        child->pdispVal->AddRef();
        return S_OK;
      }
    }
    SetChildId(child, id);
    return S_OK;
  });
}

HRESULT AccessibleObject::accDoDefaultAction(VARIANT child) {
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return DoDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT AccessibleObject::put_accName(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }
HRESULT AccessibleObject::put_accValue(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }

LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam, IAccessible* client) {
  // The object id arrives as a DWORD in the low half, whatever the upper half holds.
  if (client == nullptr || static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return 0;
  return ::LresultFromObject(__uuidof(IAccessible), wParam, client);
}

}  // namespace gui::win32
