#include "gui/win32/accessible_object.h"

#include <new>
#include <vector>

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
  if (::IsEqualIID(iid, __uuidof(IEnumVARIANT))) {
    *out = static_cast<IEnumVARIANT*>(this);
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
  return Guard([&] {
    HWND hwnd = Window();
    if (hwnd == nullptr) return CO_E_OBJNOTCONNECTED;
    // As with the system's own client objects: the parent is the window's frame object.
    return ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_WINDOW),
                                        __uuidof(IDispatch), reinterpret_cast<void**>(parent));
  });
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
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT AccessibleObject::get_accDescription(VARIANT child, BSTR* description) {
  if (description == nullptr) return E_POINTER;
  *description = nullptr;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return ToBstr(Description(id), description);
  });
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
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  if (file != nullptr) *file = nullptr;
  if (topic != nullptr) *topic = 0;
  return Guard([&] {
    long id = 0;
    if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
    return DISP_E_MEMBERNOTFOUND;
  });
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
    if (id == CHILDID_SELF && direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
      // The object's neighbours are its window's: the system's object for it knows them.
      IAccessible* standard = nullptr;
      if (FAILED(::CreateStdAccessibleObject(Window(), OBJID_CLIENT, __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&standard))) ||
          standard == nullptr)
        return DISP_E_MEMBERNOTFOUND;
      const HRESULT hr = standard->accNavigate(direction, start, end);
      standard->Release();
      return hr;
    }
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
        to = id < count ? id + 1 : 0;
        break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP:
        to = id - 1;
        break;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (to <= 0) return S_FALSE;
    return ChildVariant(to, end);
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

HRESULT AccessibleObject::ChildVariant(long id, VARIANT* out) const {
  if (platform::win32::ComPtr<IDispatch> window = ChildObject(id)) {
    out->vt = VT_DISPATCH;
    out->pdispVal = window.get();
    out->pdispVal->AddRef();
  } else {
    SetChildId(out, id);
  }
  return S_OK;
}

namespace {

// A copy of an enumeration at one moment, with its own position (IEnumVARIANT::Clone).
class ChildListCopy final : public IEnumVARIANT {
 public:
  ChildListCopy(std::vector<VARIANT> children, ULONG position)
      : children_(std::move(children)), position_(position) {}
  ChildListCopy(const ChildListCopy&) = delete;
  ChildListCopy& operator=(const ChildListCopy&) = delete;

  // A new copy owning the children's references; they are given back when it cannot be made.
  static HRESULT Adopt(std::vector<VARIANT> children, ULONG position, IEnumVARIANT** copy) {
    auto* list = new (std::nothrow) ChildListCopy(std::vector<VARIANT>{}, position);
    if (list == nullptr) {
      for (VARIANT& child : children) ::VariantClear(&child);
      return E_OUTOFMEMORY;
    }
    list->children_ = std::move(children);
    *copy = list;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!::IsEqualIID(iid, __uuidof(IUnknown)) && !::IsEqualIID(iid, __uuidof(IEnumVARIANT)))
      return E_NOINTERFACE;
    *out = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (out == nullptr) return E_POINTER;
    ULONG n = 0;
    for (; n < wanted && position_ < children_.size(); ++n, ++position_) {
      ::VariantInit(&out[n]);
      ::VariantCopy(&out[n], &children_[position_]);
    }
    if (fetched != nullptr) *fetched = n;
    return n == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const ULONG size = static_cast<ULONG>(children_.size());
    const bool all = count <= size - position_;
    position_ = all ? position_ + count : size;
    return all ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = nullptr;
    return Guard([&] {
      std::vector<VARIANT> children(children_.size());
      for (std::size_t i = 0; i < children.size(); ++i) {
        ::VariantInit(&children[i]);
        ::VariantCopy(&children[i], &children_[i]);
      }
      return Adopt(std::move(children), position_, copy);
    });
  }

 private:
  ~ChildListCopy() {
    for (VARIANT& child : children_) ::VariantClear(&child);
  }
  std::vector<VARIANT> children_;
  ULONG position_;
  ULONG references_ = 1;
};

}  // namespace

HRESULT AccessibleObject::Next(ULONG wanted, VARIANT* children, ULONG* fetched) {
  if (fetched != nullptr) *fetched = 0;
  if (children == nullptr) return E_POINTER;
  return Guard([&] {
    if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
    const ULONG count = static_cast<ULONG>(ChildCount());
    ULONG n = 0;
    for (; n < wanted && enumerated_ < count; ++n, ++enumerated_) {
      ::VariantInit(&children[n]);
      ChildVariant(static_cast<long>(enumerated_ + 1), &children[n]);
    }
    if (fetched != nullptr) *fetched = n;
    return n == wanted ? S_OK : S_FALSE;
  });
}

HRESULT AccessibleObject::Skip(ULONG count) {
  return Guard([&] {
    if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
    const ULONG size = static_cast<ULONG>(ChildCount());
    const bool all = enumerated_ <= size && count <= size - enumerated_;
    enumerated_ = all ? enumerated_ + count : size;
    return all ? S_OK : S_FALSE;
  });
}

HRESULT AccessibleObject::Reset() {
  enumerated_ = 0;
  return S_OK;
}

HRESULT AccessibleObject::Clone(IEnumVARIANT** copy) {
  if (copy == nullptr) return E_POINTER;
  *copy = nullptr;
  return Guard([&] {
    if (Window() == nullptr) return CO_E_OBJNOTCONNECTED;
    const long count = ChildCount();
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
      ::VariantInit(&children[static_cast<std::size_t>(i)]);
      ChildVariant(i + 1, &children[static_cast<std::size_t>(i)]);
    }
    return ChildListCopy::Adopt(std::move(children), enumerated_, copy);
  });
}

LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam, IAccessible* client) {
  // The object id arrives as a DWORD in the low half, whatever the upper half holds.
  if (client == nullptr || static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return 0;
  return ::LresultFromObject(__uuidof(IAccessible), wParam, client);
}

}  // namespace gui::win32
