// The main window's keys: every command of a picture has a key, so that the window can be
// worked without a mouse. A key runs exactly what a click on its picture runs, and only
// while that picture is shown and enabled. Keys a text box needs (Ctrl+A, C, V, X, Z, Y,
// Delete, Backspace, Home, End, the arrows) are never taken from one: Delete and F2 act in
// the saved table only, Enter and Esc in the search box only.
#include <algorithm>

#include "ui/key_commands.h"
#include "ui/main_form.h"

namespace ui {

namespace {

std::vector<KeyCommand> MainFormKeys(TMainForm& f) {
  using gui::Ctrl;
  using gui::CtrlShift;
  using gui::Key;
  using gui::Plain;
  using gui::Shift;
  return {
      {Plain(Key::F6), nullptr, nullptr,
       [&f](const gui::Control* focus) { f.FocusNextPane(focus, true); }},
      {Shift(Key::F6), nullptr, nullptr,
       [&f](const gui::Control* focus) { f.FocusNextPane(focus, false); }},
      {Ctrl(Key::Digit1), nullptr, &f.img_Log, {}},
      {Ctrl(Key::Digit2), nullptr, &f.Img_List, {}},
      {Ctrl(Key::Digit3), nullptr, &f.Img_new, {}},
      {Ctrl(Key::Digit4), nullptr, &f.Img_High, {}},
      {Ctrl(Key::S), nullptr, &f.Img_Sv, {}},
      {CtrlShift(Key::Delete), nullptr, &f.Img_Clrer, {}},
      {CtrlShift(Key::Backspace), nullptr, &f.Img_Clip, {}},
      {Ctrl(Key::F), nullptr, &f.Edt_Serch, [&f](const gui::Control*) { f.Edt_Serch.SetFocus(); }},
      {Plain(Key::Enter), &f.Edt_Serch, &f.SpeedB_Serch, {}},
      {Plain(Key::Escape), &f.Edt_Serch, &f.SpeedB_Clr, {}},
      {Plain(Key::F5), nullptr, &f.SpeedB_All, {}},
      {Plain(Key::Delete), &f.StringGrid2, &f.Img_Del, {}},
      {Plain(Key::F2), &f.StringGrid2, &f.Img_Edit, {}},
  };
}

}  // namespace

void TMainForm::WireKeys() {
  ShowKeysOnControls(MainFormKeys(*this));
  onKey = [this](const gui::KeyStroke& stroke, gui::Control* focus) {
    return RunKeyCommand(MainFormKeys(*this), stroke, focus);
  };
}

std::vector<gui::Control*> TMainForm::Panes() {
  std::vector<gui::Control*> panes;
  if (ListBox1.Visible()) panes.push_back(&ListBox1);
  panes.push_back(&Memo_Board);
  if (Edt_Serch.Visible()) panes.push_back(&Edt_Serch);
  // The saved table lies above the history table, and that above the extract table.
  for (gui::Grid* table : {&StringGrid2, &StringGrid1, &StringGrid3}) {
    if (table->Visible()) {
      panes.push_back(table);
      break;
    }
  }
  return panes;
}

void TMainForm::FocusNextPane(const gui::Control* focus, bool forward) {
  const std::vector<gui::Control*> panes = Panes();
  const auto at = std::find(panes.begin(), panes.end(), focus);
  const std::size_t count = panes.size();
  std::size_t next = 0;
  if (at == panes.end()) {
    next = forward ? 0 : count - 1;
  } else {
    const auto index = static_cast<std::size_t>(at - panes.begin());
    next = forward ? (index + 1) % count : (index + count - 1) % count;
  }
  panes[next]->SetFocus();
}

}  // namespace ui
