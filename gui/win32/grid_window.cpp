#include "gui/win32/grid_window.h"

#include <windowsx.h>

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

#include "gui/application.h"
#include "gui/win32/accessible_object.h"
#include "gui/win32/color_scheme.h"
#include "gui/win32/grid_accessible.h"

namespace gui::win32 {

namespace {

constexpr wchar_t kClassName[] = L"SoramitsuCellGrid";
// Posted once per burst of table changes: a table load writes every cell, and the scroll
// ranges and screen readers only need to follow the last of those writes.
constexpr UINT kLayoutMessage = WM_APP + 0x47;
// A screen reader's click on a row (wParam: the row), run after the reader's call.
constexpr UINT kClickRowMessage = WM_APP + 0x48;
constexpr int kWheelRows = 3;
constexpr Color kBackground = kWhite;

// The class procedure only supplies the defaults: the backend's subclass hands every
// message to the peer first.
void RegisterGridClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // With CS_DBLCLKS the second press of a double click arrives as WM_LBUTTONDBLCLK, so
    // that a double click chooses the cell (and runs its click handler) once, not twice.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = Instance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw std::runtime_error("grid window class could not be registered");
}

// WS_CHILD and WS_CLIPSIBLINGS come with every child; visibility and the enabled state
// are applied once the window is attached.
DWORD WindowStyle(const gui::Grid& grid) {
  DWORD style = WS_HSCROLL | WS_VSCROLL;
  if (grid.tabStop) style |= WS_TABSTOP;
  return style;
}

// BeginPaint and EndPaint as a pair.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
  ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return dc_; }
  const RECT& Area() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// Clips a DC to a rectangle for one scope.
class ClipScope {
 public:
  ClipScope(HDC dc, const RECT& clip) : state_(dc) {
    ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  }

 private:
  ScopedDcState state_;
};

// Keys after which the reader is left on the current row: those that move or choose it.
bool ActsOnCurrentRow(WPARAM key) {
  switch (key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
    case VK_LEFT: case VK_RIGHT: case VK_RETURN:
      return true;
    default:
      return false;
  }
}

void Fill(HDC dc, int left, int top, int width, int height, Color color) {
  if (width <= 0 || height <= 0) return;
  ::SetDCBrushColor(dc, ToColorRef(color));
  const RECT r{left, top, left + width, top + height};
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

}  // namespace

GridWindow::GridWindow(gui::Grid& grid, HWND parent, GridWindowOptions options)
    : WindowPeer(grid),
      grid_(grid),
      options_(std::move(options)),
      alive_(std::make_shared<GridWindow*>(this)) {
  if (!options_.fonts) options_.fonts = [this](const gui::Font& font) { return FontFor(font, Dpi()); };
  RegisterGridClass();
  if (CreateChild(kClassName, WindowStyle(grid), 0, parent) == nullptr)
    throw std::runtime_error("grid window could not be created");

  auto& table = grid_.Table();
  lastCurrent_ = {table.CurrentCol(), table.CurrentRow()};
  // Keep whatever the table told before (the control's own repaint request) and add ours.
  // The handler outlives this window when the table does; the shared flag tells it.
  std::weak_ptr<GridWindow*> alive = alive_;
  table.onChanged = [previous = std::move(table.onChanged), alive] {
    if (auto self = alive.lock(); self && *self) (*self)->TableChanged();
    if (previous) previous();
  };
  RecomputeLayout();
}

// The base destroys the window after detaching from it: no message of the dying window
// reaches the grid, whose table may already be gone.
GridWindow::~GridWindow() { *alive_ = nullptr; }

