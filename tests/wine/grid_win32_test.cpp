// The real cell grid window under Wine: painting through onDrawCell, only visible rows
// visited, clicks, arrow keys, the popup and scrolling over a 100,000-row table.
#include "tests/wine/message_box_closer.h"
#include "tests/wine/client_pixels.h"
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gui/controls.h"
#include "gui/menu.h"
#include "gui/win32/gdi_canvas.h"
#include "gui/win32/grid_peer.h"
#include "gui/win32/grid_window.h"

namespace {

using gui::Color;
using gui::win32::GridWindow;

constexpr int kRows = 100001;  // the header row and 100,000 data rows
constexpr Color kHeader{192, 220, 192};
constexpr Color kOdd{255, 251, 240};
constexpr Color kEven{200, 230, 255};
constexpr COLORREF kWhitePixel = RGB(255, 255, 255);

struct FontOwner {
  HFONT font = ::CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"Tahoma");
  FontOwner() = default;
  FontOwner(const FontOwner&) = delete;
  FontOwner& operator=(const FontOwner&) = delete;
  ~FontOwner() { ::DeleteObject(font); }
};

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateParent() {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ParentProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GridTestParent";
    return ::RegisterClassW(&wc);
  }();
  (void)atom;
  return ::CreateWindowExW(0, L"GridTestParent", L"grid test", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                           600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// A 32-bit top-down DIB that a window prints its client area into.
class Snapshot {
 public:
  Snapshot(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    width_ = rc.right;
    height_ = rc.bottom;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = -height_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    // Anything the window leaves unpainted shows as this colour.
    RECT all{0, 0, width_, height_};
    ::SetDCBrushColor(dc_, RGB(1, 2, 3));
    ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    ::GdiFlush();
  }
  ~Snapshot() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF At(int x, int y) const {
    const auto p = static_cast<const std::uint32_t*>(bits_)[y * width_ + x];
    return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
  }

 private:
  int width_ = 0, height_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

COLORREF Ref(Color c) { return RGB(c.r, c.g, c.b); }

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

class GridWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = CreateParent();
    ASSERT_NE(parent, nullptr) << "no window could be made: run under a display (scripts/wine-ctest.sh)";
    auto& t = grid.Table();
    t.SetColCount(4);
    t.SetRowCount(kRows);
    t.SetColWidth(0, 12);
    t.SetColWidth(1, 200);
    t.SetColWidth(2, 0);  // a hidden field
    t.SetColWidth(3, 100);
    t.SetCell(1, 0, u"Header");
    t.onClick = [this] { clicks.emplace_back(grid.Table().CurrentCol(), grid.Table().CurrentRow()); };
    grid.SetBounds({10, 10, 400, 300});
    grid.SetFont(gui::Font{u"Tahoma", 15});
    grid.onDrawCell = [this](int col, int row, const gui::Rect& cell, gui::Canvas& canvas) {
      drawn.emplace_back(col, row);
      canvas.FillRect(cell, row == 0 ? kHeader : (row % 2 == 1 ? kOdd : kEven));
    };
  }
  void TearDown() override {
    window = nullptr;
    grid.AttachPeer(nullptr);
    if (parent != nullptr) ::DestroyWindow(parent);
    PumpMessages();
  }

  GridWindow& Realize() {
    gui::win32::GridWindowOptions options;
    options.fonts = [this](const gui::Font&) { return font.font; };
    options.openPopup = [this](gui::PopupMenu& menu, HWND owner, POINT screen) {
      popups.push_back({&menu, owner, screen});
    };
    auto peer = std::make_unique<GridWindow>(grid, parent, std::move(options));
    window = peer.get();
    grid.AttachPeer(std::move(peer));
    return *window;
  }
  HWND Hwnd() const { return window->Handle(); }
  gui::Rect Cell(int col, int row) {
    auto rect = window->CellRect(col, row);
    EXPECT_TRUE(rect.has_value()) << "cell " << col << "," << row << " not shown";
    return rect.value_or(gui::Rect{});
  }
  void ClickCell(int col, int row) {
    const gui::Rect r = Cell(col, row);
    ::SendMessageW(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(r.left + r.width / 2, r.top + r.height / 2));
    ::SendMessageW(Hwnd(), WM_LBUTTONUP, 0, Point(r.left + r.width / 2, r.top + r.height / 2));
  }
  void Key(WPARAM key) { ::SendMessageW(Hwnd(), WM_KEYDOWN, key, 0); }

  struct Popup {
    gui::PopupMenu* menu;
    HWND owner;
    POINT screen;
  };

  FontOwner font;
  HWND parent = nullptr;
  gui::Grid grid{nullptr};
  GridWindow* window = nullptr;
  std::vector<std::pair<int, int>> clicks;
  std::vector<std::pair<int, int>> drawn;
  std::vector<Popup> popups;
};

