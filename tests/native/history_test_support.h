// Shared helpers of the clipboard-history tests: records of Log.dat, a clock that moves on,
// and the history and extract tables as UTF-8 lists.
#pragma once
#include <string>
#include <vector>
#include "core/dates.h"
#include "core/history.h"
#include "core/text_file.h"
#include "tests/native/form_fixture.h"

namespace history_test {

using namespace testing_support;

inline const std::string kMarker = "\\\\内容\\\\=";  // \\内容\\=

// The header line of a record stamped `stamp` ("yyyy/mm/dd hh:nn:ss"), CR LF included.
inline std::string HeaderLine(const std::string& stamp) {
  core::history::HistoryKeys keys = core::history::KeysFromStamp(U16(stamp));
  return kMarker + stamp + " " + U8(keys.dateKey) + U8(keys.timeKey) + "\r\n";
}

// A whole record as the writer lays it out: header line, the text, CR LF.
inline std::string Record(const std::string& stamp, const std::string& text) {
  return HeaderLine(stamp) + text + "\r\n";
}

class HistoryFormTest : public AppFolderTest {
 protected:
  platform::posix::FixedClock& Clock() { return services_.clock; }
  platform::posix::MemoryClipboard& Clipboard() { return services_.clipboard; }
  ui::TMainForm& Form() { return *form; }
  core::CellTable& History() { return form->StringGrid1.Table(); }
  core::CellTable& Extract() { return form->StringGrid3.Table(); }

  std::string StampDaysAgo(int days, int hour = 12, int minute = 0, int second = 0) {
    platform::LocalDateTime t = core::AddDays(Clock().now, -days);
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return U8(core::FormatStamp(t));
  }

  // Log.dat as the program writes it: code page 932, or UTF-8 when a text does not fit.
  void WriteLog(const std::string& utf8) {
    WriteBytes(LogPath(), core::EncodeFileText(U16(utf8), core::Encoding::Ansi, services_.ansi));
  }
  fs::path LogPath() const { return DataDir() / "Log.dat"; }
  std::string LogBytes() { return ReadBytes(LogPath()); }

  // Column `col` of the data rows 1 .. RowCount - 1.
  static std::vector<std::string> Column(const core::CellTable& table, int col) {
    std::vector<std::string> items;
    for (int r = 1; r < table.RowCount(); ++r) items.push_back(U8(table.Cell(col, r)));
    return items;
  }
  std::vector<std::string> Texts() { return Column(History(), core::history::kTextCol); }
  std::vector<std::string> Stamps() { return Column(History(), core::history::kStampCol); }

  // The clock moves on by one second (within the day the fixture starts at noon).
  void NextSecond() {
    platform::LocalDateTime& t = Clock().now;
    if (++t.second == 60) {
      t.second = 0;
      if (++t.minute == 60) {
        t.minute = 0;
        ++t.hour;
      }
    }
  }

  // Another program copies `text` a second after the last event; then the monitor ticks.
  void CopyAndTick(const std::string& text, bool excluded = false) {
    NextSecond();
    Clipboard().CopyText(U16(text), excluded);
    TickAndSettle();
  }
  void Tick() {
    NextSecond();
    TickAndSettle();
  }
  std::string Board() { return U8(form->Memo_Board.GetText()); }
  std::string ClipboardText() { return U8(Clipboard().Current()); }
};

}  // namespace history_test
