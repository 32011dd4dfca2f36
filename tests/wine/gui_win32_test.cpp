// The real Win32 windowing layer under Wine: windows for the controls, stacking, the
// board's wrapped lines, menus, timers, modal forms, painting of pictures and labels.
#include "tests/wine/message_box_closer.h"
#include "tests/wine/client_pixels.h"
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "gui/application.h"
#include "gui/controls.h"
#include "gui/form.h"
#include "gui/menu.h"
#include "gui/win32/bitmap_cache.h"
#include "gui/win32/win32_window.h"

namespace {

using core::Text;
using gui::win32::WindowOf;

constexpr gui::Color kSkyBlue{166, 202, 240};

using wine_tests::PumpUntil;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64]{};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

Text TextOf(HWND hwnd) {
  wchar_t buffer[512]{};
  const int n = ::GetWindowTextW(hwnd, buffer, 512);
  return Text(buffer, buffer + n);
}

COLORREF PixelOfClient(HWND hwnd, int x, int y) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  HDC screen = ::GetDC(hwnd);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF pixel = ::GetPixel(memory, x, y);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(hwnd, screen);
  return pixel;
}

// The client area of a window as painted by WM_PRINTCLIENT, one COLORREF-like value a pixel.
std::vector<DWORD> ClientPixels(HWND hwnd) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  HDC screen = ::GetDC(hwnd);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<DWORD> pixels;
  if (bitmap != nullptr) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + static_cast<std::size_t>(client.right) * client.bottom);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(memory);
  ::ReleaseDC(hwnd, screen);
  return pixels;
}

// A small window with one control of each kind.
class TestForm : public gui::Form {
 public:
  TestForm() {
    SetCaption(u"テスト");
    SetBounds({40, 40, 640, 480});
    panel.SetBounds({0, 0, 140, 400});
    panel.SetColor(kSkyBlue);
    image.SetBounds({7, 16, 53, 49});
    image.resourceName = u"ICON_LOG";
    image.handCursor = true;
    label.SetBounds({66, 32, 40, 18});
    label.SetCaption(u"履　歴");
    label.SetFont(gui::Font{u"Tahoma", 15});
    memo.SetBounds({150, 0, 200, 120});
    memo.SetFont(gui::Font{u"Tahoma", 13});
    edit.SetBounds({150, 130, 200, 24});
    list.SetBounds({150, 160, 200, 80});
    view.SetBounds({360, 0, 260, 120});
    view.AddColumn(u"バージョン", 80);
    view.AddColumn(u"内容", 150);
    search.SetBounds({150, 250, 58, 31});
    search.resourceName = u"GLYPH_SEARCH";
    search.hint = u"履歴の検索";
    lowest.SetBounds({360, 200, 100, 60});
    middle.SetBounds({380, 210, 100, 60});
    highest.SetBounds({400, 220, 100, 60});
    file = &mainMenu.Add(u"ファイル");
    option = &file->Add(u"オプション");
    file->Add(u"-");
    quit = &file->Add(u"終了");
    menu = &mainMenu;
    timers.push_back(&timer);
  }

  gui::Panel panel{this};
  gui::Image image{&panel};
  gui::Label label{&panel};
  gui::Memo memo{this};
  gui::Edit edit{this};
  gui::ListBox list{this};
  gui::ListView view{this};
  gui::SpeedButton search{this};
  gui::Panel lowest{this};
  gui::Panel middle{this};
  gui::Panel highest{this};
  gui::Timer timer;
  gui::MainMenu mainMenu;
  gui::MenuItem* file = nullptr;
  gui::MenuItem* option = nullptr;
  gui::MenuItem* quit = nullptr;
};

class GuiWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TestForm>();
    gui::Realize(*form);
    hwnd = static_cast<HWND>(form->NativeHandle());
    ASSERT_NE(hwnd, nullptr) << "no window could be made: run under a display";
  }
  void TearDown() override {
    form.reset();
    gui::ProcessMessages();
  }
  std::unique_ptr<TestForm> form;
  HWND hwnd = nullptr;
};