TEST_F(GridWindowTest, ChildWindowFollowsTheControl) {
  grid.tabStop = false;
  Realize();
  const LONG_PTR style = ::GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_CLIPSIBLINGS);
  EXPECT_FALSE(style & WS_TABSTOP);
  EXPECT_EQ(::GetParent(Hwnd()), parent);
  EXPECT_EQ(::SendMessageW(Hwnd(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);

  auto placement = [&] {
    RECT r{};
    ::GetWindowRect(Hwnd(), &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return gui::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  EXPECT_EQ(placement(), (gui::Rect{10, 10, 400, 300}));
  grid.SetBounds({20, 30, 350, 200});
  EXPECT_EQ(placement(), (gui::Rect{20, 30, 350, 200}));
  // The window layer clamps what a resize rule computes as negative.
  grid.SetBounds({20, 30, -5, -1});
  EXPECT_EQ(placement(), (gui::Rect{20, 30, 0, 0}));
  // An empty window still moves the current cell and paints nothing.
  Key(VK_DOWN);
  EXPECT_EQ(grid.Table().CurrentRow(), 2);
  Key(VK_END);
  EXPECT_EQ(grid.Table().CurrentRow(), kRows - 1);
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
  ::UpdateWindow(Hwnd());

  EXPECT_TRUE(style & WS_VISIBLE);
  grid.Hide();
  EXPECT_FALSE(::GetWindowLongPtrW(Hwnd(), GWL_STYLE) & WS_VISIBLE);
  grid.Show();
  EXPECT_TRUE(::GetWindowLongPtrW(Hwnd(), GWL_STYLE) & WS_VISIBLE);
  grid.SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(Hwnd()));
}

TEST_F(GridWindowTest, RealizedThroughTheBackendItPaintsWithTheFontCache) {
  grid.onDrawCell = nullptr;
  grid.Table().SetCell(1, 1, u"WWWWWWWW");
  grid.AttachPeer(gui::win32::CreateGridPeer(grid, parent));
  window = dynamic_cast<GridWindow*>(grid.Peer());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(gui::win32::WindowOf(grid), Hwnd());
  EXPECT_EQ(gui::win32::WindowPeer::FromHandle(Hwnd()), window);
  Snapshot shot(Hwnd());
  const gui::Rect cell = Cell(1, 1);
  int dark = 0;
  for (int y = cell.top; y < cell.Bottom(); ++y)
    for (int x = cell.left; x < cell.Right(); ++x)
      if (GetRValue(shot.At(x, y)) < 128) ++dark;
  EXPECT_GT(dark, 20);
}

TEST_F(GridWindowTest, TabStopAndHiddenStateAtCreation) {
  grid.Hide();
  Realize();
  const LONG_PTR style = ::GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_TABSTOP);
  EXPECT_FALSE(style & WS_VISIBLE);
}

TEST_F(GridWindowTest, PaintsEveryVisibleCellThroughTheHandler) {
  Realize();
  Snapshot shot(Hwnd());
  const gui::Rect header = Cell(1, 0), row1 = Cell(1, 1), row2 = Cell(3, 2), fixed = Cell(0, 3);
  EXPECT_EQ(header, (gui::Rect{13, 0, 200, 24}));  // column 0 is 12 wide plus its line
  EXPECT_EQ(row1, (gui::Rect{13, 25, 200, 24}));
  EXPECT_EQ(row2.left, 13 + 201);                   // the hidden column takes no room
  EXPECT_EQ(shot.At(header.left + 5, header.top + 5), Ref(kHeader));
  EXPECT_EQ(shot.At(row1.left + 5, row1.top + 5), Ref(kOdd));
  EXPECT_EQ(shot.At(row2.left + 5, row2.top + 5), Ref(kEven));
  EXPECT_EQ(shot.At(fixed.left + 5, fixed.top + 5), Ref(kOdd));

  // 1-pixel light grey lines between cells, in both directions.
  const COLORREF line = shot.At(row1.left + 5, row1.Bottom());
  EXPECT_NE(line, Ref(kOdd));
  EXPECT_NE(line, Ref(kEven));
  EXPECT_EQ(shot.At(row1.Right(), row1.top + 5), line);
  EXPECT_EQ(GetRValue(line), GetGValue(line));
  EXPECT_GT(GetRValue(line), 150);
  EXPECT_EQ(shot.At(row1.left + 5, row1.Bottom() + 1), Ref(kEven));

  // Right of the last column: the white background, not left unpainted.
  const int pastLast = row2.Right() + 5;
  ASSERT_LT(pastLast, shot.Width());
  EXPECT_EQ(shot.At(pastLast, row2.top + 5), kWhitePixel);
  EXPECT_EQ(shot.At(shot.Width() - 1, shot.Height() - 1), kWhitePixel);
}

TEST_F(GridWindowTest, DefaultPaintingShowsTheTextWhenNoHandlerIsSet) {
  grid.onDrawCell = nullptr;
  grid.Table().SetCell(1, 1, u"WWWWWWWW");
  Realize();
  Snapshot shot(Hwnd());
  const gui::Rect cell = Cell(1, 1);
  int dark = 0;
  for (int y = cell.top; y < cell.Bottom(); ++y)
    for (int x = cell.left; x < cell.Right(); ++x)
      if (GetRValue(shot.At(x, y)) < 128) ++dark;
  EXPECT_GT(dark, 20);
  EXPECT_EQ(shot.At(cell.left, cell.top + 2), kWhitePixel);  // 2 px margin before the text
  EXPECT_EQ(shot.At(cell.Right() - 2, cell.top + 2), kWhitePixel);
}

TEST_F(GridWindowTest, AtTheBottomOnlyTheVisibleRowsAreDrawn) {
  Realize();
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
  const int top = window->TopRow();
  const int visibleRows = kRows - top;  // top .. 100000
  EXPECT_GT(top, 90000);
  EXPECT_GT(visibleRows, 5);
  EXPECT_LT(visibleRows, 20);

  drawn.clear();
  const auto start = std::chrono::steady_clock::now();
  Snapshot shot(Hwnd());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  std::cout << "[ measure  ] one paint of the 100,000-row grid at the bottom: "
            << std::chrono::duration<double, std::milli>(elapsed).count() << " ms\n";

  // Three shown columns (0, 1, 3) by the header row and the visible data rows.
  EXPECT_EQ(drawn.size(), static_cast<std::size_t>(3 * (visibleRows + 1)));
  std::set<int> rows;
  for (auto [col, row] : drawn) {
    EXPECT_NE(col, 2);
    rows.insert(row);
  }
  EXPECT_EQ(*rows.begin(), 0);
  EXPECT_EQ(*std::next(rows.begin()), top);
  EXPECT_EQ(*rows.rbegin(), kRows - 1);
  const gui::Rect last = Cell(1, kRows - 1);
  EXPECT_EQ(shot.At(last.left + 5, last.top + 5), Ref((kRows - 1) % 2 == 1 ? kOdd : kEven));
}

TEST_F(GridWindowTest, ScrollBarsAppearOnlyWhenNeeded) {
  Realize();
  auto style = [&] { return ::GetWindowLongPtrW(Hwnd(), GWL_STYLE); };
  EXPECT_TRUE(style() & WS_VSCROLL);
  EXPECT_FALSE(style() & WS_HSCROLL);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(::GetScrollInfo(Hwnd(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, kRows - 1);
  EXPECT_GT(si.nPage, 5u);

  grid.Table().SetRowCount(4);
  PumpMessages();
  EXPECT_FALSE(style() & WS_VSCROLL);
  {
    Snapshot shot(Hwnd());
    EXPECT_EQ(shot.At(Cell(1, 3).left + 5, Cell(1, 3).Bottom() + 3), kWhitePixel);  // below the last row
    EXPECT_EQ(shot.At(Cell(1, 3).left + 5, Cell(1, 3).Bottom()), shot.At(Cell(1, 3).Right(), 5));
  }
  grid.Table().SetColWidth(3, 600);
  PumpMessages();
  EXPECT_TRUE(style() & WS_HSCROLL);
  EXPECT_FALSE(style() & WS_VSCROLL);
  ::SendMessageW(Hwnd(), WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(window->ScrollX(), 201);  // to the next shown column, past the hidden one
  ::SendMessageW(Hwnd(), WM_HSCROLL, SB_LINELEFT, 0);
  EXPECT_EQ(window->ScrollX(), 0);
  ::SendMessageW(Hwnd(), WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_GT(window->ScrollX(), 0);
  // Column 0 stays in place over the scrolled columns.
  EXPECT_EQ(Cell(0, 1).left, 0);
  Snapshot shot(Hwnd());
  EXPECT_EQ(shot.At(5, Cell(0, 1).top + 5), Ref(kOdd));
}

TEST_F(GridWindowTest, LeftClickChoosesTheCellAndRunsTheClickHandler) {
  Realize();
  ClickCell(3, 2);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks.back(), std::make_pair(3, 2));
  EXPECT_EQ(::GetFocus(), Hwnd());
  ClickCell(3, 2);  // the cell that is already current counts too
  EXPECT_EQ(clicks.size(), 2u);
  // A double click is one choice: its second press does not run the handler again.
  const gui::Rect r = Cell(3, 2);
  ::SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(r.left + 3, r.top + 3));
  EXPECT_EQ(clicks.size(), 2u);
  ClickCell(1, 0);  // fixed cells choose nothing
  ClickCell(0, 4);
  EXPECT_EQ(clicks.size(), 2u);
  EXPECT_EQ(grid.Table().CurrentRow(), 2);
  // Below the last row of a short table: nothing.
  grid.Table().SetRowCount(3);
  ::SendMessageW(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 250));
  EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(GridWindowTest, ArrowKeysMoveWithinTheDataCellsSkippingHiddenColumns) {
  Realize();
  Key(VK_DOWN);
  EXPECT_EQ(clicks.back(), std::make_pair(1, 2));
  Key(VK_RIGHT);
  EXPECT_EQ(clicks.back(), std::make_pair(3, 2));  // over the hidden column 2
  Key(VK_RIGHT);                                    // the last column: no move, no click
  Key(VK_LEFT);
  EXPECT_EQ(clicks.back(), std::make_pair(1, 2));
  Key(VK_LEFT);  // column 0 is fixed
  Key(VK_UP);
  Key(VK_UP);  // row 0 is fixed
  EXPECT_EQ(clicks.size(), 4u);
  EXPECT_EQ(clicks.back(), std::make_pair(1, 1));

  // Moving below the last whole row scrolls by one row.
  const int page = [&] {
    int n = 0;
    while (window->CellRect(1, n + 1) && window->CellRect(1, n + 1)->Bottom() <= 300) ++n;
    return n;
  }();
  for (int i = 1; i < page + 1; ++i) Key(VK_DOWN);
  EXPECT_EQ(grid.Table().CurrentRow(), page + 1);
  EXPECT_EQ(window->TopRow(), 2);
  Key(VK_END);
  EXPECT_EQ(grid.Table().CurrentRow(), kRows - 1);
  EXPECT_TRUE(window->CellRect(1, kRows - 1).has_value());
  Key(VK_HOME);
  EXPECT_EQ(window->TopRow(), 1);
}

TEST_F(GridWindowTest, RightClickOpensThePopupWithoutMovingTheCell) {
  gui::PopupMenu menu;
  Realize();
  // Without a popup a right click does nothing at all.
  ClickCell(1, 3);
  clicks.clear();
  const gui::Rect r = Cell(1, 5);
  ::SendMessageW(Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, Point(r.left + 4, r.top + 4));
  ::SendMessageW(Hwnd(), WM_RBUTTONUP, 0, Point(r.left + 4, r.top + 4));
  EXPECT_TRUE(popups.empty());

  grid.popup = &menu;
  ::SendMessageW(Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, Point(r.left + 4, r.top + 4));
  ::SendMessageW(Hwnd(), WM_RBUTTONUP, 0, Point(r.left + 4, r.top + 4));
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].menu, &menu);
  EXPECT_EQ(popups[0].owner, Hwnd());
  POINT expected{r.left + 4, r.top + 4};
  ::ClientToScreen(Hwnd(), &expected);
  EXPECT_EQ(popups[0].screen.x, expected.x);
  EXPECT_EQ(popups[0].screen.y, expected.y);
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(grid.Table().CurrentRow(), 3);

  // From the keyboard (Shift+F10): under the current cell.
  ::SendMessageW(Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(-1, -1));
  ASSERT_EQ(popups.size(), 2u);
  POINT underCurrent{Cell(1, 3).left, Cell(1, 3).Bottom()};
  ::ClientToScreen(Hwnd(), &underCurrent);
  EXPECT_EQ(popups[1].screen.y, underCurrent.y);
}

// Without a mouse: the context-menu key and Shift+F10 open the popup below the current
// cell, and leave the cell where it is.
TEST_F(GridWindowTest, MenuKeysOpenThePopupAtTheCurrentRow) {
  gui::PopupMenu menu;
  grid.popup = &menu;
  Realize();
  ClickCell(3, 4);
  clicks.clear();
  BYTE keys[256]{};
  ::GetKeyboardState(keys);
  for (const bool shiftF10 : {false, true}) {
    popups.clear();
    if (shiftF10) {
      keys[VK_SHIFT] = 0x80;
      ::SetKeyboardState(keys);
      ::SendMessageW(Hwnd(), WM_SYSKEYDOWN, VK_F10, 1);
      keys[VK_SHIFT] = 0;
      ::SetKeyboardState(keys);
    } else {
      Key(VK_APPS);
      ::SendMessageW(Hwnd(), WM_KEYUP, VK_APPS, 0xC0000001);
    }
    ASSERT_EQ(popups.size(), 1u) << (shiftF10 ? "Shift+F10" : "context-menu key");
    POINT underCurrent{Cell(3, 4).left, Cell(3, 4).Bottom()};
    ::ClientToScreen(Hwnd(), &underCurrent);
    EXPECT_EQ(popups[0].screen.x, underCurrent.x);
    EXPECT_EQ(popups[0].screen.y, underCurrent.y);
    EXPECT_EQ(grid.Table().CurrentRow(), 4);
    EXPECT_TRUE(clicks.empty());
  }
}

TEST_F(GridWindowTest, ProgramMovesScrollOnlyToACellOutOfView) {
  Realize();
  grid.Table().SetCurrentRow(3);  // visible: no scrolling
  EXPECT_EQ(window->TopRow(), 1);
  grid.Table().SetCurrentRow(50000);
  EXPECT_TRUE(window->CellRect(1, 50000).has_value());
  EXPECT_EQ(clicks.size(), 2u);
  const int top = window->TopRow();
  grid.Table().SetCurrentRow(top);  // already in view
  EXPECT_EQ(window->TopRow(), top);
  // Writes and sorts keep the view where the user put it.
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_TOP, 0);
  grid.Table().SetCell(1, 7, u"x");
  EXPECT_EQ(window->TopRow(), 1);
}

