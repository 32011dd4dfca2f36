// The keys of the real main window and entry editor under Wine, pressed as the keyboard
// delivers them: a key-down message to the window with the focus, with Ctrl and Shift held
// in the thread's key state. Each key runs what the matching click runs. The clipboard is
// the fixture's stand-in, so these tests never touch the one other tests share.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/win32/win32_window.h"
#include "tests/wine/app_stand_ins.h"
#include "tests/wine/client_pixels.h"
#include "tests/wine/message_box_closer.h"
#include "ui/edt_form.h"
#include "ui/main_form.h"

namespace {

using gui::win32::WindowOf;
using wine_test::Utf8;

void HoldModifiers(bool ctrl, bool shift) {
  BYTE state[256]{};
  ::GetKeyboardState(state);
  state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
  state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
  ::SetKeyboardState(state);
}

// One key to the window with the focus, handled before this returns (a modal window it
// opens included: a key pressed in there holds its own modifiers).
void Press(UINT key, bool ctrl = false, bool shift = false) {
  HoldModifiers(ctrl, shift);
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
  gui::ProcessMessages();
  HoldModifiers(false, false);
}

// Acts in the entry editor once it has opened: the editor's own loop runs `act` on a timer
// of this thread.
std::function<void(ui::TEdtForm&)> g_inEditor;
void CALLBACK EditorTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (ui::EdtForm == nullptr || !g_inEditor || !::IsWindowVisible(WindowOf(*ui::EdtForm))) return;
  ::KillTimer(nullptr, id);
  auto act = std::move(g_inEditor);
  g_inEditor = nullptr;
  act(*ui::EdtForm);
}
void InEditor(std::function<void(ui::TEdtForm&)> act) {
  g_inEditor = std::move(act);
  ::SetTimer(nullptr, 0, 20, EditorTimer);
}

class KeysWin32 : public wine_tests::MainFormTest {
 protected:
  void TearDown() override {
    g_inEditor = nullptr;
    HoldModifiers(false, false);
    MainFormTest::TearDown();
  }
  ui::TMainForm& StartWithHistoryAndEntries() {
    ::CreateDirectoryW(folder.Wide(L"Data").c_str(), nullptr);
    folder.Put(L"Data\\hozon.dat",
               "home,first,20240101 100001,00000\r\nwork,second,20240101 100002,00000\r\n");
    folder.Put(L"Data\\h20240101 100001.dat", "text one");
    folder.Put(L"Data\\h20240101 100002.dat", "text two");
    CreateForm();
    ShowForm();
    core::CellTable& history = form->StringGrid1.Table();
    history.SetRowCount(4);
    const char16_t* texts[] = {u"alpha", u"beta", u"gamma"};
    for (int row = 1; row <= 3; ++row) {
      history.SetCell(1, row, texts[row - 1]);
      history.SetCell(2, row, u"2024/01/01 10:00:0" + core::Text(1, u'0' + row));
    }
    form->Memo_Board.SetFocus();
    gui::ProcessMessages();
    return *form;
  }
  bool FocusIn(const gui::Control& control) {
    HWND focus = ::GetFocus(), hwnd = WindowOf(control);
    return focus != nullptr && (focus == hwnd || ::IsChild(hwnd, focus));
  }
};

