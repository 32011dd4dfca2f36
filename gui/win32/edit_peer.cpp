#include "gui/win32/color_scheme.h"
#include "gui/win32/peers.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

class EditPeer : public WindowPeer {
 public:
  EditPeer(gui::Edit& edit, HWND parent) : WindowPeer(edit), edit_(edit) {
    DWORD style = ES_AUTOHSCROLL | ES_LEFT;
    if (edit.tabStop) style |= WS_TABSTOP;
    if (edit.readOnly) style |= ES_READONLY;
    if (CreateChild(L"EDIT", style, WS_EX_CLIENTEDGE, parent) == nullptr) return;
    ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);  // no 32K limit
    ShowText();
  }

  void OnCommand(WORD code) override {
    if (code == EN_CHANGE && !settingText_) edit_.TextEditedByUser(WindowText(Handle()));
  }

  void OnFocusReceived() override { ApplyImeMode(Handle(), edit_.imeMode); }

  HBRUSH OnControlColor(HDC dc) override {
    if (HighContrastOn() || !edit_.EnabledWithParents()) return nullptr;
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ToColorRef(edit_.GetColor()));
    return BrushFor(edit_.GetColor());
  }

 protected:
  void OnPropertyChanged(gui::Property property) override {
    if (Handle() == nullptr) return;
    if (property == gui::Property::Content) {
      ::SendMessageW(Handle(), EM_SETREADONLY, edit_.readOnly ? TRUE : FALSE, 0);
      ShowText();
    } else if (property == gui::Property::Color) {
      ::InvalidateRect(Handle(), nullptr, TRUE);
    }
  }
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) override {
    handled = HandleTextBoxKey(Handle(), message, wParam, true);
    return 0;
  }

 private:
  void ShowText() {
    if (WindowText(Handle()) == edit_.GetText()) return;
    settingText_ = true;
    const std::wstring text = EditControlText(edit_.GetText());
    ::SetWindowTextW(Handle(), text.c_str());
    settingText_ = false;
  }

  gui::Edit& edit_;
  bool settingText_ = false;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreateEditPeer(gui::Edit& edit, HWND parent) {
  return std::make_unique<EditPeer>(edit, parent);
}

}  // namespace gui::win32
