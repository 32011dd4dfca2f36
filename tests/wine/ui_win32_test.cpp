// The main window and the entry editor on the real Win32 windowing layer: the category
// jump as the grid shows it, the cells' text colour, the editor's boxes (tab order,
// input method), the names screen readers hear, and painting in high contrast. The
// program's own files live in a scratch folder; the clipboard is a stand-in, so that the
// tests never touch the one other tests share.
#include <gtest/gtest.h>
#include <windows.h>

#include <imm.h>
#include <oleacc.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/saved_store.h"
#include "gui/application.h"
#include "gui/win32/accessible_name.h"
#include "gui/win32/color_scheme.h"
#include "gui/win32/grid_window.h"
#include "gui/win32/win32_window.h"
#include "platform/win32/win32_services.h"
#include "tests/wine/app_stand_ins.h"
#include "tests/wine/client_pixels.h"
#include "tests/wine/platform_test_support.h"
#include "ui/edt_form.h"
#include "ui/main_form.h"

namespace {

using core::Text;
using gui::win32::GridWindow;
using gui::win32::WindowOf;
using wine_tests::PumpUntil;

struct Entry {
  std::string category;
  int number;
};

class UiWin32 : public wine_tests::MainFormTest {
 protected:

  // hozon.dat and a content file for each entry, in the order given.
  void WriteEntries(const std::vector<Entry>& entries) {
    ::CreateDirectoryW(folder.Wide(L"Data").c_str(), nullptr);
    std::string index;
    for (const Entry& e : entries) {
      const std::string key = "20240101 " + std::to_string(100000 + e.number);
      index += e.category + ",title " + std::to_string(e.number) + "," + key + ",00000\r\n";
      folder.Put(L"Data\\h" + std::wstring(key.begin(), key.end()) + L".dat",
                 "text " + std::to_string(e.number));
    }
    folder.Put(L"Data\\hozon.dat", index);
  }

  ui::TMainForm& Start() {
    CreateForm();
    return ShowForm();
  }

  GridWindow& SavedGrid() {
    auto* grid = dynamic_cast<GridWindow*>(form->StringGrid2.Peer());
    EXPECT_NE(grid, nullptr);
    return *grid;
  }
  std::string UsesOf(int row) {
    return wine_test::Utf8(form->StringGrid2.Table().Cell(core::kSavedColUses, row));
  }
};

TEST_F(UiWin32, ACategoryJumpShowsTheFoundRowAtTheTopAndOpensOnlyIt) {
  std::vector<Entry> entries;
  for (int i = 1; i <= 60; ++i) entries.push_back({i <= 20 ? "a" : i <= 50 ? "m" : "z", i});
  WriteEntries(entries);
  ui::TMainForm& f = Start();
  f.Img_List.Click();
  ASSERT_EQ(f.ListBox1.Items().size(), 3u);
  ASSERT_TRUE(PumpUntil([&] { return SavedGrid().TopRow() == 1; }));

  f.ListBox1.SelectByUser(1);  // "m" begins at row 21
  gui::ProcessMessages();      // the grid's deferred layout
  EXPECT_EQ(f.StringGrid2.Table().CurrentRow(), 21);
  EXPECT_EQ(SavedGrid().TopRow(), 21);
  EXPECT_EQ(UsesOf(21), "00001");
  EXPECT_EQ(UsesOf(60), "00000") << "the last row is passed, not opened";
  EXPECT_EQ(wine_test::Utf8(clipboard.text), "text 21");

  f.ListBox1.SelectByUser(0);  // back up to "a" at row 1
  gui::ProcessMessages();
  EXPECT_EQ(SavedGrid().TopRow(), 1);

  f.ListBox1.SelectByUser(2);  // "z" at row 51: too few rows follow for the top
  gui::ProcessMessages();
  EXPECT_TRUE(SavedGrid().CellRect(1, 51).has_value());
  EXPECT_TRUE(SavedGrid().CellRect(1, 60).has_value());
  EXPECT_FALSE(SavedGrid().CellRect(1, SavedGrid().TopRow() - 1).has_value());
  EXPECT_EQ(UsesOf(60), "00000");
  EXPECT_FALSE(gui::BusyCursorShown());
}

// A canvas that keeps the colours the painting rule draws text in.
class TextColours : public gui::Canvas {
 public:
  void FillRect(const gui::Rect&, gui::Color) override {}
  void DrawSingleLine(const Text&, const gui::Rect&, const gui::Font&, gui::Color color) override {
    colours.push_back(color);
  }
  std::vector<gui::Color> colours;
};

TEST_F(UiWin32, CellTextIsDrawnInTheSystemsWindowTextColour) {
  ui::TMainForm& f = Start();
  const int element = COLOR_WINDOWTEXT;
  const COLORREF before = ::GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF navy = RGB(0, 0, 128);
  ASSERT_TRUE(::SetSysColors(1, &element, &navy));
  TextColours canvas;
  f.DrawCell(f.StringGrid1, 1, 0, {0, 0, 100, 24}, canvas);  // the header: not current
  ::SetSysColors(1, &element, &before);
  ASSERT_EQ(canvas.colours.size(), 1u);
  EXPECT_EQ(canvas.colours[0], (gui::Color{0, 0, 128}));
}

class EditorWin32 : public UiWin32 {
 protected:
  ui::TEdtForm& Open(const char16_t* mode) {
    Start();
    form->wEditSw = mode;
    editor = std::make_unique<ui::TEdtForm>(*form);
    editor->ShowWindow();
    gui::ProcessMessages();
    return *editor;
  }
  void TearDown() override {
    editor.reset();
    UiWin32::TearDown();
  }
  std::unique_ptr<ui::TEdtForm> editor;
};

TEST_F(EditorWin32, TabGoesFromTheCategoryToTheTitleAndThenToTheText) {
  ui::TEdtForm& e = Open(u"NEW");
  HWND combo = WindowOf(e.ComboBox1), title = WindowOf(e.Edt_Titol), memo = WindowOf(e.Memo1);
  e.ComboBox1.SetFocus();
  HWND focus = ::GetFocus();
  ASSERT_TRUE(focus == combo || ::IsChild(combo, focus));
  ::PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0);
  gui::ProcessMessages();
  EXPECT_EQ(::GetFocus(), title);
  ::PostMessageW(title, WM_KEYDOWN, VK_TAB, 0);
  gui::ProcessMessages();
  EXPECT_EQ(::GetFocus(), memo);
}