TEST_F(GuiWin32, RealizeCreatesAWindowForEachWindowedControl) {
  EXPECT_EQ(TextOf(hwnd), u"テスト");
  EXPECT_EQ(ClassOf(WindowOf(form->memo)), L"Edit");
  EXPECT_EQ(ClassOf(WindowOf(form->edit)), L"Edit");
  EXPECT_EQ(ClassOf(WindowOf(form->list)), L"ListBox");
  EXPECT_EQ(ClassOf(WindowOf(form->view)), L"SysListView32");
  ASSERT_NE(WindowOf(form->panel), nullptr);
  EXPECT_EQ(::GetParent(WindowOf(form->panel)), hwnd);
  // Labels and pictures are painted by the panel they lie in.
  EXPECT_EQ(WindowOf(form->label), nullptr);
  EXPECT_EQ(WindowOf(form->image), nullptr);
  EXPECT_NE(::GetMenu(hwnd), nullptr);

  RECT frame{};
  ::GetWindowRect(hwnd, &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.right - frame.left, 640);
  RECT memo{};
  ::GetWindowRect(WindowOf(form->memo), &memo);
  EXPECT_EQ(memo.right - memo.left, 200);
  EXPECT_EQ(memo.bottom - memo.top, 120);
}

TEST_F(GuiWin32, StateSetAfterRealizeReachesTheWindows) {
  HWND edit = WindowOf(form->edit);
  form->edit.SetText(u"検索");
  EXPECT_EQ(TextOf(edit), u"検索");
  form->edit.SetBounds({150, 130, 300, 30});
  RECT r{};
  ::GetWindowRect(edit, &r);
  EXPECT_EQ(r.right - r.left, 300);
  form->edit.Hide();
  EXPECT_FALSE(::IsWindowVisible(edit));
  form->edit.SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(edit));
  form->SetCaption(u"只今、自動バックアップ中です。");
  EXPECT_EQ(TextOf(hwnd), u"只今、自動バックアップ中です。");
}

TEST_F(GuiWin32, TabFollowsCreationOrderAndHiddenControlsGiveUpTheFocus) {
  form->ShowWindow();
  HWND memo = WindowOf(form->memo), edit = WindowOf(form->edit), list = WindowOf(form->list);
  // The first control that takes the focus has it when the window opens.
  EXPECT_EQ(::GetFocus(), memo);
  ::PostMessageW(memo, WM_KEYDOWN, VK_TAB, 0);
  gui::ProcessMessages();
  EXPECT_EQ(::GetFocus(), edit);
  EXPECT_EQ(form->memo.GetText(), u"");  // the key moved the focus and typed nothing
  ::PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
  gui::ProcessMessages();
  EXPECT_EQ(::GetFocus(), list);
  form->list.Hide();
  HWND now = ::GetFocus();
  EXPECT_NE(now, list);
  EXPECT_TRUE(now == memo || now == edit) << "the focus went to another control";
}

TEST_F(GuiWin32, UserTypingUpdatesTheControlsText) {
  ::SetWindowTextW(WindowOf(form->edit), L"typed");
  EXPECT_EQ(form->edit.GetText(), u"typed");
  // Typing and pasting replace the selection (a multi-line box reports no WM_SETTEXT).
  HWND memo = WindowOf(form->memo);
  ::SendMessageW(memo, EM_SETSEL, 0, -1);
  ::SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"line1\r\nline2"));
  EXPECT_EQ(form->memo.GetText(), u"line1\r\nline2");
}

TEST_F(GuiWin32, LaterSiblingsLieAbove) {
  form->ShowWindow();
  // The three panels overlap at (410, 230): the one created last is on top.
  HWND top = ::ChildWindowFromPointEx(hwnd, POINT{410, 230}, CWP_SKIPINVISIBLE);
  EXPECT_EQ(top, WindowOf(form->highest));
  HWND between = ::ChildWindowFromPointEx(hwnd, POINT{385, 215}, CWP_SKIPINVISIBLE);
  EXPECT_EQ(between, WindowOf(form->middle));
}