TEST_F(GridWindowTest, WheelAndScrollBarMoveByWholeRows) {
  Realize();
  ::SendMessageW(Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(window->TopRow(), 4);
  ::SendMessageW(Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(window->TopRow(), 1);
  ::SendMessageW(Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(window->TopRow(), 1);  // not above the first row
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(window->TopRow(), 2);
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(window->TopRow(), 5);
  // The header row stays at the top while the data rows move.
  drawn.clear();
  Snapshot shot(Hwnd());
  EXPECT_EQ(shot.At(Cell(1, 0).left + 5, 5), Ref(kHeader));
  EXPECT_EQ(Cell(1, window->TopRow()).top, 25);
}

TEST_F(GridWindowTest, ClickAfterScrollingHitsTheRowUnderThePointer) {
  Realize();
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
  const int top = window->TopRow();
  ClickCell(1, top + 2);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks.back(), std::make_pair(1, top + 2));
  EXPECT_EQ(window->TopRow(), top);
}

TEST_F(GridWindowTest, ATableLoadQueuesOneLayoutNotOnePerCell) {
  Realize();
  PumpMessages();
  for (int r = 1; r <= 20000; ++r) grid.Table().SetCell(1, r, u"row");
  int queued = 0;
  MSG msg;
  while (::PeekMessageW(&msg, Hwnd(), 0, 0, PM_REMOVE)) {
    if (msg.message != WM_PAINT) ++queued;
    ::DispatchMessageW(&msg);
  }
  EXPECT_LE(queued, 1);
  // The scroll range follows a count change made while no message was handled.
  grid.Table().SetRowCount(30);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE;
  PumpMessages();
  ASSERT_TRUE(::GetScrollInfo(Hwnd(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 29);
}

TEST_F(GridWindowTest, AClickHandlerErrorBecomesTheErrorReport) {
  grid.Table().onClick = [] { throw std::runtime_error("click failed"); };
  Realize();
  wine_tests::MessageBoxCloser closer;
  ClickCell(1, 2);
  const auto texts = closer.Stop();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], L"click failed.");
  EXPECT_EQ(grid.Table().CurrentRow(), 2);  // what happened before the error stays done
  grid.Table().onClick = nullptr;
  Key(VK_DOWN);  // and the grid goes on
  EXPECT_EQ(grid.Table().CurrentRow(), 3);
}

TEST_F(GridWindowTest, ADrawHandlerErrorIsReportedOnceAndThePaintCompletes) {
  grid.onDrawCell = [](int, int row, const gui::Rect& cell, gui::Canvas& canvas) {
    if (row == 2) throw std::runtime_error("draw failed");
    canvas.FillRect(cell, kOdd);
  };
  Realize();
  wine_tests::MessageBoxCloser closer;
  {
    Snapshot shot(Hwnd());
    const auto texts = closer.Stop();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], L"draw failed.");
    // Column 1 is painted first, top to bottom; after the failure the plain cells follow.
    EXPECT_EQ(shot.At(Cell(1, 1).left + 5, Cell(1, 1).top + 5), Ref(kOdd));
    EXPECT_EQ(shot.At(Cell(1, 3).left + 5, Cell(1, 3).top + 5), kWhitePixel);
    EXPECT_EQ(shot.At(Cell(3, 1).left + 5, Cell(3, 1).top + 5), kWhitePixel);
  }
  // The next paint uses the handler again.
  grid.onDrawCell = [](int, int, const gui::Rect& cell, gui::Canvas& canvas) {
    canvas.FillRect(cell, kOdd);
  };
  Snapshot again(Hwnd());
  EXPECT_EQ(again.At(Cell(3, 1).left + 5, Cell(3, 1).top + 5), Ref(kOdd));
}

