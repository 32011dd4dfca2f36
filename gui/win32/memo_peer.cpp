// The multi-line text box. It also tells the memo how it lays out its text: the lines
// as the box shows them, wrapped at its width. It shows the memo's ShownText(), which for
// a long text is only its start.
#include <algorithm>

#include "gui/win32/color_scheme.h"
#include "gui/win32/peers.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

class MemoPeer : public WindowPeer, public gui::Memo::LinesSource {
 public:
  MemoPeer(gui::Memo& memo, HWND parent) : WindowPeer(memo), memo_(memo) {
    DWORD style = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_LEFT;
    if (memo.verticalScrollBar) style |= WS_VSCROLL;
    if (!memo.wordWrap) style |= ES_AUTOHSCROLL | WS_HSCROLL;
    if (memo.ReadOnlyNow()) style |= ES_READONLY;
    if (CreateChild(L"EDIT", style, WS_EX_CLIENTEDGE, parent) == nullptr) return;
    ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);  // no 32K limit
    ShowText();
    memo.SetLinesSource(this);
  }

  std::vector<gui::Text> DisplayedLines() const override {
    HWND hwnd = Handle();
    if (hwnd == nullptr) return memo_.HeadlessLines();
    const gui::Text text = WindowText(hwnd);
    const auto count = static_cast<int>(::SendMessageW(hwnd, EM_GETLINECOUNT, 0, 0));
    std::vector<gui::Text> lines;
    lines.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
      const auto start = static_cast<LRESULT>(::SendMessageW(hwnd, EM_LINEINDEX, i, 0));
      if (start < 0 || static_cast<std::size_t>(start) > text.size()) break;
      const auto length = static_cast<LRESULT>(::SendMessageW(hwnd, EM_LINELENGTH, start, 0));
      const std::size_t from = static_cast<std::size_t>(start);
      const std::size_t size = std::min(static_cast<std::size_t>(length > 0 ? length : 0),
                                         text.size() - from);
      lines.emplace_back(text, from, size);
    }
    // The box always has a line for the caret after a final break; the memo's lines don't.
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }

  void OnCommand(WORD code) override {
    if (code == EN_CHANGE && !settingText_) memo_.TextEditedByUser(WindowText(Handle()));
  }

  void OnFocusReceived() override { ApplyImeMode(Handle(), memo_.imeMode); }

  HBRUSH OnControlColor(HDC dc) override {
    if (HighContrastOn() || !memo_.EnabledWithParents()) return nullptr;
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ToColorRef(memo_.GetColor()));
    return BrushFor(memo_.GetColor());
  }

 protected:
  void OnPropertyChanged(gui::Property property) override {
    if (Handle() == nullptr) return;
    if (property == gui::Property::Content) {
      ::SendMessageW(Handle(), EM_SETREADONLY, memo_.ReadOnlyNow() ? TRUE : FALSE, 0);
      ShowText();
    } else if (property == gui::Property::Color) {
      ::InvalidateRect(Handle(), nullptr, TRUE);
    }
  }
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) override {
    handled = HandleTextBoxKey(Handle(), message, wParam, false);
    return 0;
  }

 private:
  void ShowText() {
    // Only the start of a long text: laying out all of it would stop the window for seconds.
    const std::wstring text = EditControlText(memo_.ShownText());
    const gui::Text shown = WindowText(Handle());
    if (shown.size() == text.size() && std::equal(text.begin(), text.end(), shown.begin())) return;
    // The memo keeps the text as the program set it; the box only shows it.
    settingText_ = true;
    ::SetWindowTextW(Handle(), text.c_str());
    settingText_ = false;
  }

  gui::Memo& memo_;
  bool settingText_ = false;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreateMemoPeer(gui::Memo& memo, HWND parent) {
  return std::make_unique<MemoPeer>(memo, parent);
}

}  // namespace gui::win32