TEST_F(GuiWin32, MemoLinesFollowTheBoxsWrapping) {
  form->memo.SetText(u"a\r\n\r\nb");
  EXPECT_EQ(form->memo.DisplayedLines(), (std::vector<Text>{u"a", u"", u"b"}));

  Text longLine;
  for (int i = 0; i < 40; ++i) longLine += u"word ";
  form->memo.SetText(longLine);
  const auto lines = form->memo.DisplayedLines();
  ASSERT_GT(lines.size(), 2u) << "a line wider than the box is wrapped";
  Text joined;
  for (const auto& line : lines) joined += line;
  EXPECT_EQ(joined, longLine);

  form->memo.SetText(u"");
  EXPECT_TRUE(form->memo.DisplayedLines().empty());
  // The memo keeps a lone line feed as the program set it; the box shows a break.
  form->memo.SetText(u"x\ny");
  EXPECT_EQ(form->memo.GetText(), u"x\ny");
  EXPECT_EQ(form->memo.DisplayedLines(), (std::vector<Text>{u"x", u"y"}));
}

TEST_F(GuiWin32, MenuStateReachesTheRealMenuAndCommandsRunClicks) {
  HMENU bar = ::GetMenu(hwnd);
  HMENU fileMenu = ::GetSubMenu(bar, 0);
  ASSERT_NE(fileMenu, nullptr);
  EXPECT_EQ(::GetMenuItemCount(fileMenu), 3);
  EXPECT_EQ(::GetMenuState(fileMenu, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
  form->option->SetChecked(true);
  EXPECT_NE(::GetMenuState(fileMenu, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
  form->option->SetChecked(false);
  EXPECT_EQ(::GetMenuState(fileMenu, 0, MF_BYPOSITION) & MF_CHECKED, 0u);

  int clicks = 0;
  form->quit->onClick = [&] { ++clicks; };
  const UINT id = ::GetMenuItemID(fileMenu, 2);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  EXPECT_EQ(clicks, 1);
  form->quit->SetEnabled(false);
  EXPECT_NE(::GetMenuState(fileMenu, 2, MF_BYPOSITION) & MF_GRAYED, 0u);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(GuiWin32, ListBoxAndListViewShowTheirRows) {
  int selects = 0;
  form->list.onSelect = [&] { ++selects; };
  form->list.Add(u"仕事");
  form->list.Add(u"趣味");
  HWND list = WindowOf(form->list);
  EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  form->list.SetSelected(1);
  EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(selects, 0);
  // The user's choice: the box selects and tells its parent.
  ::SendMessageW(list, LB_SETCURSEL, 0, 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(form->list.Selected(), 0);

  auto& row = form->view.AddItem();
  row.caption = u"Ver1.00.0002";
  form->view.AddSubItem(0, u"履歴検索機能追加");
  HWND view = WindowOf(form->view);
  EXPECT_EQ(::SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), 1);
  wchar_t text[64]{};
  LVITEMW item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = 64;
  ::SendMessageW(view, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(text), L"履歴検索機能追加");
  EXPECT_EQ(::SendMessageW(view, LVM_GETCOLUMNWIDTH, 0, 0), 80);
}

TEST_F(GuiWin32, PicturesAreClickedThroughTheirPanelOnlyWhenEnabled) {
  int clicks = 0;
  form->image.onClick = [&] { ++clicks; };
  HWND panel = WindowOf(form->panel);
  ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(20, 30));
  EXPECT_EQ(clicks, 1);
  // A double click arrives as press, release, double-click press, release: one click.
  ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(20, 30));
  ::SendMessageW(panel, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 30));
  ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(20, 30));
  EXPECT_EQ(clicks, 2);
  // Pressed on the picture, released elsewhere: no click.
  ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(100, 300));
  EXPECT_EQ(clicks, 2);
  form->image.SetEnabled(false);
  ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(20, 30));
  EXPECT_EQ(clicks, 2);
}