TEST_F(GridWindowTest, TableHandlersSurviveTheWindow) {
  int earlier = 0;
  grid.Table().onChanged = [&] { ++earlier; };
  Realize();
  grid.Table().SetCell(1, 1, u"a");
  EXPECT_EQ(earlier, 1);  // the handler set before the window still runs
  grid.AttachPeer(nullptr);
  window = nullptr;
  grid.Table().SetCell(1, 2, u"b");  // must not reach the destroyed window
  EXPECT_EQ(earlier, 2);
}

TEST_F(GridWindowTest, WindowGoneWithItsParentLeavesThePeerSafe) {
  Realize();
  ::DestroyWindow(parent);
  parent = nullptr;
  EXPECT_EQ(window->Handle(), nullptr);
  grid.Table().SetCell(1, 1, u"after");
  grid.SetBounds({0, 0, 10, 10});
}

TEST_F(GridWindowTest, TheCellIsChosenOnTheReleaseOfTheLeftButton) {
  Realize();
  const gui::Rect a = Cell(1, 4), b = Cell(3, 6);
  ::SendMessageW(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(a.left + 5, a.top + 5));
  EXPECT_TRUE(clicks.empty()) << "the press alone chooses nothing";
  EXPECT_EQ(::GetFocus(), Hwnd()) << "but takes the focus";
  // Released elsewhere: the cell under the pointer at the release is the one chosen.
  ::SendMessageW(Hwnd(), WM_LBUTTONUP, 0, Point(b.left + 5, b.top + 5));
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks.back(), std::make_pair(3, 6));
  // A release without a press in the grid (a dialog closed by a press over it) is none.
  ::SendMessageW(Hwnd(), WM_LBUTTONUP, 0, Point(a.left + 5, a.top + 5));
  // Nor is the release that ends a double click.
  ::SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(b.left + 5, b.top + 5));
  ::SendMessageW(Hwnd(), WM_LBUTTONUP, 0, Point(b.left + 5, b.top + 5));
  EXPECT_EQ(clicks.size(), 1u);
  // Pressed on a data cell, released on the header row: nothing.
  ::SendMessageW(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(a.left + 5, a.top + 5));
  ::SendMessageW(Hwnd(), WM_LBUTTONUP, 0, Point(a.left + 5, 5));
  EXPECT_EQ(clicks.size(), 1u);
}

