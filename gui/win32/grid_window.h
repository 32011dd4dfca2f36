// The real window of a gui::Grid: a custom-drawn cell grid over the grid's core::CellTable.
// Row 0 and column 0 stay in place while the rest scrolls (whole rows vertically, pixels
// horizontally); only the rows inside the update area are visited when painting, so the
// cost of a paint does not grow with the number of rows.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gui/controls.h"
#include "gui/menu.h"
#include "gui/win32/gdi_canvas.h"

namespace gui::win32 {

using PopupOpener = std::function<void(gui::PopupMenu& menu, HWND owner, POINT screen)>;

struct GridWindowOptions {
  FontResolver fonts;       // the grid's font and the fonts onDrawCell asks for
  PopupOpener openPopup;    // shows grid.popup at a screen point (modal until dismissed)
  Color gridLineColor{208, 208, 208};
};

class GridWindow final : public gui::ControlPeer {
 public:
  // Creates the child window with the grid's bounds, visibility and enabled state.
  GridWindow(gui::Grid& grid, HWND parent, GridWindowOptions options);
  ~GridWindow() override;
  GridWindow(const GridWindow&) = delete;
  GridWindow& operator=(const GridWindow&) = delete;

  void PropertyChanged(gui::Property property) override;

  HWND Handle() const { return hwnd_; }
  // First data row shown below the header row, and the horizontal scroll offset in pixels.
  int TopRow();
  int ScrollX();
  // The client rectangle of a cell as last laid out (device pixels); nullopt when the cell
  // is hidden (width 0) or scrolled out of view.
  std::optional<gui::Rect> CellRect(int col, int row);

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

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void TableChanged();
  void MarkDirty();
  void EnsureLayout();
  void RecomputeLayout();
  void ApplyScrollBars(bool vertical, bool horizontal);
  int Dpi() const;
  int Scale(int designPixels) const;
  int MaxTopRow() const;
  int MaxScrollX() const;
  void ScrollToRow(int topRow);
  void ScrollToX(int x);
  bool CellFullyVisible(int col, int row) const;
  void ScrollIntoView(int col, int row);
  std::optional<Cell> HitTest(int x, int y);

  void Paint(HDC target, const RECT& area);
  void PaintCells(HDC dc, const RECT& area);
  void DrawCell(GdiCanvas& canvas, HDC dc, int col, int row, const gui::Rect& cell);

  void OnLeftButtonDown(int x, int y);
  void OnKeyDown(WPARAM key);
  void OnVerticalScroll(int code);
  void OnHorizontalScroll(int code);
  void OnMouseWheel(int delta);
  bool OnContextMenu(LPARAM lParam);

  gui::Grid& grid_;
  GridWindowOptions options_;
  HWND hwnd_ = nullptr;
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
  bool reportingPaintError_ = false;
};

}  // namespace gui::win32
