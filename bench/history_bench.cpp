// The clipboard history at a heavy user's scale: loading Log.dat, one recording tick and
// the search, on the headless main window with the Linux services.
//
// The sample texts are written to /tmp/soramitsu-bench-history-texts.txt (UTF-8, one text
// per line) so that the search can be compared with `grep -F -c` on the same texts.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "core/dates.h"
#include "core/history.h"
#include "core/table_utils.h"
#include "core/text_file.h"
#include "gui/headless/headless.h"
#include "platform/posix/linux_services.h"
#include "ui/main_form.h"

namespace {

namespace fs = std::filesystem;
using core::Text;

// Texts of mixed length and script, as they pass through a clipboard: mostly short, now
// and then a long one. About 500 bytes in code page 932 on average.
std::vector<Text> SampleTexts(int count) {
  const Text pieces[] = {u"クリップボードの履歴", u"https://www.example.co.jp/page?id=",
                         u"議事録：来週の打ち合わせについて", u"ｶﾀｶﾅ ﾃｷｽﾄ",
                         u"The quick brown fox jumps over the lazy dog. ",
                         u"住所　東京都千代田区１－２－３", u"①②③ⅠⅡⅢ", u"0123456789",
                         u"お世話になっております。", u"SELECT * FROM orders WHERE id = "};
  std::mt19937 random(7);
  std::vector<Text> texts;
  texts.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Text text;
    const int lines = random() % 4 == 0 ? 1 + static_cast<int>(random() % 6) : 1;
    for (int l = 0; l < lines; ++l) {
      if (l > 0) text += u"\r\n";
      const int parts = 1 + static_cast<int>(random() % (random() % 10 == 0 ? 90 : 13));
      for (int p = 0; p < parts; ++p) text += pieces[random() % 10];
    }
    // Rare words, for searches with a handful and with about a thousand results.
    if (i % 9973 == 0) text += u" 見積書No.4711";
    if (i % 97 == 0) text += u" 要確認";
    texts.push_back(std::move(text));
  }
  return texts;
}

// Log.dat with `count` records, newest first, spread over the last 30 days.
std::string HistoryFileBytes(const std::vector<Text>& texts, platform::LocalDateTime now,
                             platform::AnsiCodePage& ansi) {
  Text file;
  const int count = static_cast<int>(texts.size());
  const long long span = 30LL * 24 * 3600;
  for (int i = 0; i < count; ++i) {
    const long long secondsAgo = span * i / count;
    platform::LocalDateTime t = core::AddDays(now, -static_cast<int>(secondsAgo / 86400));
    t.hour = 23 - static_cast<int>(secondsAgo % 86400 / 3600);
    t.minute = 59 - static_cast<int>(secondsAgo % 3600 / 60);
    t.second = 59 - static_cast<int>(secondsAgo % 60);
    const Text stamp = core::FormatStamp(t);
    core::history::HistoryKeys keys = core::history::KeysFromStamp(stamp);
    file += core::history::kMarker;
    file += stamp + u" " + keys.dateKey + keys.timeKey + u"\r\n" + texts[static_cast<std::size_t>(i)] +
            u"\r\n";
  }
  return core::EncodeFileText(file, core::Encoding::Ansi, ansi);
}

// A headless main window whose Data\Log.dat holds `records` sample texts.
class HistoryWindow {
 public:
  explicit HistoryWindow(int records) {
    char pattern[] = "/tmp/soramitsu-bench-XXXXXX";
    root_ = fs::path(mkdtemp(pattern));
    fs::create_directories(root_ / "Data");
    services_.fileSystem.SetExecutablePath(core::FromUtf8((root_ / "Soramitsu.exe").string()));
    services_.clock.now = {2026, 12, 9, 23, 59, 59};
    texts = SampleTexts(records);
    bytes = HistoryFileBytes(texts, services_.clock.now, services_.ansi);
    std::ofstream(root_ / "Data" / "Log.dat", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // Records are stamped up to 23:59:59 today: new ones come on the next day.
    services_.clock.now = {2026, 12, 10, 8, 0, 0};
    bound_ = std::make_unique<platform::Services>(services_.Get());
    form = std::make_unique<ui::TMainForm>(*bound_);
  }
  ~HistoryWindow() {
    form.reset();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  platform::posix::LinuxServices& Services() { return services_; }
  Text LogPath() const { return core::FromUtf8((root_ / "Data" / "Log.dat").string()); }

  std::vector<Text> texts;
  std::string bytes;
  std::unique_ptr<ui::TMainForm> form;

 private:
  fs::path root_;
  platform::posix::LinuxServices services_;
  std::unique_ptr<platform::Services> bound_;
};

HistoryWindow& MonthOfTexts() {
  static HistoryWindow window(20000);
  return window;
}

HistoryWindow& HundredThousandRecords() {
  static HistoryWindow* window = [] {
    auto* w = new HistoryWindow(100000);
    // The same texts, one a line, for grep.
    std::ofstream out("/tmp/soramitsu-bench-history-texts.txt", std::ios::binary);
    for (const Text& text : w->texts) {
      Text line = text;
      for (char16_t& u : line) {
        if (u == u'\r' || u == u'\n') u = u' ';
      }
      out << core::ToUtf8(line) << '\n';
    }
    return w;
  }();
  return *window;
}

void BM_LogLoad_20000Records(benchmark::State& state) {
  HistoryWindow& window = MonthOfTexts();
  for (auto _ : state) {
    // As at start-up, the table holds nothing yet (emptying a loaded one is not measured).
    state.PauseTiming();
    core::history::ResetHistoryTable(window.form->StringGrid1.Table());
    state.ResumeTiming();
    window.form->Log_Load();
  }
  state.counters["records"] = window.form->Log_Cnt;
  state.counters["MB"] = static_cast<double>(window.bytes.size()) / 1e6;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * window.bytes.size()));
}
BENCHMARK(BM_LogLoad_20000Records)->Unit(benchmark::kMillisecond);