// The category jump: the cell goes to the last row, then to the found row, and the row is
// asked for at the top; the grid lays all of it out later, in one go.
TEST_F(GridWindowTest, ARowAskedAtTheTopIsTheTopRowAfterTheDeferredLayout) {
  Realize();
  auto& t = grid.Table();
  t.SetRowCount(101);
  PumpMessages();
  auto jump = [&](int found) {
    t.SetCurrentRow(t.RowCount() - 1);
    t.SetCurrentRow(found);
    grid.ShowRowAtTop(found);
    PumpMessages();
  };
  jump(40);
  EXPECT_EQ(window->TopRow(), 40);
  jump(2);
  EXPECT_EQ(window->TopRow(), 2);
  jump(60);
  EXPECT_EQ(window->TopRow(), 60);
  // Too few rows follow: the last page shows, the found row in it.
  jump(98);
  EXPECT_LT(window->TopRow(), 98);
  EXPECT_TRUE(window->CellRect(1, 98).has_value());
  EXPECT_TRUE(window->CellRect(1, 100).has_value());
  EXPECT_FALSE(window->CellRect(1, window->TopRow() - 1).has_value());
  // Without the request the view only scrolls as far as the moved cell needs.
  ::SendMessageW(Hwnd(), WM_VSCROLL, SB_TOP, 0);
  t.SetCurrentRow(t.RowCount() - 1);
  t.SetCurrentRow(40);
  PumpMessages();
  EXPECT_NE(window->TopRow(), 40);
}

