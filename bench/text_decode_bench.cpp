// Reading a 50 MB code page 932 file into lines, the way a line buffer loads a large history:
// whole-file read, decoding, line-break normalising and splitting.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include "core/text_file.h"
#include "platform/posix/posix_services.h"

namespace {

constexpr std::size_t kTargetBytes = 50u * 1024 * 1024;
const char* const kSamplePath = "/tmp/soramitsu-bench-cp932.dat";

// Japanese and ASCII lines of mixed length, some very long, ending in CR LF as the program
// writes them. Made once per run and left in /tmp for comparison with other tools.
const std::string& SampleFile() {
  static const std::string path = [] {
    platform::posix::IconvAnsiCodePage cp932(932);
    const core::Text pieces[] = {u"クリップボードの履歴", u"https://www.example.co.jp/page?id=",
                                 u"議事録：来週の打ち合わせについて", u"ｶﾀｶﾅ ﾃｷｽﾄ",
                                 u"The quick brown fox jumps over the lazy dog. ",
                                 u"住所　東京都千代田区１－２－３", u"①②③ⅠⅡⅢ", u"0123456789"};
    std::mt19937 random(42);
    std::string bytes;
    bytes.reserve(kTargetBytes + 4096);
    while (bytes.size() < kTargetBytes) {
      core::Text line;
      int parts = 1 + static_cast<int>(random() % (random() % 50 == 0 ? 200 : 6));
      for (int i = 0; i < parts; ++i) line += pieces[random() % 8];
      line += u"\r\n";
      bytes += *cp932.EncodeExact(line);
    }
    std::ofstream(kSamplePath, std::ios::binary).write(bytes.data(),
                                                       static_cast<std::streamsize>(bytes.size()));
    return std::string(kSamplePath);
  }();
  return path;
}

void BM_ReadDecodeSplitCp932(benchmark::State& state) {
  platform::posix::PosixFileSystem files;
  platform::posix::IconvAnsiCodePage cp932(932);
  const core::Text path = core::FromUtf8(SampleFile());
  std::size_t bytes = files.ReadFile(path).size();
  std::size_t lines = 0;
  for (auto _ : state) {
    core::LineBuffer buffer(files, cp932);
    buffer.LoadFromFile(path);
    std::vector<core::Text> split = buffer.Lines();
    lines = split.size();
    benchmark::DoNotOptimize(split.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadDecodeSplitCp932)->Unit(benchmark::kMillisecond);

// The parts apart: the code page conversion alone, and normalising plus splitting alone.
void BM_DecodeOnlyCp932(benchmark::State& state) {
  platform::posix::PosixFileSystem files;
  platform::posix::IconvAnsiCodePage cp932(932);
  const std::string bytes = files.ReadFile(core::FromUtf8(SampleFile()));
  for (auto _ : state) {
    core::Text text = cp932.Decode(bytes);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeOnlyCp932)->Unit(benchmark::kMillisecond);

void BM_NormalizeAndSplit(benchmark::State& state) {
  platform::posix::PosixFileSystem files;
  platform::posix::IconvAnsiCodePage cp932(932);
  const std::string bytes = files.ReadFile(core::FromUtf8(SampleFile()));
  const core::Text decoded = cp932.Decode(bytes);
  for (auto _ : state) {
    core::Text text = decoded;
    core::NormalizeLineBreaksInPlace(text);
    std::vector<core::Text> lines = core::SplitLines(text);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_NormalizeAndSplit)->Unit(benchmark::kMillisecond);

// A file with lone LF breaks, which must be rewritten as CR LF.
void BM_NormalizeLoneLineFeeds(benchmark::State& state) {
  platform::posix::PosixFileSystem files;
  platform::posix::IconvAnsiCodePage cp932(932);
  core::Text decoded = cp932.Decode(files.ReadFile(core::FromUtf8(SampleFile())));
  core::Text lf;
  lf.reserve(decoded.size());
  for (char16_t u : decoded) {
    if (u != u'\r') lf += u;
  }
  for (auto _ : state) {
    core::Text text = core::NormalizeLineBreaks(lf);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * lf.size() * 2));
}
BENCHMARK(BM_NormalizeLoneLineFeeds)->Unit(benchmark::kMillisecond);

}  // namespace
