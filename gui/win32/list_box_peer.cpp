#include "gui/win32/color_scheme.h"
#include "gui/win32/peers.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

class ListBoxPeer : public WindowPeer {
 public:
  ListBoxPeer(gui::ListBox& list, HWND parent) : WindowPeer(list), list_(list) {
    if (CreateChild(L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                    parent) == nullptr)
      return;
    FillItems();
  }

  void OnCommand(WORD code) override {
    if (code != LBN_SELCHANGE || filling_) return;
    const auto index = static_cast<int>(::SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
    if (index != LB_ERR) list_.SelectByUser(index);
  }

  HBRUSH OnControlColor(HDC dc) override {
    if (HighContrastOn()) return nullptr;  // the system's own colours
    ::SetTextColor(dc, ::GetSysColor(list_.EnabledWithParents() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    ::SetBkColor(dc, ToColorRef(list_.GetColor()));
    return BrushFor(list_.GetColor());
  }

 protected:
  void OnPropertyChanged(gui::Property property) override {
    if (Handle() == nullptr) return;
    if (property == gui::Property::Content) {
      FillItems();
    } else if (property == gui::Property::Selection) {
      ::SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(list_.Selected()), 0);
    } else if (property == gui::Property::Color) {
      ::InvalidateRect(Handle(), nullptr, TRUE);
    }
  }

 private:
  void FillItems() {
    filling_ = true;
    ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    for (const gui::Text& item : list_.Items()) {
      const std::wstring text(item.begin(), item.end());
      ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(list_.Selected()), 0);
    ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
    filling_ = false;
  }

  gui::ListBox& list_;
  bool filling_ = false;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreateListBoxPeer(gui::ListBox& list, HWND parent) {
  return std::make_unique<ListBoxPeer>(list, parent);
}

}  // namespace gui::win32
