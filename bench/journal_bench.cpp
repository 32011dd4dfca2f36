// The history journal: the cost of one recorded text reaching the disk (a real file beside
// the benchmark's executable, so on a real disk, flushed with fsync as at every record),
// and the start-up read of a journal left by a long run that was killed.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include "core/history_journal.h"
#include "platform/posix/posix_services.h"

namespace {

namespace fs = std::filesystem;
using core::Text;

// About 500 bytes in UTF-8: the average clipboard text of the history benchmarks.
Text SampleText() {
  Text text;
  while (text.size() < 200) text += u"議事録：来週の打ち合わせについて https://www.example.co.jp/ ";
  return text;
}

class JournalFile {
 public:
  JournalFile() {
    const fs::path exe = core::ToUtf8(fileSystem.ExecutablePath());
    folder = exe.parent_path() / "soramitsu-bench-journal";
    fs::create_directories(folder);
    path = core::FromUtf8((folder / "Log.journal").string());
    fs::remove(folder / "Log.journal");
  }
  ~JournalFile() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }

  platform::posix::PosixFileSystem fileSystem;
  fs::path folder;
  Text path;
};

void BM_JournalAppendFlushed(benchmark::State& state) {
  JournalFile journal;
  const Text text = SampleText();
  for (auto _ : state) {
    if (!core::history::AppendJournalRecord(journal.fileSystem, journal.path,
                                            u"2026/12/09 12:00:00", text)) {
      state.SkipWithError("append failed");
      break;
    }
  }
  state.counters["bytes/record"] =
      static_cast<double>(core::history::JournalRecordBytes(u"2026/12/09 12:00:00", text).size());
}
BENCHMARK(BM_JournalAppendFlushed)->Unit(benchmark::kMicrosecond);

void BM_JournalRecordEncoding(benchmark::State& state) {
  const Text text = SampleText();
  for (auto _ : state) {
    benchmark::DoNotOptimize(core::history::JournalRecordBytes(u"2026/12/09 12:00:00", text));
  }
}
BENCHMARK(BM_JournalRecordEncoding)->Unit(benchmark::kMicrosecond);

// A whole day of copying without a clean exit: 2,000 records.
void BM_JournalParse_2000Records(benchmark::State& state) {
  const Text text = SampleText();
  std::string bytes = "\xEF\xBB\xBF";
  for (int i = 0; i < 2000; ++i) bytes += core::history::JournalRecordBytes(u"2026/12/09 12:00:00", text);
  for (auto _ : state) benchmark::DoNotOptimize(core::history::ParseJournal(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_JournalParse_2000Records)->Unit(benchmark::kMillisecond);

}  // namespace