TEST_F(KeysWin32, EachKeyRunsWhatItsClickRuns) {
  ui::TMainForm& f = StartWithHistoryAndEntries();
  wine_tests::MessageBoxCloser boxes;
  std::uint32_t sequence = 0;
  auto clipboardUnchanged = [&] { return clipboard.sequence == sequence; };
  auto row = [&](int r) { return f.StringGrid1.Table().CurrentRow() == r; };
  auto typeSearch = [&](const wchar_t* text) {
    ::SetWindowTextW(WindowOf(f.Edt_Serch), text);
    return true;
  };
  struct Step {
    const char* what;
    UINT key;
    bool ctrl, shift;
    std::function<bool()> effect;
  };
  const Step steps[] = {
      {"F6 to the search box", VK_F6, false, false, [&] { return FocusIn(f.Edt_Serch); }},
      {"F6 to the history table, choosing nothing", VK_F6, false, false,
       [&] { return FocusIn(f.StringGrid1) && clipboardUnchanged(); }},
      {"F6 round to the board", VK_F6, false, false, [&] { return FocusIn(f.Memo_Board); }},
      {"Shift+F6 back to the table", VK_F6, false, true,
       [&] { return FocusIn(f.StringGrid1) && clipboardUnchanged(); }},
      {"Down chooses the next row", VK_DOWN, false, false,
       [&] { return row(2) && Utf8(clipboard.text) == "beta\r\n"; }},
      {"End chooses the last row", VK_END, false, false,
       [&] { return row(3) && Utf8(clipboard.text) == "gamma\r\n"; }},
      {"Enter chooses it again", VK_RETURN, false, false,
       [&] { return row(3) && clipboard.sequence == sequence + 1; }},
      {"Ctrl+F to the search box", 'F', true, false,
       [&] { return FocusIn(f.Edt_Serch) && typeSearch(L"mm"); }},
      {"Enter searches", VK_RETURN, false, false,
       [&] { return f.StringGrid3.Visible() && !f.StringGrid1.Visible() && f.SpeedB_All.Enabled(); }},
      {"F6 goes to the results on top", VK_F6, false, false,
       [&] { return FocusIn(f.StringGrid3) && clipboardUnchanged(); }},
      {"F5 shows the whole history", VK_F5, false, false,
       [&] { return f.StringGrid1.Visible() && !f.SpeedB_All.Enabled(); }},
      {"Ctrl+F again", 'F', true, false, [&] { return FocusIn(f.Edt_Serch); }},
      {"Esc in the search box clears it", VK_ESCAPE, false, false,
       [&] { return f.Edt_Serch.GetText().empty() && FocusIn(f.Edt_Serch); }},
      {"Ctrl+Shift+Backspace empties board and clipboard", VK_BACK, true, true,
       [&] { return f.Memo_Board.GetText().empty() && clipboard.text.empty(); }},
      {"Ctrl+2 the category order", '2', true, false,
       [&] { return f.wSortSw == u"1" && f.ListBox1.Visible() && FocusIn(f.StringGrid2); }},
      {"F6 from the saved table round to the category list", VK_F6, false, false,
       [&] { return FocusIn(f.ListBox1); }},
      {"Ctrl+3 the recently saved", '3', true, false, [&] { return f.wSortSw == u"2"; }},
      {"Ctrl+4 the most used", '4', true, false, [&] { return f.wSortSw == u"3"; }},
      {"Ctrl+1 the history", '1', true, false,
       [&] { return f.wSortSw == u"0" && f.StringGrid1.Visible() && !f.StringGrid2.Visible(); }},
      {"Ctrl+Shift+Delete asks before clearing the history", VK_DELETE, true, true,
       [&] { return f.StringGrid1.Table().RowCount() == 4; }},  // the closer answers No
  };
  for (const Step& step : steps) {
    sequence = clipboard.sequence;
    Press(step.key, step.ctrl, step.shift);
    EXPECT_TRUE(step.effect()) << step.what;
  }
  const std::vector<std::wstring> texts = boxes.Stop();
  EXPECT_EQ(texts, std::vector<std::wstring>{L"過去の履歴内容を本当にクリアしてよろしいですか?"});
}