TEST(GdiCanvasTest, FillsAndDrawsOneClippedLine) {
  FontOwner font;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 200;
  bi.bmiHeader.biHeight = -60;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  {
    gui::win32::GdiCanvas canvas(dc, [&](const gui::Font&) { return font.font; });
    canvas.FillRect({0, 0, 200, 60}, gui::kWhite);
    canvas.FillRect({10, 10, 100, 24}, Color{255, 0, 255});
    canvas.DrawSingleLine(u"WWWWWWWWWWWWWWWWWWWW\r\nsecond", {14, 10, 96, 24}, gui::Font{},
                          gui::kWhite);
  }
  ::GdiFlush();
  auto at = [&](int x, int y) { return static_cast<std::uint32_t*>(bits)[y * 200 + x] & 0xffffff; };
  EXPECT_EQ(at(10, 10), 0xff00ffu);
  EXPECT_EQ(at(109, 33), 0xff00ffu);
  EXPECT_EQ(at(110, 33), 0xffffffu);
  EXPECT_EQ(at(10, 34), 0xffffffu);
  int whiteInside = 0, outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      const bool inside = x >= 14 && x < 110 && y >= 10 && y < 34;
      const std::uint32_t p = at(x, y);
      if (inside && p == 0xffffffu) ++whiteInside;
      if (!inside && !(x >= 10 && x < 110 && y >= 10 && y < 34) && p != 0xffffffu) ++outside;
    }
  EXPECT_GT(whiteInside, 20);  // the text, transparent over the fill
  EXPECT_EQ(outside, 0);       // clipped to its rectangle, one line only
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