// Wine keeps the open state and conversion mode in the input context even with no input
// method installed, so what the editor set when each box got the focus can be read back.
TEST_F(EditorWin32, CategoryTitleAndTextOpenTheInputMethodInHiragana) {
  ui::TEdtForm& e = Open(u"NEW");
  const DWORD hiragana = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
  // The category box has the focus first; each box takes it from the one before.
  for (gui::Control* box : std::initializer_list<gui::Control*>{&e.Edt_Titol, &e.Memo1,
                                                                &e.ComboBox1}) {
    // The user switched the input method off in the box before.
    HWND before = ::GetFocus();
    if (HIMC c = ::ImmGetContext(before)) {
      ::ImmSetOpenStatus(c, FALSE);
      ::ImmSetConversionStatus(c, IME_CMODE_ALPHANUMERIC, IME_SMODE_NONE);
      ::ImmReleaseContext(before, c);
    }
    box->SetFocus();
    HWND focus = ::GetFocus();
    ASSERT_NE(focus, before);
    HIMC context = ::ImmGetContext(focus);
    ASSERT_NE(context, nullptr);
    DWORD conversion = 0, sentence = 0;
    EXPECT_TRUE(::ImmGetOpenStatus(context));
    ASSERT_TRUE(::ImmGetConversionStatus(context, &conversion, &sentence));
    EXPECT_EQ(conversion & hiragana, hiragana);
    ::ImmReleaseContext(focus, context);
  }
}

// ---- Screen readers: the names Windows' own controls tell ----

// The name and role a screen reader gets for a window's client object.
std::pair<std::wstring, LONG> ClientObjectOf(HWND hwnd) {
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
    return {L"(no object)", 0};
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  VARIANT role{};
  std::pair<std::wstring, LONG> found{L"(no name)", 0};
  if (object->get_accName(self, &name) == S_OK && name != nullptr)
    found.first.assign(name, ::SysStringLen(name));
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) found.second = role.lVal;
  ::SysFreeString(name);
  object->Release();
  return found;
}

