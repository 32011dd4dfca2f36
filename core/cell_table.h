// A table of text cells with one fixed header row and one fixed column: the program's
// in-memory data model, shown by a grid control.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>
#include "core/text.h"

namespace core {

class CellTable {
 public:
  CellTable(int colCount = 5, int rowCount = 5);

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  // Changing a count writes no cell: rows and columns that fall outside keep their texts
  // and show them again when the count grows back.
  void SetColCount(int count);
  void SetRowCount(int count);

  const Text& Cell(int col, int row) const;  // empty when never written
  void SetCell(int col, int row, Text text);

  // Column list: item r is the cell of row r (RowCount items).
  std::vector<Text> Column(int col) const;
  // Row list: item c is the cell of column c (ColCount items).
  std::vector<Text> Row(int row) const;
  // Writes items into the row as far as both reach; the rest of the row is left alone.
  void SetRow(int row, const std::vector<Text>& items);

  int ColWidth(int col) const;  // 64 until set
  void SetColWidth(int col, int width);

  int CurrentCol() const { return currentCol_; }
  int CurrentRow() const { return currentRow_; }
  // Program moves: the click handler runs only when the value really changes.
  void SetCurrentCol(int col);
  void SetCurrentRow(int row);
  // A user's click or arrow key: always runs the click handler.
  void SelectByUser(int col, int row);

  // Runs when the current cell is chosen (see above). Never for sorts, writes or shrinking.
  std::function<void()> onClick;
  // Told after every change of cells, counts, widths or the current cell (for repainting).
  std::function<void()> onChanged;

  // Moves whole data rows into the given order: newOrder[i] is the old row shown at row i+1.
  // Used by the sort; every data cell is rewritten, the header row is left alone.
  void ReorderDataRows(const std::vector<int>& newOrder);

  // Empties every cell of row `firstRow` and below, also in rows beyond the row count that
  // still hold texts. The counts are left as they are.
  void ClearRowsFrom(int firstRow) {
    if (firstRow < 0) firstRow = 0;
    if (storage_.size() <= static_cast<std::size_t>(firstRow)) return;
    storage_.resize(static_cast<std::size_t>(firstRow));
    Notify();
  }

 private:
  void Notify();
  std::vector<std::vector<Text>> storage_;  // [row][col]; outlives the counts
  std::vector<int> widths_;
  int colCount_;
  int rowCount_;
  int currentCol_ = 1;
  int currentRow_ = 1;
};

}  // namespace core
