#include "core/cell_table.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace core {

namespace {
constexpr int kDefaultColWidth = 64;
const Text kEmptyText;
}  // namespace

CellTable::CellTable(int colCount, int rowCount)
    : colCount_(std::max(1, colCount)), rowCount_(std::max(1, rowCount)) {}

void CellTable::Notify() {
  if (onChanged) onChanged();
}

void CellTable::SetColCount(int count) {
  count = std::max(1, count);
  if (count == colCount_) return;
  colCount_ = count;
  if (currentCol_ >= colCount_) currentCol_ = colCount_ - 1;
  Notify();
}

void CellTable::SetRowCount(int count) {
  count = std::max(1, count);
  if (count == rowCount_) return;
  rowCount_ = count;
  // The current row follows the shrink to the last row, silently: no entry is opened.
  if (currentRow_ >= rowCount_) currentRow_ = rowCount_ - 1;
  Notify();
}

const Text& CellTable::Cell(int col, int row) const {
  if (row < 0 || col < 0 || static_cast<std::size_t>(row) >= storage_.size()) return kEmptyText;
  const auto& cells = storage_[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(col) >= cells.size()) return kEmptyText;
  return cells[static_cast<std::size_t>(col)];
}

void CellTable::SetCell(int col, int row, Text text) {
  if (row < 0 || col < 0) return;
  auto r = static_cast<std::size_t>(row);
  auto c = static_cast<std::size_t>(col);
  if (r >= storage_.size()) {
    if (text.empty()) return;  // an unwritten cell already reads as empty
    storage_.resize(r + 1);
  }
  auto& cells = storage_[r];
  if (c >= cells.size()) {
    if (text.empty()) return;
    cells.resize(c + 1);
  }
  cells[c] = std::move(text);
  Notify();
}

std::vector<Text> CellTable::Column(int col) const {
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(rowCount_));
  for (int r = 0; r < rowCount_; ++r) items.push_back(Cell(col, r));
  return items;
}

std::vector<Text> CellTable::Row(int row) const {
  std::vector<Text> items;
  items.reserve(static_cast<std::size_t>(colCount_));
  for (int c = 0; c < colCount_; ++c) items.push_back(Cell(c, row));
  return items;
}

void CellTable::SetRow(int row, const std::vector<Text>& items) {
  if (row < 0) return;
  std::size_t reach = std::min(items.size(), static_cast<std::size_t>(colCount_));
  if (reach == 0) return;
  auto r = static_cast<std::size_t>(row);
  if (r >= storage_.size()) storage_.resize(r + 1);
  auto& cells = storage_[r];
  if (cells.size() < reach) cells.resize(reach);
  std::copy(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(reach), cells.begin());
  Notify();
}

int CellTable::ColWidth(int col) const {
  if (col < 0 || static_cast<std::size_t>(col) >= widths_.size()) return kDefaultColWidth;
  return widths_[static_cast<std::size_t>(col)];
}

void CellTable::SetColWidth(int col, int width) {
  if (col < 0) return;
  auto c = static_cast<std::size_t>(col);
  if (c >= widths_.size()) widths_.resize(c + 1, kDefaultColWidth);
  if (widths_[c] == width) return;
  widths_[c] = width;
  Notify();
}

void CellTable::SetCurrentCol(int col) {
  if (col == currentCol_) return;
  currentCol_ = col;
  Notify();
  if (onClick) onClick();
}

void CellTable::SetCurrentRow(int row) {
  if (row == currentRow_) return;
  currentRow_ = row;
  Notify();
  if (onClick) onClick();
}

void CellTable::SelectByUser(int col, int row) {
  bool moved = col != currentCol_ || row != currentRow_;
  currentCol_ = col;
  currentRow_ = row;
  if (moved) Notify();
  if (onClick) onClick();
}

void CellTable::ReorderDataRows(const std::vector<int>& newOrder) {
  const std::size_t n = static_cast<std::size_t>(rowCount_ - 1);
  if (newOrder.size() != n || n == 0) return;
  const auto width = static_cast<std::size_t>(colCount_);
  if (storage_.size() < n + 1) storage_.resize(n + 1);

  // Only the cells inside the column count travel with their row; cells kept beyond it
  // stay under their row number, as a cell-by-cell copy of the visible columns would leave
  // them. Tables rarely hold such cells, so set them aside only where they exist.
  std::vector<std::pair<std::size_t, std::vector<Text>>> tails;
  for (std::size_t r = 1; r <= n; ++r) {
    auto& cells = storage_[r];
    if (cells.size() > width) {
      std::vector<Text> tail(std::make_move_iterator(cells.begin() + static_cast<std::ptrdiff_t>(width)),
                             std::make_move_iterator(cells.end()));
      cells.resize(width);
      tails.emplace_back(r, std::move(tail));
    }
  }

  std::vector<std::vector<Text>> moved;
  moved.reserve(n);
  for (int from : newOrder) {
    if (from < 1 || static_cast<std::size_t>(from) > n) {
      moved.emplace_back();
      continue;
    }
    moved.push_back(std::move(storage_[static_cast<std::size_t>(from)]));
  }
  for (std::size_t i = 0; i < n; ++i) storage_[i + 1] = std::move(moved[i]);

  for (auto& [r, tail] : tails) {
    auto& cells = storage_[r];
    cells.resize(width);
    std::move(tail.begin(), tail.end(), std::back_inserter(cells));
  }
  Notify();
}

}  // namespace core