TEST_F(EditorWin32, BoxesAreNamedAfterTheLabelsBesideThem) {
  ui::TEdtForm& e = Open(u"NEW");
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  ASSERT_TRUE(::GetComboBoxInfo(WindowOf(e.ComboBox1), &combo));
  const std::pair<HWND, std::wstring> cases[] = {
      {WindowOf(form->Edt_Serch), L"履歴の検索"},
      {WindowOf(form->ListBox1), L"カテゴリー順"},
      {WindowOf(e.ComboBox1), L"カテゴリー"},
      {combo.hwndItem, L"カテゴリー"},  // the edit part, where the focus goes
      {WindowOf(e.Edt_Titol), L"タイトル"},
      {WindowOf(e.Memo1), L"内容"},
  };
  for (const auto& [hwnd, name] : cases) {
    const auto [heard, role] = ClientObjectOf(hwnd);
    EXPECT_TRUE(heard == name) << wine_test::Utf8(Text(name.begin(), name.end()));
    EXPECT_GT(role, 0) << "the rest is Windows' own object";
  }
}

// ---- High contrast ----

// Wine cannot switch high contrast on: the test decides the mode, and gives the system
// colours values that no designed colour has.
class HighContrastWin32 : public UiWin32 {
 protected:
  static constexpr int kElements[] = {COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                      COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT};
  static constexpr COLORREF kSystem[] = {RGB(10, 20, 30),  RGB(200, 210, 220), RGB(40, 50, 60),
                                         RGB(70, 80, 90),  RGB(100, 110, 120), RGB(130, 140, 150)};
  void SetUp() override {
    for (int element : kElements) saved_.push_back(::GetSysColor(element));
    ASSERT_TRUE(::SetSysColors(6, kElements, kSystem));
  }
  void TearDown() override {
    gui::win32::SetHighContrastForTesting(std::nullopt);
    ::SetSysColors(6, kElements, saved_.data());
    UiWin32::TearDown();
  }
  std::vector<COLORREF> saved_;
};

TEST_F(HighContrastWin32, TablesPanelsAndTheCurrentCellTakeTheSystemColours) {
  ui::TMainForm& f = Start();
  auto& table = f.StringGrid1.Table();
  table.SetRowCount(3);
  table.SetCell(1, 1, u"first");
  table.SetCell(1, 2, u"second");
  table.SetCurrentRow(1);
  gui::ProcessMessages();
  auto* grid = dynamic_cast<GridWindow*>(f.StringGrid1.Peer());
  ASSERT_NE(grid, nullptr);
  const gui::Rect header = grid->CellRect(1, 0).value_or(gui::Rect{});
  const gui::Rect current = grid->CellRect(1, 1).value_or(gui::Rect{});
  const gui::Rect even = grid->CellRect(1, 2).value_or(gui::Rect{});
  ASSERT_GT(current.width, 8);
  struct Spot {
    const char* what;
    HWND hwnd;
    POINT at;  // x below 0: from the right edge
    DWORD designed, highContrast;  // 0xRRGGBB
  };
  const Spot spots[] = {
      {"header row", grid->Handle(), {header.left + 1, header.top + 1}, 0xC0DCC0, 0x646E78},
      {"odd row", grid->Handle(), {current.left, current.top + 1}, 0xFFFBF0, 0x0A141E},
      {"even row", grid->Handle(), {even.left + 1, even.top + 1}, 0xFFFFFF, 0x0A141E},
      {"current cell", grid->Handle(), {current.left + 3, current.top + 1}, 0xFF00FF, 0x28323C},
      {"grid line", grid->Handle(), {even.Right(), even.top + 1}, 0xD0D0D0, 0xC8D2DC},
      {"navigation panel", WindowOf(f.Panel1), {138, 2}, 0xA6CAF0, 0x646E78},
      {"view panel", WindowOf(f.Panel2), {198, 2}, 0xC0C0C0, 0x646E78},
      {"window right of the board", WindowOf(f), {-2, 2}, 0xFFFFFF, 0x0A141E},
  };
  for (bool on : {true, false}) {
    gui::win32::SetHighContrastForTesting(on);
    for (const Spot& s : spots) {
      const wine_tests::Pixels pixels = wine_tests::PaintedClient(s.hwnd);
      const int x = s.at.x < 0 ? pixels.width + s.at.x : s.at.x;
      ASSERT_LT(x, pixels.width) << s.what;
      EXPECT_EQ(pixels.At(x, s.at.y), on ? s.highContrast : s.designed)
          << s.what << (on ? " in high contrast" : "");
    }
  }

  // A change of the setting repaints the whole window, the table with it.
  ::ValidateRect(grid->Handle(), nullptr);
  ::SendMessageW(WindowOf(f), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_TRUE(::GetUpdateRect(grid->Handle(), nullptr, FALSE));
}

}  // namespace