// Each line break, CR LF, a lone CR or a lone LF, is drawn as one mark, never as the boxes
// of missing glyphs: the pixels are those of the text with the mark in its place.
TEST(GdiCanvasTest, LineBreaksAreDrawnAsOneMarkEach) {
  FontOwner font;
  auto draw = [&](const gui::Text& text) {
    wine_tests::PixelCanvas pixels(300, 30);
    {
      gui::win32::GdiCanvas canvas(pixels.Dc(), [&](const gui::Font&) { return font.font; });
      canvas.FillRect({0, 0, 300, 30}, gui::kWhite);
      canvas.DrawSingleLine(text, {2, 0, 298, 30}, gui::Font{}, gui::kBlack);
    }
    return pixels.Read().values;
  };
  // The mark the font has: "↵" when Tahoma has that glyph, else a blank.
  HDC probe = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(probe, font.font);
  WORD glyph = 0;
  const wchar_t arrow[] = L"\u21B5";
  ::GetGlyphIndicesW(probe, arrow, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
  ::SelectObject(probe, previous);
  ::DeleteDC(probe);
  const char16_t mark = glyph == 0xFFFF ? u' ' : u'\u21B5';
  std::cout << "line breaks are drawn as U+" << std::hex << static_cast<int>(mark) << std::dec
            << "\n";

  const gui::Text one = gui::Text(u"行A") + mark + u"行B";
  for (const gui::Text& text : {gui::Text(u"行A\r\n行B"), gui::Text(u"行A\r行B"),
                                gui::Text(u"行A\n行B")})
    EXPECT_TRUE(draw(text) == draw(one));
  EXPECT_TRUE(draw(u"行A\r\n\r\n行B") == draw(gui::Text(u"行A") + mark + mark + u"行B"));
  EXPECT_FALSE(draw(u"行A\r\n行B") == draw(u"行A行B")) << "the break keeps its place";
}

}  // namespace
