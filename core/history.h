// The clipboard history as data: the history table's layout, the history file Log.dat
// (reading with the 31-day cut-off, writing), one recorded clipboard text, and the search.
//
// History table: 5 columns. 0 empty, 1 the text, 2 the stamp "yyyy/mm/dd hh:nn:ss",
// 3 the date key 99999999 - yyyymmdd, 4 the time key 999999 - hhnnss. Both keys are
// fixed-width digit strings whose ascending order is newest first.
//
// Log.dat: records newest first, each a header line (marker, stamp, space, date key, time
// key, by character position) followed by the text's lines.
#pragma once
#include <optional>
#include <vector>
#include "core/cell_table.h"
#include "core/text.h"
#include "platform/clock.h"
#include "platform/locale.h"

namespace core::history {

inline constexpr char16_t kMarker[] = u"\\\\内容\\\\=";  // two backslashes, 内容, two backslashes, =
inline constexpr int kMarkerLength = 7;
inline constexpr int kKeptDays = 31;

inline constexpr int kTextCol = 1;
inline constexpr int kStampCol = 2;
inline constexpr int kDateKeyCol = 3;
inline constexpr int kTimeKeyCol = 4;
inline constexpr int kColCount = 5;

inline constexpr char16_t kHistoryHeader[] = u"クリップボードの履歴 (過去約一カ月)";
inline constexpr char16_t kExtractHeader[] = u"クリップボードの履歴 (抽出)";
inline constexpr char16_t kStampHeader[] = u"日時";
inline constexpr int kColWidths[kColCount] = {10, 540, 150, 0, 0};

// Today minus 31 days as "yyyy/mm/dd": records dated before it are not loaded.
Text CutOffDate(const platform::LocalDateTime& today);

// Forgets everything the table held below its header: 5 columns, one empty data row.
void ResetHistoryTable(CellTable& table);

// Header texts and column widths of the history table.
void SetHistoryHeaders(CellTable& table);

// Reads the records of a history file's text (line breaks already CR LF) into a table
// freshly reset by ResetHistoryTable, keeping those dated on or after `cutOff` (compared
// as text with characters 8-17 of the header line). Returns the number of records kept;
// they stand in file order in rows 1.. and are not sorted yet.
int ReadHistoryRecords(CellTable& table, TextView fileText, TextView cutOff);

// Newest first: stable sort by time key, then by date key.
void SortHistory(CellTable& table, platform::Collator& collator);

// The history file's whole text: every row with a text, in table order, CR LF everywhere.
Text HistoryFileText(const CellTable& table);

struct HistoryKeys {
  Text dateKey;  // 99999999 - yyyymmdd
  Text timeKey;  // 999999 - hhnnss
};
// Keys from a stamp "yyyy/mm/dd hh:nn:ss" (the separators are not looked at).
HistoryKeys KeysFromStamp(TextView stamp);

// Adds one record as the last row (logCnt + 1), then sorts newest first. A table whose only
// data row is the empty row of an empty history gets the record in that row.
void AddHistoryRecord(CellTable& table, int& logCnt, Text stamp, Text text,
                      platform::Collator& collator);

// True when `needle` (not empty) occurs in `text` as a run of code units compared exactly.
bool ContainsExactly(TextView text, TextView needle);

// Data rows of the history table whose text contains `needle`, in table order.
std::vector<int> FindHistoryRows(const CellTable& table, TextView needle);

// Writes columns 1-4 of the given history rows into rows 1.. of the extract table and sets
// its row count to the number of rows + 1.
void CopyHistoryRows(const CellTable& history, const std::vector<int>& rows, CellTable& extract);

// "クリップボードの履歴 (　" + count + "件抽出しました　)".
Text ResultHeader(int count);

// Begins with "http://" or "https://", letter case counting.
bool IsWebAddress(TextView text);

// What the web-address commands hand to the shell: the text's first line, when it is a web
// address and holds no quote, "<", ">", half of a surrogate pair, nor any character that
// Unicode calls default-ignorable, format (direction marks among them), control or
// separator. Such characters never belong in an address, show nothing or look like
// something else, and browsers have had argument-injection holes through exactly them.
// Letters of every script pass. Nothing for any other text.
std::optional<Text> WebAddressToOpen(TextView text);

// True for the text of a history file that lost every record header (edited by hand, or
// saved in an encoding nothing recognises): it holds something besides blanks and line
// breaks, but no line begins with the marker. Such a file is not overwritten at exit.
bool LacksRecordHeaders(TextView fileText);

// The board's lines as it lays them out, without the empty ones, each followed by CR LF.
Text RebuildBoardText(const std::vector<Text>& displayedLines);

}  // namespace core::history
