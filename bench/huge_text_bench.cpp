// Texts of many megabytes (a log file or a data dump copied whole) on the headless main
// window with the Linux services: the start-up with one as the newest record, the tick that
// records one, and a click on its row. The argument is MiB of UTF-16 text. The real edit
// box's share is measured under Wine by huge_text_bench.sh.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include "core/dates.h"
#include "core/history.h"
#include "core/text_file.h"
#include "platform/posix/linux_services.h"
#include "ui/main_form.h"

namespace {

namespace fs = std::filesystem;
using core::Text;

// Lines of a log, `mebibytes` MiB as UTF-16; `tag` makes it differ from other such texts.
Text LogText(std::int64_t mebibytes, const Text& tag) {
  const std::size_t units = static_cast<std::size_t>(mebibytes) * 1024 * 1024 / 2;
  const Text line = u"ログの一行です。 2024-05-17 09:05:30 INFO request handled in 12 ms "
                    u"(user=42, path=/api/items?page=7) ";
  Text text = tag + u"\r\n";
  text.reserve(units);
  for (std::int64_t n = 0; text.size() + line.size() + 12 < units; ++n)
    text += line + core::IntToText(n) + u"\r\n";
  text.append(units - text.size(), u'.');
  return text;
}

// A data folder whose Log.dat holds one record of `mebibytes` MiB, or none.
class HugeTextFolder {
 public:
  explicit HugeTextFolder(std::int64_t mebibytes) {
    char pattern[] = "/tmp/soramitsu-bench-XXXXXX";
    root_ = fs::path(mkdtemp(pattern));
    fs::create_directories(root_ / "Data");
    services_.fileSystem.SetExecutablePath(core::FromUtf8((root_ / "Soramitsu.exe").string()));
    services_.clock.now = {2026, 12, 10, 8, 0, 0};
    if (mebibytes > 0) {
      const Text stamp = core::FormatStamp({2026, 12, 10, 7, 0, 0});
      const core::history::HistoryKeys keys = core::history::KeysFromStamp(stamp);
      const Text file = Text(core::history::kMarker) + stamp + u" " + keys.dateKey +
                        keys.timeKey + u"\r\n" + LogText(mebibytes, u"newest") + u"\r\n";
      const std::string bytes = core::EncodeFileText(file, core::Encoding::Ansi, services_.ansi);
      std::ofstream(root_ / "Data" / "Log.dat", std::ios::binary)
          .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    bound_ = std::make_unique<platform::Services>(services_.Get());
  }
  ~HugeTextFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::unique_ptr<ui::TMainForm> Start() { return std::make_unique<ui::TMainForm>(*bound_); }
  platform::posix::LinuxServices& Services() { return services_; }

 private:
  fs::path root_;
  platform::posix::LinuxServices services_;
  std::unique_ptr<platform::Services> bound_;
};

// The window's creation: the files read, the table sorted, the board filled.
void BM_StartWithHugeNewestRecord(benchmark::State& state) {
  HugeTextFolder folder(state.range(0));
  for (auto _ : state) {
    std::unique_ptr<ui::TMainForm> form = folder.Start();
    benchmark::DoNotOptimize(form->Memo_Board.GetText().size());
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartWithHugeNewestRecord)->Arg(0)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

// The monitor's tick that records a new huge text: two clipboard reads, the board, the
// journal append and the sorts.
void BM_RecordHugeText(benchmark::State& state) {
  HugeTextFolder folder(0);
  std::unique_ptr<ui::TMainForm> form = folder.Start();
  auto& services = folder.Services();
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    services.clipboard.CopyText(LogText(state.range(0), core::IntToText(++n)));
    ++services.clock.now.second;
    state.ResumeTiming();
    form->Timer2Timer();
  }
  state.counters["rows"] = form->Log_Cnt;
}
BENCHMARK(BM_RecordHugeText)->Arg(4)->Arg(16)->Arg(64)->Iterations(3)->Unit(benchmark::kMillisecond);

// A click on the huge record's row: the whole text, without its empty lines, on the board
// and the clipboard.
void BM_ChooseHugeRow(benchmark::State& state) {
  HugeTextFolder folder(state.range(0));
  std::unique_ptr<ui::TMainForm> form = folder.Start();
  for (auto _ : state) {
    state.PauseTiming();
    form->Memo_Board.SetText({});
    state.ResumeTiming();
    form->StringGrid1.Table().SelectByUser(1, 1);
  }
}
BENCHMARK(BM_ChooseHugeRow)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace
