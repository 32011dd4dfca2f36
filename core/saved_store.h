// The saved-entry store: index lines <-> the saved table, and the category choices.
//
// An index line is "category,title,created key,use count". Lines that cannot be read (fewer
// than four fields, a created key not of the form "yyyymmdd hhnnss", or a use count that is
// not a number) never stop a load: they are set aside, so that the next index write cannot
// lose them, and kept in a file beside the index.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>
#include "core/cell_table.h"
#include "core/text.h"
#include "platform/locale.h"

namespace core {

// Columns of the saved table.
inline constexpr int kSavedColCategory = 1;
inline constexpr int kSavedColTitle = 2;
inline constexpr int kSavedColCreated = 3;
inline constexpr int kSavedColUses = 4;
inline constexpr int kSavedColMark = 5;
inline constexpr int kSavedColSort = 6;
inline constexpr int kSavedColCount = 7;

inline const Text kIndexFileName = u"hozon.dat";
inline const Text kDeleteMark = u"×";
// Where unreadable index lines are kept, in the data folder. Not "h*.dat", so that nothing
// takes it for a content file; ".txt" so that a double click opens it in a text editor.
inline const Text kUnreadableIndexFileName = u"読み込めなかった保存データ.txt";

// The form of a created key: 8 ASCII digits, one blank, 6 ASCII digits ("20240115 093012").
// The key names a file, so nothing else may pass.
bool IsCreatedKey(TextView key);

// The content file of an entry: "h" + created key + ".dat" (the key's blank included).
// Throws core::AppError for a key of any other form, so that an index line written by hand
// cannot lead a read or a write outside the data folder (a key such as \..\..\secret).
Text ContentFileName(TextView createdKey);

// A use count as the index holds it: optional leading blanks (space or tab), an optional
// "+" or "-", then one or more decimal digits, nothing after them, within the signed 32-bit
// range. Anything else (hexadecimal, trailing blanks, an empty field) is not a number.
std::optional<std::int32_t> ParseUseCount(TextView field);

struct SavedEntry {
  Text category, title, createdKey;
  Text useCount;  // "00000" format
};

struct IndexContents {
  std::vector<SavedEntry> entries;  // the readable lines, in file order
  std::vector<Text> unreadable;     // the other lines, unchanged, in file order
};

// Splits the lines of the index file. An empty line carries nothing and is dropped.
IndexContents ReadIndexLines(const std::vector<Text>& lines);

// Replaces the table's data rows with the entries: a single empty row when there is none.
// Columns 5 and 6 of every loaded row are empty.
void FillSavedTable(CellTable& table, const std::vector<SavedEntry>& entries);

struct IndexText {
  Text text;        // every line ended by CR LF; empty when nothing is written
  int written = 0;  // lines in `text`
};

// Sorts the table by title, then (stably) by category, and leaves it in that order; then
// builds the index from every row that has a category and no delete mark.
IndexText BuildIndexText(CellTable& table, platform::Collator& collator);

// The category choices from the index lines: each run of equal categories (exact
// comparison) once, in file order, each ended by CR LF. No readable line gives one empty
// line. Unreadable lines are left out, like their entries.
Text CategoryChoices(const std::vector<Text>& lines);

// The existing keeping file's lines plus those unreadable lines it does not hold yet,
// so that loading the same index twice keeps each line once.
std::vector<Text> MergeKeptLines(const std::vector<Text>& alreadyKept,
                                 const std::vector<Text>& unreadable);

// The one notice about unreadable index lines.
Text UnreadableLinesNotice(int count, const Text& keptPath);

}  // namespace core
