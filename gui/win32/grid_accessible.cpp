#include "gui/win32/grid_accessible.h"

#include <utility>

#include "gui/accessible_text.h"
#include "gui/win32/accessible_object.h"
#include "gui/win32/grid_window.h"

namespace gui::win32 {

namespace {

constexpr wchar_t kChooseAction[] = L"選択";

std::wstring Wide(const gui::Text& text) { return std::wstring(text.begin(), text.end()); }

class GridAccessible final : public AccessibleObject {
 public:
  explicit GridAccessible(std::shared_ptr<GridWindow*> grid) : grid_(std::move(grid)) {}

 protected:
  HWND Window() const override {
    GridWindow* grid = Grid();
    return grid != nullptr ? grid->Handle() : nullptr;
  }
  long ChildCount() const override { return gui::RecordCount(Table()); }

  long Role(long child) const override {
    return child == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
  }

  std::wstring Name(long child) const override {
    if (child == CHILDID_SELF) return Wide(Grid()->GridControl().AccessibleName());
    return Wide(gui::RowReading(Table(), RowOf(child)));
  }
  // The column headings, read once with the list, not as an item.
  std::wstring Description(long child) const override {
    return child == CHILDID_SELF ? Wide(gui::RowReading(Table(), 0)) : L"";
  }

  long State(long child) const override {
    HWND hwnd = Window();
    long state = 0;
    if (!::IsWindowVisible(hwnd)) state |= STATE_SYSTEM_INVISIBLE;
    if (child == CHILDID_SELF) {
      if (!::IsWindowEnabled(hwnd)) state |= STATE_SYSTEM_UNAVAILABLE;
      state |= STATE_SYSTEM_FOCUSABLE;
      if (::GetFocus() == hwnd) state |= STATE_SYSTEM_FOCUSED;
      return state;
    }
    const int row = RowOf(child);
    state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (row == Table().CurrentRow()) {
      state |= STATE_SYSTEM_SELECTED;
      if (::GetFocus() == hwnd) state |= STATE_SYSTEM_FOCUSED;
    }
    if (!Grid()->RowShown(row)) state |= STATE_SYSTEM_OFFSCREEN;
    return state;
  }

  std::optional<RECT> ScreenRect(long child) const override {
    const RECT client = ClientOnScreen();
    if (child == CHILDID_SELF) return client;
    std::optional<RECT> box = Grid()->RowBox(RowOf(child));
    if (box) ::OffsetRect(&*box, client.left, client.top);
    return box;
  }

  std::wstring DefaultAction(long child) const override {
    return child != CHILDID_SELF ? kChooseAction : L"";
  }
  bool DoDefaultAction(long child) override {
    return child != CHILDID_SELF && Grid()->ClickRowLater(RowOf(child));
  }
  // One row at a time, as a click chooses it.
  bool Select(long flags, long child) override {
    if (child == CHILDID_SELF || (flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) == 0 ||
        (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION)) != 0)
      return false;
    return Grid()->ClickRowLater(RowOf(child));
  }

  long ChildAt(POINT client) const override {
    return RecordChildId(Table(), Grid()->RowAt(client));
  }
  std::optional<long> FocusedChild() const override {
    if (::GetFocus() != Window()) return std::nullopt;
    return Current().value_or(CHILDID_SELF);
  }
  std::optional<long> SelectedChild() const override { return Current(); }

 private:
  // Valid while Window() is: every call has checked that first.
  GridWindow* Grid() const { return grid_ ? *grid_ : nullptr; }
  const core::CellTable& Table() const { return Grid()->GridControl().Table(); }
  static int RowOf(long child) { return static_cast<int>(child); }
  std::optional<long> Current() const {
    const long child = RecordChildId(Table(), Table().CurrentRow());
    if (child == CHILDID_SELF) return std::nullopt;
    return child;
  }

  std::shared_ptr<GridWindow*> grid_;
};

}  // namespace

long RecordChildId(const core::CellTable& table, int row) {
  return row >= 1 && row <= gui::RecordCount(table) ? row : CHILDID_SELF;
}

platform::win32::ComPtr<IAccessible> CreateGridAccessible(std::shared_ptr<GridWindow*> grid) {
  return MakeAccessible<GridAccessible>(std::move(grid));
}

}  // namespace gui::win32