TEST_F(GuiWin32, TheHandShowsOverEnabledImageButtonsOnly) {
  form->ShowWindow();
  HWND panel = WindowOf(form->panel);
  auto cursorOver = [&](int x, int y) {
    POINT at{x, y};
    ::ClientToScreen(panel, &at);
    ::SetCursorPos(at.x, at.y);
    ::SendMessageW(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(panel),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
  };
  HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  EXPECT_EQ(cursorOver(20, 30), hand);
  EXPECT_NE(cursorOver(100, 300), hand);
  form->image.SetEnabled(false);
  EXPECT_NE(cursorOver(20, 30), hand);
}

TEST_F(GuiWin32, SpeedButtonsClickWhenEnabledAndCarryTheirToolTip) {
  int clicks = 0;
  form->search.onClick = [&] { ++clicks; };
  HWND button = WindowOf(form->search);
  ASSERT_NE(button, nullptr);
  ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);
  form->search.SetEnabled(false);
  ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);

  struct Search {
    HWND owner;
    std::wstring text;
  } search{hwnd, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND tip, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (ClassOf(tip) != L"tooltips_class32" || ::GetWindow(tip, GW_OWNER) != s->owner)
          return TRUE;
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        wchar_t text[80]{};
        tool.lpszText = text;
        if (::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) s->text = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  EXPECT_EQ(search.text, L"履歴の検索");
}

TEST_F(GuiWin32, PanelsPaintTheirColourAndIconsBlendOverIt) {
  HWND panel = WindowOf(form->panel);
  EXPECT_EQ(PixelOfClient(panel, 130, 390), RGB(166, 202, 240));
  // The icon's corner is transparent: the panel's colour shows through.
  EXPECT_EQ(PixelOfClient(panel, 7, 16), RGB(166, 202, 240));
  const auto* icon = gui::win32::BitmapResource(u"ICON_LOG");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->width, 48);
  EXPECT_TRUE(icon->alpha);
  const auto* splash = gui::win32::BitmapResource(u"SPLASH");
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->width, 767);
  EXPECT_FALSE(splash->alpha);
  EXPECT_EQ(gui::win32::BitmapResource(u"NO_SUCH_PICTURE"), nullptr);
}

TEST_F(GuiWin32, ADisabledLabelIsGreyed) {
  HWND panel = WindowOf(form->panel);
  auto darkestPixel = [&] {
    // Darkest pixel inside the label's text box: black text, or grey when disabled.
    int darkest = 255 * 3;
    COLORREF found = 0;
    for (int y = 32; y < 50; ++y)
      for (int x = 66; x < 106; ++x) {
        const COLORREF p = PixelOfClient(panel, x, y);
        const int sum = GetRValue(p) + GetGValue(p) + GetBValue(p);
        if (sum < darkest) {
          darkest = sum;
          found = p;
        }
      }
    return found;
  };
  EXPECT_EQ(darkestPixel(), RGB(0, 0, 0));
  form->label.SetEnabled(false);
  const COLORREF grey = darkestPixel();
  EXPECT_NE(grey, RGB(0, 0, 0));
  EXPECT_NE(grey, RGB(166, 202, 240));
}

TEST_F(GuiWin32, FormSizeChangesRunOnResizeBothWays) {
  int resizes = 0;
  form->onResize = [&] { ++resizes; };
  form->SetBounds({40, 40, 700, 500});
  EXPECT_EQ(resizes, 1);
  RECT frame{};
  ::GetWindowRect(hwnd, &frame);
  EXPECT_EQ(frame.right - frame.left, 700);
  // The user drags the frame.
  ::SetWindowPos(hwnd, nullptr, 50, 60, 720, 510, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(form->Bounds(), (gui::Rect{50, 60, 720, 510}));
  EXPECT_EQ(form->StoredFrame(), (gui::Rect{50, 60, 720, 510}));
  ::SetWindowPos(hwnd, nullptr, 10, 10, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(form->Left(), 10);
}

TEST_F(GuiWin32, MinimisedFormStoresItsRestoredFrame) {
  form->ShowWindow();
  form->SetBounds({30, 40, 600, 400});
  ::ShowWindow(hwnd, SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(hwnd) != FALSE; }));
  EXPECT_EQ(form->StoredFrame(), (gui::Rect{30, 40, 600, 400}));
  ::ShowWindow(hwnd, SW_RESTORE);
  ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(hwnd) == FALSE; }));
  EXPECT_EQ(form->Bounds(), (gui::Rect{30, 40, 600, 400}));
}

