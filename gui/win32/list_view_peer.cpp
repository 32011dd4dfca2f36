// The report-style list. Its rows are read from the control whenever they are painted,
// so a row filled in after it was added shows as it is.
#include <windows.h>

#include <commctrl.h>

#include <cwchar>

#include "gui/win32/peers.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

class ListViewPeer : public WindowPeer {
 public:
  ListViewPeer(gui::ListView& view, HWND parent) : WindowPeer(view), view_(view) {
    const DWORD style = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
    if (CreateChild(WC_LISTVIEWW, style, WS_EX_CLIENTEDGE, parent) == nullptr) return;
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER,
                   LVS_EX_DOUBLEBUFFER);
    Sync();
  }

  bool OnNotify(NMHDR* header, LRESULT& result) override {
    if (header->code != LVN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    LVITEMW& item = info->item;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
      const gui::Text* text = CellText(item.iItem, item.iSubItem);
      std::size_t length = text != nullptr ? text->size() : 0;
      if (length >= static_cast<std::size_t>(item.cchTextMax))
        length = static_cast<std::size_t>(item.cchTextMax) - 1;
      for (std::size_t i = 0; i < length; ++i) item.pszText[i] = static_cast<wchar_t>((*text)[i]);
      item.pszText[length] = L'\0';
    }
    result = 0;
    return true;
  }

  void ApplyDpi() override {
    WindowPeer::ApplyDpi();
    shownColumns_.clear();
    Sync();
  }

 protected:
  void OnPropertyChanged(gui::Property property) override {
    if (property == gui::Property::Content && Handle() != nullptr) Sync();
  }

 private:
  const gui::Text* CellText(int row, int column) const {
    const auto& items = view_.Items();
    if (row < 0 || row >= static_cast<int>(items.size())) return nullptr;
    const auto& item = items[static_cast<std::size_t>(row)];
    if (column == 0) return &item.caption;
    if (column - 1 < static_cast<int>(item.subItems.size()))
      return &item.subItems[static_cast<std::size_t>(column - 1)];
    return nullptr;
  }

  void Sync() {
    HWND hwnd = Handle();
    const auto& columns = view_.Columns();
    const int dpi = Dpi();
    bool sameCaptions = shownColumns_.size() == columns.size();
    for (std::size_t i = 0; sameCaptions && i < columns.size(); ++i)
      sameCaptions = shownColumns_[i].caption == columns[i].caption;
    if (!sameCaptions) {
      while (::SendMessageW(hwnd, LVM_DELETECOLUMN, 0, 0) != FALSE) {
      }
      for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring caption(columns[i].caption.begin(), columns[i].caption.end());
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption.data();
        column.cx = Scale(columns[i].width, dpi);
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
      }
    } else {
      for (std::size_t i = 0; i < columns.size(); ++i)
        if (shownColumns_[i].width != columns[i].width)
          ::SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, i, Scale(columns[i].width, dpi));
    }
    shownColumns_ = columns;
    ::SendMessageW(hwnd, LVM_SETITEMCOUNT, view_.Items().size(), LVSICF_NOSCROLL);
    ::InvalidateRect(hwnd, nullptr, FALSE);
  }

  gui::ListView& view_;
  std::vector<gui::ListView::Column> shownColumns_;
};

}  // namespace

std::unique_ptr<gui::ControlPeer> CreateListViewPeer(gui::ListView& view, HWND parent) {
  return std::make_unique<ListViewPeer>(view, parent);
}

}  // namespace gui::win32