void GridWindow::ApplyDpi() {
  WindowPeer::ApplyDpi();
  layoutDirty_ = true;
  RecomputeLayout();
  if (Handle() != nullptr) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void GridWindow::OnPropertyChanged(gui::Property property) {
  switch (property) {
    case gui::Property::Bounds:   // WM_SIZE lays out again
    case gui::Property::Visible:
    case gui::Property::Enabled:
    case gui::Property::Focus:
      break;
    case gui::Property::Scroll:
      // Applied by the next layout, after the moves of the current cell made before it.
      rowAskedAtTop_ = grid_.RowAskedAtTop();
      MarkDirty();
      break;
    case gui::Property::Content:
      // Told by the table itself (see the constructor) before the control passes it on.
      MarkDirty();
      break;
    case gui::Property::AccessibleName:  // the window peer tells readers of the new name
      break;
    default:  // font, colour, caption, selection: what is shown may differ
      TableChanged();
      break;
  }
}

int GridWindow::TopRow() {
  EnsureLayout();
  return topRow_;
}

int GridWindow::ScrollX() {
  EnsureLayout();
  return scrollX_;
}

// ---------------------------------------------------------------------------------------
// Layout and scrolling

void GridWindow::TableChanged() {
  const auto& table = grid_.Table();
  const Cell current{table.CurrentCol(), table.CurrentRow()};
  if (current.col != lastCurrent_.col || current.row != lastCurrent_.row) {
    lastCurrent_ = current;
    currentMoved_ = true;
    rowMovedUnannounced_ = true;
  } else {
    refilledUnannounced_ = true;
  }
  ScheduleAnnouncement();
  MarkDirty();
}

void GridWindow::MarkDirty() {
  if (layoutDirty_ || Handle() == nullptr) return;
  layoutDirty_ = true;
  PostLayoutMessage();
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

void GridWindow::PostLayoutMessage() {
  if (layoutMessagePending_ || Handle() == nullptr) return;
  layoutMessagePending_ = ::PostMessageW(Handle(), kLayoutMessage, 0, 0) != FALSE;
}

void GridWindow::EnsureLayout() {
  if (layoutDirty_ && !inLayout_) RecomputeLayout();
}

// A shown column stays at least 1 pixel wide at any DPI; width 0 keeps it hidden.
int GridWindow::ScaleWidth(int designPixels, int dpi) {
  if (designPixels <= 0) return 0;
  return std::max(1, Scale(designPixels, dpi));
}

int GridWindow::MaxTopRow() const {
  const int lastRow = grid_.Table().RowCount() - 1;
  return std::max(1, lastRow - layout_.pageRows + 1);
}

int GridWindow::MaxScrollX() const {
  return std::max(0, layout_.contentWidth - (layout_.viewWidth - layout_.fixedWidth));
}

void GridWindow::RecomputeLayout() {
  if (Handle() == nullptr) return;
  inLayout_ = true;
  layoutDirty_ = false;
  const auto& table = grid_.Table();
  const int colCount = table.ColCount();
  const int dataRows = table.RowCount() - 1;

  Layout& l = layout_;
  const int dpi = Dpi();
  l.rowHeight = std::max(1, Scale(std::max(1, grid_.defaultRowHeight), dpi));
  l.widths.assign(static_cast<std::size_t>(colCount), 0);
  l.lefts.assign(static_cast<std::size_t>(colCount), 0);
  for (int c = 0; c < colCount; ++c) l.widths[c] = ScaleWidth(table.ColWidth(c), dpi);
  // Each shown cell is followed by a 1-pixel grid line; a hidden column takes no room.
  l.fixedWidth = l.widths[0] > 0 ? l.widths[0] + 1 : 0;
  l.fixedHeight = l.rowHeight + 1;
  l.contentWidth = 0;
  for (int c = 1; c < colCount; ++c) {
    l.lefts[c] = l.contentWidth;
    if (l.widths[c] > 0) l.contentWidth += l.widths[c] + 1;
  }

  // The room with no scroll bar shown, then the bars each overflow needs. A horizontal bar
  // takes height and may make the rows overflow, and the other way round.
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  const int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
  const int barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
  const int fullWidth = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
  const int fullHeight = client.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
  auto rowsFitting = [&](int height) { return (height - l.fixedHeight + 1) / (l.rowHeight + 1); };
  auto rowsOverflow = [&](int height) { return dataRows > std::max(0, rowsFitting(height)); };
  auto colsOverflow = [&](int width) { return l.fixedWidth + l.contentWidth > width; };
  bool vertical = rowsOverflow(fullHeight);
  bool horizontal = colsOverflow(fullWidth - (vertical ? barWidth : 0));
  if (horizontal && !vertical) vertical = rowsOverflow(fullHeight - barHeight);

  l.viewWidth = std::max(0, fullWidth - (vertical ? barWidth : 0));
  l.viewHeight = std::max(0, fullHeight - (horizontal ? barHeight : 0));
  l.pageRows = std::max(1, rowsFitting(l.viewHeight));
  topRow_ = std::clamp(topRow_, 1, MaxTopRow());
  scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());

  // A cell the program (or the user) made current is brought into view unless it shows.
  if (currentMoved_) {
    currentMoved_ = false;
    if (!CellFullyVisible(table.CurrentCol(), table.CurrentRow()))
      ScrollIntoView(table.CurrentCol(), table.CurrentRow());
  }
  // A row asked for at the top wins over the minimal scroll above.
  if (rowAskedAtTop_ > 0) {
    topRow_ = std::clamp(rowAskedAtTop_, 1, MaxTopRow());
    rowAskedAtTop_ = 0;
    ::InvalidateRect(Handle(), nullptr, FALSE);
  }
  ApplyScrollBars(vertical, horizontal);

  // The bars' own size changes re-enter through WM_SIZE while inLayout_ is set; take the
  // client size they left as the view.
  ::GetClientRect(Handle(), &client);
  if (client.right != l.viewWidth || client.bottom != l.viewHeight) {
    l.viewWidth = client.right;
    l.viewHeight = client.bottom;
    l.pageRows = std::max(1, rowsFitting(l.viewHeight));
    topRow_ = std::clamp(topRow_, 1, MaxTopRow());
    scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
  }
  inLayout_ = false;
}

void GridWindow::ApplyScrollBars(bool vertical, bool horizontal) {
  const int dataRows = grid_.Table().RowCount() - 1;
  SCROLLINFO v{};
  v.cbSize = sizeof v;
  v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (vertical) {
    v.nMin = 1;
    v.nMax = dataRows;
    v.nPage = static_cast<UINT>(layout_.pageRows);
    v.nPos = topRow_;
  }
  ::SetScrollInfo(Handle(), SB_VERT, &v, TRUE);

  SCROLLINFO h{};
  h.cbSize = sizeof h;
  h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (horizontal) {
    h.nMin = 0;
    h.nMax = layout_.contentWidth - 1;
    h.nPage = static_cast<UINT>(std::max(1, layout_.viewWidth - layout_.fixedWidth));
    h.nPos = scrollX_;
  }
  ::SetScrollInfo(Handle(), SB_HORZ, &h, TRUE);
}

void GridWindow::ScrollToRow(int topRow) {
  EnsureLayout();
  topRow = std::clamp(topRow, 1, MaxTopRow());
  if (topRow == topRow_) return;
  topRow_ = topRow;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = topRow_;
  ::SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

void GridWindow::ScrollToX(int x) {
  EnsureLayout();
  x = std::clamp(x, 0, MaxScrollX());
  if (x == scrollX_) return;
  scrollX_ = x;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = scrollX_;
  ::SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

bool GridWindow::CellFullyVisible(int col, int row) const {
  const Layout& l = layout_;
  if (row >= 1 && (row < topRow_ || row >= topRow_ + l.pageRows)) return false;
  if (col >= 1 && col < static_cast<int>(l.widths.size()) && l.widths[col] > 0) {
    const int left = l.lefts[col] - scrollX_;
    const int room = l.viewWidth - l.fixedWidth;
    if (left < 0 || left + l.widths[col] > room) return false;
  }
  return true;
}

// Moves the view as little as needed; a cell wider than the view shows from its left edge.
void GridWindow::ScrollIntoView(int col, int row) {
  const Layout& l = layout_;
  if (row >= 1) {
    if (row < topRow_) {
      topRow_ = row;
    } else if (row >= topRow_ + l.pageRows) {
      topRow_ = row - l.pageRows + 1;
    }
    topRow_ = std::clamp(topRow_, 1, MaxTopRow());
  }
  if (col >= 1 && col < static_cast<int>(l.widths.size()) && l.widths[col] > 0) {
    const int room = std::max(0, l.viewWidth - l.fixedWidth);
    const int left = l.lefts[col];
    const int right = left + l.widths[col];
    if (left < scrollX_) {
      scrollX_ = left;
    } else if (right > scrollX_ + room) {
      scrollX_ = std::min(left, right - room);
    }
    scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
  }
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

std::optional<GridWindow::Cell> GridWindow::HitTest(int x, int y) {
  EnsureLayout();
  const Layout& l = layout_;
  const auto& table = grid_.Table();
  if (x < 0 || y < 0 || x >= l.viewWidth || y >= l.viewHeight) return std::nullopt;
  // A grid line belongs to the cell before it.
  int row;
  if (y < l.fixedHeight) {
    row = 0;
  } else {
    row = topRow_ + (y - l.fixedHeight) / (l.rowHeight + 1);
  }
  if (row >= table.RowCount()) return std::nullopt;
  int col = -1;
  if (x < l.fixedWidth) {
    col = 0;
  } else {
    const int virtualX = x - l.fixedWidth + scrollX_;
    for (int c = 1; c < table.ColCount(); ++c) {
      if (l.widths[c] > 0 && virtualX >= l.lefts[c] && virtualX <= l.lefts[c] + l.widths[c]) {
        col = c;
        break;
      }
    }
  }
  if (col < 0) return std::nullopt;
  return Cell{col, row};
}

std::optional<gui::Rect> GridWindow::CellRect(int col, int row) {
  EnsureLayout();
  const Layout& l = layout_;
  const auto& table = grid_.Table();
  if (col < 0 || row < 0 || col >= table.ColCount() || row >= table.RowCount()) return std::nullopt;
  if (l.widths[col] <= 0) return std::nullopt;
  int top;
  if (row == 0) {
    top = 0;
  } else {
    if (row < topRow_) return std::nullopt;
    top = l.fixedHeight + (row - topRow_) * (l.rowHeight + 1);
    if (top >= l.viewHeight) return std::nullopt;
  }
  int left = 0;
  if (col >= 1) {
    left = l.fixedWidth + l.lefts[col] - scrollX_;
    if (left + l.widths[col] <= l.fixedWidth || left >= l.viewWidth) return std::nullopt;
  }
  return gui::Rect{left, top, l.widths[col], l.rowHeight};
}

// ---------------------------------------------------------------------------------------
// Painting

std::exception_ptr GridWindow::Paint(HDC target, const RECT& area) {
  EnsureLayout();
  RECT client{};
  ::GetClientRect(Handle(), &client);
  RECT clip{};
  if (!::IntersectRect(&clip, &area, &client)) return nullptr;
  OffscreenBuffer buffer(target, client.right, client.bottom);
  if (!buffer.Valid()) return nullptr;

  paintFailure_ = nullptr;
  try {
    PaintCells(buffer.Dc(), clip);
  } catch (...) {
    if (!paintFailure_) paintFailure_ = std::current_exception();
  }
  buffer.CopyTo(target, clip);
  return std::exchange(paintFailure_, nullptr);
}

// Shown once the paint has ended. The error box lets other paints through; they draw the
// plain cells meanwhile instead of raising the same error again under the box.
void GridWindow::ReportPaintFailure(std::exception_ptr failure) {
  if (!failure) return;
  std::shared_ptr<GridWindow*> alive = alive_;
  reportingPaintError_ = true;
  gui::Guarded([&] { std::rethrow_exception(failure); });
  if (*alive) reportingPaintError_ = false;
}

void GridWindow::PaintCells(HDC dc, const RECT& area) {
  const Layout& l = layout_;
  const auto& table = grid_.Table();
  // Whatever no cell covers (right of the last column, below the last row) is background.
  Fill(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
       SchemeColor(kBackground, COLOR_WINDOW));

  // Visible rows that meet the update area: the header row, then a run of data rows
  // computed directly from the scroll position, never by walking the table.
  const int pitch = l.rowHeight + 1;
  std::vector<int> rows;
  if (area.top < l.fixedHeight) rows.push_back(0);
  if (std::min<int>(area.bottom, l.viewHeight) > l.fixedHeight) {
    const int firstOffset = std::max<int>(0, area.top - l.fixedHeight) / pitch;
    const int lastOffset = (std::min<int>(area.bottom, l.viewHeight) - 1 - l.fixedHeight) / pitch;
    const int first = topRow_ + firstOffset;
    const int last = std::min(table.RowCount() - 1, topRow_ + lastOffset);
    for (int r = first; r <= last; ++r) rows.push_back(r);
  }

  GdiCanvas canvas(dc, options_.fonts);
  auto rowTop = [&](int row) { return row == 0 ? 0 : l.fixedHeight + (row - topRow_) * pitch; };

  // Scrolled columns first, clipped so that a half-scrolled cell stays off column 0.
  {
    const RECT scrolled{l.fixedWidth, 0, l.viewWidth, l.viewHeight};
    RECT clip{};
    if (::IntersectRect(&clip, &scrolled, &area)) {
      ClipScope scope(dc, clip);
      for (int c = 1; c < table.ColCount(); ++c) {
        const int w = l.widths[c];
        if (w <= 0) continue;
        const int left = l.fixedWidth + l.lefts[c] - scrollX_;
        if (left + w + 1 <= clip.left) continue;
        if (left >= clip.right) break;
        for (int r : rows) DrawCell(canvas, dc, c, r, gui::Rect{left, rowTop(r), w, l.rowHeight});
      }
    }
  }
  if (l.fixedWidth > 0 && area.left < l.fixedWidth) {
    const RECT fixedCol{0, 0, l.fixedWidth, l.viewHeight};
    RECT clip{};
    if (::IntersectRect(&clip, &fixedCol, &area)) {
      ClipScope scope(dc, clip);
      for (int r : rows) DrawCell(canvas, dc, 0, r, gui::Rect{0, rowTop(r), l.widths[0], l.rowHeight});
    }
  }
}

void GridWindow::DrawCell(GdiCanvas& canvas, HDC dc, int col, int row, const gui::Rect& cell) {
  bool drawn = false;
  // After a handler has failed, the rest of this paint shows the plain cells: one error
  // report per paint, and no half-painted window.
  if (grid_.onDrawCell && !reportingPaintError_ && !paintFailure_) {
    try {
      grid_.onDrawCell(col, row, cell, canvas);
      drawn = true;
    } catch (...) {
      paintFailure_ = std::current_exception();
    }
  }
  if (!drawn) {
    canvas.FillRect(cell, SchemeColor(kWhite, COLOR_WINDOW));
    gui::Rect text = cell;
    text.left += 2;
    text.width -= 2;
    canvas.DrawSingleLine(grid_.Table().Cell(col, row), text, grid_.GetFont(),
                          gui::WindowTextColor());
  }
  // The line right of the cell and the one below it, meeting at the corner.
  const Color line = SchemeColor(options_.gridLineColor, COLOR_WINDOWTEXT);
  Fill(dc, cell.Right(), cell.top, 1, cell.height + 1, line);
  Fill(dc, cell.left, cell.Bottom(), cell.width, 1, line);
}

// ---------------------------------------------------------------------------------------
// Input

// A cell is chosen when the left button is released on it, as buttons are clicked; the
// press only takes the focus.
void GridWindow::OnLeftButtonDown() {
  if (::GetFocus() != Handle()) ::SetFocus(Handle());
  leftPressed_ = true;
  ::SetCapture(Handle());
}

void GridWindow::OnLeftButtonUp(int x, int y) {
  const bool pressed = std::exchange(leftPressed_, false);
  if (::GetCapture() == Handle()) ::ReleaseCapture();
  if (!pressed) return;
  const auto cell = HitTest(x, y);
  if (!cell || cell->col < 1 || cell->row < 1) return;
  std::shared_ptr<GridWindow*> alive = alive_;
  gui::Guarded([&] { grid_.Table().SelectByUser(cell->col, cell->row); });
  if (*alive) EnsureLayout();
}

void GridWindow::OnKeyDown(WPARAM key) {
  EnsureLayout();
  const auto& table = grid_.Table();
  const int lastRow = table.RowCount() - 1;
  if (lastRow < 1 || table.ColCount() < 2) return;
  int col = table.CurrentCol();
  int row = table.CurrentRow();
  auto shown = [&](int c) { return c >= 1 && c < table.ColCount() && layout_.widths[c] > 0; };
  std::shared_ptr<GridWindow*> alive = alive_;
  if (key == VK_RETURN) {
    // Enter chooses the current cell again, as a click on it does.
    if (row < 1 || row > lastRow || col < 1) return;
    gui::Guarded([&] { grid_.Table().SelectByUser(col, row); });
    if (*alive) EnsureLayout();
    return;
  }
  switch (key) {
    case VK_UP: row = std::max(1, row - 1); break;
    case VK_DOWN: row = std::min(lastRow, row + 1); break;
    case VK_PRIOR: row = std::max(1, row - layout_.pageRows); break;
    case VK_NEXT: row = std::min(lastRow, row + layout_.pageRows); break;
    case VK_HOME: row = 1; break;
    case VK_END: row = lastRow; break;
    case VK_LEFT:
      for (int c = col - 1; c >= 1; --c)
        if (shown(c)) { col = c; break; }
      break;
    case VK_RIGHT:
      for (int c = col + 1; c < table.ColCount(); ++c)
        if (shown(c)) { col = c; break; }
      break;
    default:
      return;
  }
  // A key that cannot move the cell (at the table's edge) chooses nothing.
  if (row < 1 || col < 1 || (col == table.CurrentCol() && row == table.CurrentRow())) return;
  gui::Guarded([&] { grid_.Table().SelectByUser(col, row); });
  if (*alive) EnsureLayout();
}

void GridWindow::OnVerticalScroll(int code) {
  EnsureLayout();
  int top = topRow_;
  switch (code) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= layout_.pageRows; break;
    case SB_PAGEDOWN: top += layout_.pageRows; break;
    case SB_TOP: top = 1; break;
    case SB_BOTTOM: top = MaxTopRow(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 32-bit track position: the message's 16 bits cannot count 100,000 rows.
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(Handle(), SB_VERT, &si)) top = si.nTrackPos;
      break;
    }
    default: return;
  }
  ScrollToRow(top);
}

void GridWindow::OnHorizontalScroll(int code) {
  EnsureLayout();
  const Layout& l = layout_;
  const auto& table = grid_.Table();
  int x = scrollX_;
  switch (code) {
    case SB_LINELEFT: {
      // To the start of the column left of the view's first edge.
      int target = 0;
      for (int c = 1; c < table.ColCount(); ++c)
        if (l.widths[c] > 0 && l.lefts[c] < scrollX_) target = l.lefts[c];
      x = target;
      break;
    }
    case SB_LINERIGHT: {
      x = scrollX_ + 1;
      for (int c = 1; c < table.ColCount(); ++c)
        if (l.widths[c] > 0 && l.lefts[c] > scrollX_) { x = l.lefts[c]; break; }
      break;
    }
    case SB_PAGELEFT: x -= std::max(1, l.viewWidth - l.fixedWidth); break;
    case SB_PAGERIGHT: x += std::max(1, l.viewWidth - l.fixedWidth); break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = MaxScrollX(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(Handle(), SB_HORZ, &si)) x = si.nTrackPos;
      break;
    }
    default: return;
  }
  ScrollToX(x);
}

void GridWindow::OnMouseWheel(int delta) {
  // High-resolution wheels send small steps; keep the remainder for the next one.
  wheelRemainder_ += delta;
  const int rows = wheelRemainder_ * kWheelRows / WHEEL_DELTA;
  if (rows == 0) return;
  wheelRemainder_ -= rows * WHEEL_DELTA / kWheelRows;
  ScrollToRow(TopRow() - rows);
}

bool GridWindow::OnContextMenu(LPARAM lParam) {
  ++contextMenus_;
  if (grid_.popup == nullptr || !options_.openPopup) return false;
  POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: below the current cell when it shows (else below its row, else at
    // the grid's corner).
    const auto& t = grid_.Table();
    auto rect = CellRect(t.CurrentCol(), t.CurrentRow());
    for (int c = 0; !rect && c < t.ColCount(); ++c) rect = CellRect(c, t.CurrentRow());
    screen = rect ? POINT{rect->left, rect->Bottom()} : POINT{0, 0};
    ::ClientToScreen(Handle(), &screen);
  }
  gui::PopupMenu& menu = *grid_.popup;
  gui::Guarded([&] { options_.openPopup(menu, Handle(), screen); });
  return true;
}

// ---------------------------------------------------------------------------------------
// Screen readers

std::optional<RECT> GridWindow::RowBox(int row) {
  EnsureLayout();
  const Layout& l = layout_;
  if (row < 0 || row >= grid_.Table().RowCount()) return std::nullopt;
  const int top = row == 0 ? 0 : l.fixedHeight + (row - topRow_) * (l.rowHeight + 1);
  const int right = std::min(l.viewWidth, l.fixedWidth + l.contentWidth - scrollX_);
  return RECT{0, top, std::max(0, right), top + l.rowHeight};
}

bool GridWindow::RowShown(int row) {
  EnsureLayout();
  if (row == 0) return true;
  const int top = layout_.fixedHeight + (row - topRow_) * (layout_.rowHeight + 1);
  return row >= topRow_ && top < layout_.viewHeight;
}

int GridWindow::RowAt(POINT client) {
  const auto cell = HitTest(client.x, client.y);
  return cell ? cell->row : -1;
}

bool GridWindow::ClickRowLater(int row) {
  HWND hwnd = Handle();
  if (hwnd == nullptr || !::IsWindowVisible(hwnd) || !::IsWindowEnabled(hwnd)) return false;
  if (row < 1 || row >= grid_.Table().RowCount()) return false;
  return ::PostMessageW(hwnd, kClickRowMessage, static_cast<WPARAM>(row), 0) != FALSE;
}

// What a left click on the row does: the press takes the focus, the release chooses the
// cell (here the one in the current column, or the first shown one).
void GridWindow::ClickRow(int row) {
  const auto& table = grid_.Table();
  if (row < 1 || row >= table.RowCount() || !::IsWindowVisible(Handle()) ||
      !::IsWindowEnabled(Handle()))
    return;
  EnsureLayout();
  int col = table.CurrentCol();
  auto shown = [&](int c) { return c >= 1 && c < table.ColCount() && layout_.widths[c] > 0; };
  for (int c = 1; !shown(col) && c < table.ColCount(); ++c) col = c;
  if (!shown(col)) return;
  if (::GetFocus() != Handle()) ::SetFocus(Handle());
  std::shared_ptr<GridWindow*> alive = alive_;
  gui::Guarded([&] { grid_.Table().SelectByUser(col, row); });
  if (!*alive) return;
  EnsureLayout();
  FocusCurrentRowLater();
}

long GridWindow::CurrentRowChild() const {
  return RecordChildId(grid_.Table(), grid_.Table().CurrentRow());
}

void GridWindow::ScheduleAnnouncement() { PostLayoutMessage(); }

void GridWindow::FocusCurrentRowLater() {
  rowFocusUnannounced_ = true;
  PostLayoutMessage();
}

// A reader follows focus events and speaks the object of the last one, so only the object
// that holds the keyboard focus raises one: the current row while this window has the
// focus, after the system's own event for the list. Arriving here by the focus alone
// leaves the reader on the list (the system's event); a click, a key, or a change of the
// rows under the focus (a view switch, a refill) moves it on to the current row. Away
// from the focus the row is only reported as selected; a result shown while the search
// box keeps the focus is told by an alert (gui::Announce).
void GridWindow::Announce() {
  const bool moved = std::exchange(rowMovedUnannounced_, false);
  const bool refilled = std::exchange(refilledUnannounced_, false);
  const bool asked = std::exchange(rowFocusUnannounced_, false);
  HWND hwnd = Handle();
  if (hwnd == nullptr || !::IsWindowVisible(hwnd)) return;
  EnsureLayout();
  if (refilled) NotifyClientEvent(hwnd, EVENT_OBJECT_REORDER, CHILDID_SELF);
  const long row = CurrentRowChild();
  if (row == CHILDID_SELF) return;
  if (moved) NotifyClientEvent(hwnd, EVENT_OBJECT_SELECTION, row);
  if ((moved || refilled || asked) && ::GetFocus() == hwnd)
    NotifyClientEvent(hwnd, EVENT_OBJECT_FOCUS, row);
}

// ---------------------------------------------------------------------------------------
// Window procedure

LRESULT GridWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted from the off-screen buffer
    case WM_PAINT: {
      std::exception_ptr failure;
      {
        PaintScope paint(Handle());
        failure = Paint(paint.Dc(), paint.Area());
      }
      ReportPaintFailure(failure);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      ::GetClientRect(Handle(), &client);
      ReportPaintFailure(Paint(reinterpret_cast<HDC>(wParam), client));
      return 0;
    }
    case WM_SIZE:
      if (!inLayout_) {
        layoutDirty_ = true;
        RecomputeLayout();
        ::InvalidateRect(Handle(), nullptr, FALSE);
      }
      return 0;
    case kLayoutMessage:
      layoutMessagePending_ = false;
      EnsureLayout();
      Announce();
      return 0;
    case kClickRowMessage:
      ClickRow(static_cast<int>(wParam));
      return 0;
    case WM_GETOBJECT: {
      if (!accessible_) accessible_ = CreateGridAccessible(alive_);
      const LRESULT answer = AnswerGetObject(wParam, lParam, accessible_.get());
      if (answer != 0) return answer;
      break;
    }
    case WM_DPICHANGED_AFTERPARENT:
      ApplyDpi();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown();
      return 0;
    case WM_LBUTTONUP: {
      // The click handler may close the window that holds this grid.
      std::shared_ptr<GridWindow*> alive = alive_;
      OnLeftButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (*alive) FocusCurrentRowLater();
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: its release chooses nothing again.
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != Handle()) leftPressed_ = false;
      return 0;
    case WM_KEYDOWN: {
      std::shared_ptr<GridWindow*> alive = alive_;
      OnKeyDown(wParam);
      if (*alive && ActsOnCurrentRow(wParam)) FocusCurrentRowLater();
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_APPS) {
        // Windows makes the context-menu key a WM_CONTEXTMENU here; Wine does not.
        const int before = contextMenus_;
        const LRESULT result = ::DefSubclassProc(Handle(), message, wParam, lParam);
        if (contextMenus_ == before) OnContextMenu(static_cast<LPARAM>(-1));
        return result;
      }
      break;
    case WM_VSCROLL:
      OnVerticalScroll(LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      OnHorizontalScroll(LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_CONTEXTMENU:
      if (OnContextMenu(lParam)) return 0;
      break;
    default:
      break;
  }
  handled = false;
  return 0;
}

}  // namespace gui::win32