TEST_F(GuiWin32, MaximisedThenMinimisedFormStoresTheMaximisedFrame) {
  form->ShowWindow();
  form->SetBounds({30, 40, 600, 400});
  ::ShowWindow(hwnd, SW_MAXIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return ::IsZoomed(hwnd) != FALSE; }));
  const gui::Rect maximised = form->Bounds();
  ASSERT_NE(maximised, (gui::Rect{30, 40, 600, 400}));
  ::ShowWindow(hwnd, SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(hwnd) != FALSE; }));
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ASSERT_TRUE(::GetWindowPlacement(hwnd, &placement));
  ASSERT_NE(placement.flags & WPF_RESTORETOMAXIMIZED, 0u);
  EXPECT_EQ(form->StoredFrame(), maximised) << "the frame it gets back when restored";
  ::ShowWindow(hwnd, SW_RESTORE);
  ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(hwnd) == FALSE; }));
  EXPECT_EQ(form->Bounds(), maximised);
}

// A size of zero or below is handed to the window; the system's minimum applies, not the
// size designed for the client area.
TEST(GuiWin32Forms, ASizeOfZeroOrBelowGetsTheSystemsMinimum) {
  gui::Form form;
  form.SetClientSize(900, 700);
  form.SetTop(50);
  form.SetLeft(60);
  form.SetWidth(0);
  form.SetHeight(-5);
  gui::Realize(form);
  HWND hwnd = static_cast<HWND>(form.NativeHandle());
  ASSERT_NE(hwnd, nullptr);
  RECT frame{};
  ::GetWindowRect(hwnd, &frame);
  EXPECT_EQ(frame.left, 60);
  EXPECT_EQ(frame.top, 50);
  EXPECT_EQ(frame.right - frame.left, ::GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(frame.bottom - frame.top, ::GetSystemMetrics(SM_CYMINTRACK));
  EXPECT_EQ(form.Width(), frame.right - frame.left) << "the form learns the size it got";
  // Set again after the window exists: the same minimum.
  form.SetBounds({60, 50, 800, 600});
  form.SetWidth(-100);
  ::GetWindowRect(hwnd, &frame);
  EXPECT_EQ(frame.right - frame.left, ::GetSystemMetrics(SM_CXMINTRACK));
}

TEST(GuiWin32Forms, ABoxOffTheTabOrderIsSkippedButTakesAClick) {
  gui::Form form;
  form.SetBounds({20, 20, 500, 300});
  gui::Edit first{&form}, skipped{&form}, last{&form};
  first.SetBounds({10, 10, 200, 24});
  skipped.SetBounds({10, 50, 200, 24});
  skipped.tabStop = false;
  last.SetBounds({10, 90, 200, 24});
  gui::Realize(form);
  form.ShowWindow();
  HWND a = WindowOf(first), b = WindowOf(skipped), c = WindowOf(last);
  ASSERT_EQ(::GetFocus(), a);
  ::PostMessageW(a, WM_KEYDOWN, VK_TAB, 0);
  gui::ProcessMessages();
  EXPECT_EQ(::GetFocus(), c);
  ::PostMessageW(c, WM_KEYDOWN, VK_TAB, 0);
  gui::ProcessMessages();
  EXPECT_EQ(::GetFocus(), a) << "round again, past the box";
  ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(::GetFocus(), b);
}

// The input context a box has after it got the focus. Wine's imm32 keeps the open state
// and the conversion mode in the context even without an input method installed, so what
// the box set can be read back; a real Japanese input method then types in hiragana. As on
// Windows, the windows of a thread share one default context: a box without the mode
// leaves it as it is.
TEST(GuiWin32Forms, HiraganaBoxesOpenTheInputMethodWhenFocused) {
  gui::Form form;
  form.SetBounds({20, 20, 600, 400});
  gui::Edit plain{&form}, edit{&form};
  gui::ComboBox combo{&form};
  gui::Memo memo{&form};
  plain.SetBounds({10, 10, 200, 24});
  edit.SetBounds({10, 50, 200, 24});
  combo.SetBounds({10, 90, 200, 24});
  memo.SetBounds({10, 130, 300, 120});
  edit.imeMode = gui::ImeMode::Hiragana;
  combo.imeMode = gui::ImeMode::Hiragana;
  memo.imeMode = gui::ImeMode::Hiragana;
  gui::Realize(form);
  form.ShowWindow();
  struct State {
    bool open;
    DWORD conversion;
  };
  auto closeAndRead = [](HWND focus, bool close) {
    HIMC context = ::ImmGetContext(focus);
    State state{false, 0};
    if (context == nullptr) return state;
    if (close) {
      ::ImmSetOpenStatus(context, FALSE);
      ::ImmSetConversionStatus(context, IME_CMODE_ALPHANUMERIC, IME_SMODE_NONE);
    }
    DWORD sentence = 0;
    state.open = ::ImmGetOpenStatus(context) != FALSE;
    ::ImmGetConversionStatus(context, &state.conversion, &sentence);
    ::ImmReleaseContext(focus, context);
    return state;
  };
  const DWORD hiragana = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
  ::SetFocus(WindowOf(plain));
  ASSERT_NE(::ImmGetContext(WindowOf(plain)), nullptr) << "imm32 gives the box no context";
  {
    HIMC a = ::ImmGetContext(WindowOf(plain)), b = ::ImmGetContext(WindowOf(memo));
    std::cout << "input contexts: " << (a == b ? "one for the thread" : "one per window") << "\n";
    ::ImmReleaseContext(WindowOf(plain), a);
    ::ImmReleaseContext(WindowOf(memo), b);
  }
  const State closed = closeAndRead(WindowOf(plain), true);
  ASSERT_FALSE(closed.open);
  for (gui::Control* box : std::initializer_list<gui::Control*>{&edit, &combo, &memo}) {
    ::SetFocus(WindowOf(plain));
    closeAndRead(WindowOf(plain), true);
    box->SetFocus();
    HWND focus = ::GetFocus();
    ASSERT_NE(focus, nullptr);
    const State state = closeAndRead(focus, false);
    EXPECT_TRUE(state.open) << ClassOf(focus).c_str();
    EXPECT_EQ(state.conversion & hiragana, hiragana);
    EXPECT_EQ(state.conversion & IME_CMODE_KATAKANA, 0u);
  }
  // A box without the mode leaves the input method as the user left it.
  ::SetFocus(WindowOf(edit));
  closeAndRead(WindowOf(edit), true);
  ::SetFocus(WindowOf(plain));
  EXPECT_FALSE(closeAndRead(WindowOf(plain), false).open);
}

TEST_F(GuiWin32, CaptionsWithTheHandShowItAndStillDoNothing) {
  form->ShowWindow();
  form->label.handCursor = true;
  int clicks = 0;
  form->label.onClick = [&] { ++clicks; };
  HWND panel = WindowOf(form->panel);
  POINT at{70, 36};
  ::ClientToScreen(panel, &at);
  ::SetCursorPos(at.x, at.y);
  ::SendMessageW(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(panel),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  form->label.handCursor = false;
  ::SendMessageW(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(panel),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(GuiWin32, TheBusyPointerShowsOverEveryWindowUntilItsScopeEnds) {
  form->ShowWindow();
  HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  HWND panel = WindowOf(form->panel), edit = WindowOf(form->edit);
  auto over = [](HWND window) {
    ::SetCursor(nullptr);
    ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
  };
  {
    gui::BusyCursor busy;
    EXPECT_EQ(::GetCursor(), wait);
    EXPECT_EQ(over(panel), wait);
    EXPECT_EQ(over(edit), wait) << "a text box's own I-beam gives way";
    EXPECT_EQ(over(hwnd), wait);
  }
  EXPECT_NE(::GetCursor(), wait);
  EXPECT_NE(over(edit), wait);
  EXPECT_NE(over(panel), wait);
}

TEST_F(GuiWin32, ATransparentPictureLeavesOutItsBackgroundColour) {
  // The pen picture has no alpha channel and a white background.
  form->image.resourceName = u"PEN";
  form->image.SetBounds({7, 16, 120, 130});
  HWND panel = WindowOf(form->panel);
  const COLORREF corner = PixelOfClient(panel, 8, 17);
  EXPECT_EQ(corner, RGB(255, 255, 255)) << "drawn as it is";
  form->image.transparent = true;
  EXPECT_EQ(PixelOfClient(panel, 8, 17), RGB(166, 202, 240)) << "the panel shows through";
}

TEST_F(GuiWin32, CloseQueryCanRefuseTheCloseButton) {
  bool allow = false;
  int closes = 0;
  form->onCloseQuery = [&](bool& canClose) { canClose = allow; };
  form->onClose = [&] { ++closes; };
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(hwnd));
  EXPECT_FALSE(form->IsClosed());
  allow = true;
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_TRUE(form->IsClosed());
  EXPECT_EQ(closes, 1);
  // The controls outlive their windows safely.
  form->memo.SetText(u"after");
  EXPECT_EQ(form->memo.DisplayedLines(), (std::vector<Text>{u"after"}));
}

TEST_F(GuiWin32, QueryEndSessionAsksTheForm) {
  int asked = 0;
  form->onQueryEndSession = [&] {
    ++asked;
    return true;
  };
  EXPECT_EQ(::SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(asked, 1);
}

TEST_F(GuiWin32, TimersTickOnTheWindowUntilDisabled) {
  int ticks = 0;
  form->timer.interval = 10;
  form->timer.onTimer = [&] {
    if (++ticks == 3) form->timer.SetEnabled(false);
  };
  form->timer.SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  // Disabled in its third tick: no fourth one comes.
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(ticks, 3);
}

TEST_F(GuiWin32, ATickDoesNotStartInsideItsOwnTick) {
  int ticks = 0, depth = 0, deepest = 0;
  form->timer.interval = 5;
  form->timer.onTimer = [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    // Work that lets pending messages through, as the clipboard monitor does.
    PumpUntil([] { return false; }, 60);
    --depth;
    if (ticks >= 2) form->timer.SetEnabled(false);
  };
  form->timer.SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(deepest, 1);
}

TEST_F(GuiWin32, ModalFormDisablesItsOwnerUntilItCloses) {
  form->ShowWindow();
  gui::Form dialog;
  dialog.SetCaption(u"バージョン情報");
  dialog.resizable = false;
  dialog.centerOnScreen = true;
  dialog.SetClientSize(502, 490);
  gui::Timer closer;
  closer.interval = 20;
  dialog.timers.push_back(&closer);
  bool ownerDisabled = false;
  bool shown = false;
  dialog.onShow = [&] { shown = true; };
  closer.onTimer = [&] {
    ownerDisabled = !::IsWindowEnabled(hwnd);
    closer.SetEnabled(false);
    dialog.Close();
  };
  gui::Realize(dialog);
  HWND dialogWindow = static_cast<HWND>(dialog.NativeHandle());
  ASSERT_NE(dialogWindow, nullptr);
  RECT client{};
  ::GetClientRect(dialogWindow, &client);
  EXPECT_EQ(client.right, 502);
  EXPECT_EQ(client.bottom, 490);
  closer.SetEnabled(true);
  dialog.ShowModal();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(dialog.IsClosed());
  EXPECT_FALSE(::IsWindow(dialogWindow));
  EXPECT_TRUE(::IsWindowEnabled(hwnd));
}

TEST_F(GuiWin32, AnEscapingErrorBecomesTheErrorBoxAndTheProgramGoesOn) {
  wine_tests::MessageBoxCloser closer;
  gui::Guarded([] { throw core::AppError(u"C:\\Data\\Log.dat に書き込めません"); });
  gui::Guarded([] { throw std::runtime_error("ends with stop."); });
  const auto texts = closer.Stop();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], L"C:\\Data\\Log.dat に書き込めません.");
  EXPECT_EQ(texts[1], L"ends with stop.");
}

TEST_F(GuiWin32, HandlerErrorsStopAtTheWindowAndTheTimerGoesOn) {
  form->ShowWindow();
  wine_tests::MessageBoxCloser closer;
  form->quit->onClick = [] { throw core::AppError(u"クリップボードを開けません"); };
  const UINT id = ::GetMenuItemID(::GetSubMenu(::GetMenu(hwnd), 0), 2);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  int ticks = 0;
  form->timer.interval = 10;
  form->timer.onTimer = [&] {
    if (++ticks == 1) throw std::runtime_error("tick failed");
    form->timer.SetEnabled(false);
  };
  form->timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  const auto texts = closer.Stop();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], L"クリップボードを開けません.");
  EXPECT_EQ(texts[1], L"tick failed.");
  EXPECT_TRUE(::IsWindow(hwnd));
}