// What any reader of the file must do: read it and decode code page 932 (line breaks
// checked). The load's target is at most three times this.
void BM_ReadAndDecode_20000Records(benchmark::State& state) {
  HistoryWindow& window = MonthOfTexts();
  auto& services = window.Services();
  const Text path = window.LogPath();
  for (auto _ : state) {
    core::DecodedText decoded = core::DecodeFileBytes(services.fileSystem.ReadFile(path), services.ansi);
    benchmark::DoNotOptimize(decoded.text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * window.bytes.size()));
}
BENCHMARK(BM_ReadAndDecode_20000Records)->Unit(benchmark::kMillisecond);

void BM_DecodeOnly_20000Records(benchmark::State& state) {
  HistoryWindow& window = MonthOfTexts();
  auto& services = window.Services();
  for (auto _ : state) {
    core::DecodedText decoded = core::DecodeFileBytes(window.bytes, services.ansi);
    benchmark::DoNotOptimize(decoded.text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * window.bytes.size()));
}
BENCHMARK(BM_DecodeOnly_20000Records)->Unit(benchmark::kMillisecond);

// One tick that records a new text on a 100,000-row history: two clipboard reads, the
// board, the stamp and keys, and both sorts.
void BM_RecordingTick_100000Rows(benchmark::State& state) {
  HistoryWindow& window = HundredThousandRecords();
  auto& services = window.Services();
  ui::TMainForm& form = *window.form;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    platform::LocalDateTime& t = services.clock.now;
    if (++t.second == 60) {
      t.second = 0;
      ++t.minute;
    }
    services.clipboard.CopyText(u"新しいテキスト " + core::IntToText(++n));
    state.ResumeTiming();
    form.Timer2Timer();
  }
  state.counters["rows"] = form.Log_Cnt;
}
BENCHMARK(BM_RecordingTick_100000Rows)->Unit(benchmark::kMillisecond);

// For comparison: the same ordering step done by two general column sorts.
void BM_TwoGridSorts_100000Rows(benchmark::State& state) {
  HistoryWindow& window = HundredThousandRecords();
  core::CellTable& table = window.form->StringGrid1.Table();
  for (auto _ : state) {
    core::GridSort(table, core::history::kTimeKeyCol, window.Services().collator);
    core::GridSort(table, core::history::kDateKeyCol, window.Services().collator);
  }
}
BENCHMARK(BM_TwoGridSorts_100000Rows)->Unit(benchmark::kMillisecond);

// The history's own ordering step on the same table (sorted but for nothing).
void BM_SortHistory_100000Rows(benchmark::State& state) {
  HistoryWindow& window = HundredThousandRecords();
  core::CellTable& table = window.form->StringGrid1.Table();
  for (auto _ : state) core::history::SortHistory(table, window.Services().collator);
}
BENCHMARK(BM_SortHistory_100000Rows)->Unit(benchmark::kMillisecond);

// A tick on an unchanged clipboard: the common case, once a second.
void BM_IdleTick_100000Rows(benchmark::State& state) {
  HistoryWindow& window = HundredThousandRecords();
  for (auto _ : state) window.form->Timer2Timer();
}
BENCHMARK(BM_IdleTick_100000Rows)->Unit(benchmark::kMicrosecond);

void Search(benchmark::State& state, const Text& needle) {
  HistoryWindow& window = HundredThousandRecords();
  ui::TMainForm& form = *window.form;
  form.Edt_Serch.SetText(needle);
  std::size_t units = 0;
  const core::CellTable& table = form.StringGrid1.Table();
  for (int r = 1; r < table.RowCount(); ++r) units += table.Cell(1, r).size();
  for (auto _ : state) {
    form.Log_Select();
    gui::headless::ShownBoxes().clear();
  }
  state.counters["results"] = form.StringGrid3.Table().RowCount() - 1;
  state.counters["Munits"] = static_cast<double>(units) / 1e6;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * units * 2));
}

void BM_LogSelect_100000Records_Rare(benchmark::State& state) { Search(state, u"見積書No.4711"); }
BENCHMARK(BM_LogSelect_100000Records_Rare)->Unit(benchmark::kMillisecond);

void BM_LogSelect_100000Records_Occasional(benchmark::State& state) { Search(state, u"要確認"); }
BENCHMARK(BM_LogSelect_100000Records_Occasional)->Unit(benchmark::kMillisecond);

void BM_LogSelect_100000Records_Absent(benchmark::State& state) { Search(state, u"請求書"); }
BENCHMARK(BM_LogSelect_100000Records_Absent)->Unit(benchmark::kMillisecond);

void BM_LogSelect_100000Records_Common(benchmark::State& state) { Search(state, u"打ち合わせ"); }
BENCHMARK(BM_LogSelect_100000Records_Common)->Unit(benchmark::kMillisecond);

void BM_LogSelect_100000Records_OneLetter(benchmark::State& state) { Search(state, u"Z"); }
BENCHMARK(BM_LogSelect_100000Records_OneLetter)->Unit(benchmark::kMillisecond);

}  // namespace
