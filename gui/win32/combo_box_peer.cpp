#include "gui/win32/accessible_name.h"
#include "gui/win32/peers.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

class ComboBoxPeer : public WindowPeer {
 public:
  ComboBoxPeer(gui::ComboBox& combo, HWND parent) : WindowPeer(combo), combo_(combo) {
    if (CreateChild(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                    parent) == nullptr)
      return;
    ::SendMessageW(Handle(), CB_LIMITTEXT, 0, 0);
    // The focus is in the edit part: a reader names what it finds there.
    NameInnerWindowAs(EditPart(), combo);
    Sync();
  }

  void OnCommand(WORD code) override {
    if (code == CBN_SETFOCUS) {
      // The focus is in the box's edit part, which has its own input context.
      HWND edit = EditPart();
      ApplyImeMode(edit != nullptr ? edit : Handle(), combo_.imeMode);
      return;
    }
    if (settingText_) return;
    if (code == CBN_EDITCHANGE) {
      combo_.TextEditedByUser(WindowText(Handle()));
    } else if (code == CBN_SELCHANGE) {
      // The edit part shows the chosen item only after this notification.
      const auto index = static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
      if (index >= 0 && index < static_cast<int>(combo_.Items().size()))
        combo_.TextEditedByUser(combo_.Items()[static_cast<std::size_t>(index)]);
    }
  }

 protected:
  // The window's height includes the list that drops down.
  int ExtraPixelHeight() const override { return Scale(200, Dpi()); }
  void OnPropertyChanged(gui::Property property) override {
    if (property == gui::Property::Content && Handle() != nullptr) Sync();
  }

 private:
  HWND EditPart() const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    return ::GetComboBoxInfo(Handle(), &info) ? info.hwndItem : nullptr;
  }
  void Sync() {
    settingText_ = true;
    if (shownItems_ != combo_.Items()) {
      ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
      for (const gui::Text& item : combo_.Items()) {
        const std::wstring text(item.begin(), item.end());
        ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      }
      shownItems_ = combo_.Items();
    }
    if (WindowText(Handle()) != combo_.GetText()) {
      const std::wstring text(combo_.GetText().begin(), combo_.GetText().end());
      ::SetWindowTextW(Handle(), text.c_str());
    }
    settingText_ = false;
  }

  gui::ComboBox& combo_;
  std::vector<gui::Text> shownItems_;
  bool settingText_ = false;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreateComboBoxPeer(gui::ComboBox& combo, HWND parent) {
  return std::make_unique<ComboBoxPeer>(combo, parent);
}

}  // namespace gui::win32