// Edit boxes keep the designed Tahoma; Japanese in them must come out as glyphs (through the
// system's fallback fonts), not as the empty boxes of a font without them. Missing glyphs all
// look alike, so the same characters in another order would paint the same pixels.
TEST_F(GuiWin32, JapaneseInATahomaEditBoxIsDrawnWithRealGlyphs) {
  HWND edit = WindowOf(form->edit);
  ASSERT_NE(edit, nullptr);
  form->ShowWindow();
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");

  form->edit.SetText(u"検索語");
  const std::vector<DWORD> forward = ClientPixels(edit);
  form->edit.SetText(u"語索検");
  const std::vector<DWORD> backward = ClientPixels(edit);
  form->edit.SetText(u"");
  const std::vector<DWORD> empty = ClientPixels(edit);
  ASSERT_FALSE(forward.empty());
  EXPECT_TRUE(forward != empty) << "the text painted nothing";
  EXPECT_TRUE(forward != backward) << "the Japanese characters were drawn as identical boxes";
}

TEST(GuiWin32Forms, AClientSizeHoldsWithAMenuBar) {
  gui::Form form;
  gui::MainMenu bar;
  bar.Add(u"ファイル").Add(u"終了");
  form.menu = &bar;
  form.SetClientSize(300, 200);
  gui::Realize(form);
  HWND hwnd = static_cast<HWND>(form.NativeHandle());
  ASSERT_NE(hwnd, nullptr);
  RECT client{};
  ::GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_EQ(form.ClientSize().height, 200);
  RECT frame{};
  ::GetWindowRect(hwnd, &frame);
  EXPECT_EQ(form.Width(), frame.right - frame.left);
}

