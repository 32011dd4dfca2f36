// The real window of a gui::Grid: a custom-drawn cell grid over the grid's core::CellTable.
// Row 0 and column 0 stay in place while the rest scrolls (whole rows vertically, pixels
// horizontally); only the rows inside the update area are visited when painting, so the
// cost of a paint does not grow with the number of rows.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gui/controls.h"
#include "gui/menu.h"
#include "gui/win32/gdi_canvas.h"
#include "gui/win32/win32_window.h"
#include "platform/win32/com.h"

namespace gui::win32 {

using PopupOpener = std::function<void(gui::PopupMenu& menu, HWND owner, POINT screen)>;

struct GridWindowOptions {
  FontResolver fonts;     // the fonts cells are drawn in; default: the backend's font cache
  PopupOpener openPopup;  // shows grid.popup at a screen point (modal until dismissed)
  Color gridLineColor{208, 208, 208};
};

class GridWindow final : public WindowPeer {
 public:
  // Creates the child window with the grid's bounds, visibility and enabled state.
  GridWindow(gui::Grid& grid, HWND parent, GridWindowOptions options);
  ~GridWindow() override;

  void ApplyDpi() override;

  // First data row shown below the header row, and the horizontal scroll offset in pixels.
  int TopRow();
  int ScrollX();
  // The client rectangle of a cell as last laid out (device pixels); nullopt when the cell
  // is hidden (width 0) or scrolled out of view.
  std::optional<gui::Rect> CellRect(int col, int row);

  // ---- for the screen-reader object (grid_accessible) ----
  const gui::Grid& GridControl() const { return grid_; }
  // The row across its shown columns in client pixels, also where a row scrolled out of
  // view would lie; nullopt for a row the table does not have.
  std::optional<RECT> RowBox(int row);
  bool RowShown(int row);  // wholly or partly in view
  int RowAt(POINT client);  // -1 where no row is
  // Acts as a click on the row does once the reader's call has returned: the grid takes
  // the focus and the row (in the current column) is chosen. False when no click could
  // reach it (hidden or disabled grid, no such data row).
  bool ClickRowLater(int row);

 private:
  struct Layout {
    int rowHeight = 24;       // device pixels, without the grid line below
    int fixedWidth = 0;       // column 0 and its line
    int fixedHeight = 0;      // row 0 and its line
    std::vector<int> widths;  // device pixels per column (0: hidden)
    std::vector<int> lefts;   // column's left edge within the scrolled area (col >= 1)
    int contentWidth = 0;     // scrolled columns with their lines
    int viewWidth = 0;        // client area
    int viewHeight = 0;
    int pageRows = 1;         // data rows that fit wholly below the header row
  };
  struct Cell {
    int col;
    int row;
  };

  void OnPropertyChanged(gui::Property property) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  bool UsesFont() const override { return false; }  // painted here, not by WM_SETFONT

  void TableChanged();
  void MarkDirty();
  void PostLayoutMessage();  // one at a time
  void EnsureLayout();
  void RecomputeLayout();
  void ApplyScrollBars(bool vertical, bool horizontal);
  static int ScaleWidth(int designPixels, int dpi);
  int MaxTopRow() const;
  int MaxScrollX() const;
  void ScrollToRow(int topRow);
  void ScrollToX(int x);
  bool CellFullyVisible(int col, int row) const;
  void ScrollIntoView(int col, int row);
  std::optional<Cell> HitTest(int x, int y);

  // Paints the area through an off-screen buffer; returns what a draw handler threw.
  std::exception_ptr Paint(HDC target, const RECT& area);
  void ReportPaintFailure(std::exception_ptr failure);
  void PaintCells(HDC dc, const RECT& area);
  void DrawCell(GdiCanvas& canvas, HDC dc, int col, int row, const gui::Rect& cell);

  void OnLeftButtonDown();
  void OnLeftButtonUp(int x, int y);
  void OnKeyDown(WPARAM key);
  void OnVerticalScroll(int code);
  void OnHorizontalScroll(int code);
  void OnMouseWheel(int delta);
  bool OnContextMenu(LPARAM lParam);
  void ClickRow(int row);
  // Tells screen readers, once the running handler is done, what the table changes made.
  void ScheduleAnnouncement();
  void Announce();
  // Leaves the reader on the current row once the running input is handled.
  void FocusCurrentRowLater();
  long CurrentRowChild() const;  // the current row's child id, 0 when there is none

  gui::Grid& grid_;
  GridWindowOptions options_;
  // Cleared when the peer goes, so that the table's handler and re-entered code notice.
  std::shared_ptr<GridWindow*> alive_;
  Layout layout_;
  int topRow_ = 1;
  int scrollX_ = 0;
  int wheelRemainder_ = 0;
  bool layoutDirty_ = true;
  bool inLayout_ = false;
  Cell lastCurrent_{1, 1};
  bool currentMoved_ = false;
  bool leftPressed_ = false;
  int rowAskedAtTop_ = 0;  // the row to show at the top at the next layout (0: none)
  bool reportingPaintError_ = false;
  int contextMenus_ = 0;  // WM_CONTEXTMENU messages seen (the context-menu key's own)
  std::exception_ptr paintFailure_;  // the first draw handler error of the running paint
  // Table changes not yet told to screen readers.
  bool rowMovedUnannounced_ = false;
  bool refilledUnannounced_ = false;
  bool rowFocusUnannounced_ = false;
  bool layoutMessagePending_ = false;
  platform::win32::ComPtr<IAccessible> accessible_;  // made at the first reader's request
};

}  // namespace gui::win32