TEST_F(KeysWin32, SavedTableAndEditorKeys) {
  ui::TMainForm& f = StartWithHistoryAndEntries();
  wine_tests::MessageBoxCloser boxes;
  std::vector<std::string> seen;

  // Ctrl+S: the new-entry editor with the clipboard's text; Ctrl+S there saves.
  clipboard.text = u"filed text";
  InEditor([&](ui::TEdtForm& e) {
    seen.push_back(Utf8(e.Caption()) + "/" + Utf8(e.Memo1.GetText()));
    e.Memo1.SetFocus();
    e.ComboBox1.SetText(u"home");
    e.Edt_Titol.SetText(u"third");
    Press('S', true);
  });
  Press('S', true);
  EXPECT_EQ(f.wEditSw, u"OK");

  // F2 in a saved view's table: the edit editor; Esc leaves it.
  Press('3', true);
  ASSERT_TRUE(FocusIn(f.StringGrid2));
  InEditor([&](ui::TEdtForm& e) {
    seen.push_back(Utf8(e.Caption()));
    Press(VK_ESCAPE);
  });
  Press(VK_F2);
  EXPECT_EQ(f.wEditSw, u"EDIT");
  // Delete asks, as the picture does (the closer answers No).
  Press(VK_DELETE);
  EXPECT_EQ(f.StringGrid2.Table().RowCount(), 4);

  // With the view option on, opening an entry shows it; Esc is 「戻る」 there.
  f.N4->SetChecked(true);
  InEditor([&](ui::TEdtForm& e) {
    seen.push_back(Utf8(e.Caption()));
    Press(VK_ESCAPE);
  });
  Press(VK_RETURN);
  EXPECT_EQ(f.wEditSw, u"VIEW");
  EXPECT_EQ(seen, (std::vector<std::string>{"タイトルを付けて保存/filed text", "保存した内容の編集",
                                            "内容の確認"}));
  const std::vector<std::wstring> texts = boxes.Stop();
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"保存が完了しました。",
                                              L"この内容を本当に削除してよろしいですか?"}));
}

// What a tool tip shows and a screen reader is told of each key.
std::vector<std::wstring> ToolTipTexts() {
  std::vector<std::wstring> texts;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) -> BOOL {
        wchar_t cls[64]{};
        ::GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) != TOOLTIPS_CLASSW) return TRUE;
        wchar_t text[128]{};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.lpszText = text;
        if (::SendMessageW(hwnd, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
          reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::wstring ShortcutOf(HWND hwnd, long child) {
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
    return L"(no object)";
  VARIANT id{};
  id.vt = VT_I4;
  id.lVal = child;
  BSTR keys = nullptr;
  std::wstring found;
  if (object->get_accKeyboardShortcut(id, &keys) == S_OK && keys != nullptr)
    found.assign(keys, ::SysStringLen(keys));
  ::SysFreeString(keys);
  object->Release();
  return found;
}

TEST_F(KeysWin32, ToolTipsAndScreenReadersTellTheKeys) {
  StartWithHistoryAndEntries();
  const std::vector<std::wstring> tips = ToolTipTexts();
  for (const wchar_t* tip : {L"履歴 (Ctrl+1)", L"カテゴリー順 (Ctrl+2)", L"最近保存した順 (Ctrl+3)",
                             L"よく使う順 (Ctrl+4)", L"保存 (Ctrl+S)", L"編集 (F2)",
                             L"削除 (Delete)", L"履歴クリア (Ctrl+Shift+Delete)",
                             L"クリップボードクリア (Ctrl+Shift+Backspace)",
                             L"履歴の検索 (Enter)", L"クリア (Esc)", L"履歴の全件表示 (F5)"})
    EXPECT_NE(std::find(tips.begin(), tips.end(), tip), tips.end()) << Utf8(core::Text(tip, tip + wcslen(tip)));

  // The reader hears the keys of the panel's picture buttons and of the search buttons.
  HWND panel = WindowOf(form->Panel1);
  std::vector<std::wstring> panelKeys;
  for (long child = 1; child <= 20; ++child)
    if (const std::wstring keys = ShortcutOf(panel, child); !keys.empty()) panelKeys.push_back(keys);
  EXPECT_EQ(panelKeys, (std::vector<std::wstring>{L"Ctrl+1", L"Ctrl+2", L"Ctrl+3", L"Ctrl+4",
                                                  L"Ctrl+S", L"F2", L"Delete",
                                                  L"Ctrl+Shift+Delete", L"Ctrl+Shift+Backspace"}));
  EXPECT_EQ(ShortcutOf(WindowOf(form->SpeedB_Serch), CHILDID_SELF), L"Enter");
  EXPECT_EQ(ShortcutOf(WindowOf(form->SpeedB_All), CHILDID_SELF), L"F5");
}

}  // namespace