TEST(GuiWin32Fonts, PixelHeightsPointsAndCharsetAtTheWindowsDpi) {
  const int dpi = 96;
  HFONT pixels = gui::win32::FontFor(gui::Font{u"Tahoma", 15}, dpi);
  EXPECT_EQ(pixels, gui::win32::FontFor(gui::Font{u"Tahoma", 15}, dpi));
  LOGFONTW description{};
  ::GetObjectW(pixels, sizeof(description), &description);
  EXPECT_EQ(description.lfHeight, -15);
  EXPECT_EQ(std::wstring(description.lfFaceName), L"Tahoma");

  gui::Font points{u"Tahoma", 11};
  points.points = true;
  ::GetObjectW(gui::win32::FontFor(points, dpi), sizeof(description), &description);
  EXPECT_EQ(description.lfHeight, -15);  // 11 pt at 96 DPI
  ::GetObjectW(gui::win32::FontFor(gui::Font{u"Tahoma", 15}, 144), sizeof(description),
               &description);
  EXPECT_EQ(description.lfHeight, -23);  // scaled with the DPI, rounded

  gui::Font japanese{u"ＭＳ Ｐゴシック", 15};
  japanese.japaneseCharset = true;
  ::GetObjectW(gui::win32::FontFor(japanese, dpi), sizeof(description), &description);
  EXPECT_EQ(description.lfCharSet, SHIFTJIS_CHARSET);
}

}  // namespace
