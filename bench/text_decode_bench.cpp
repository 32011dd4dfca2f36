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
const char* const kUtf8SamplePath = "/tmp/soramitsu-bench-utf8.dat";

// Japanese and ASCII lines of mixed length, some very long, ending in CR LF as the program
// writes them: in code page 932, or (utf8) in UTF-8 without a byte-order mark, as current
// text editors save. Made once per run and left in /tmp for comparison with other tools.
std::string MakeSampleFile(bool utf8) {
  platform::posix::IconvAnsiCodePage cp932(932);
  const char* const target = utf8 ? kUtf8SamplePath : kSamplePath;
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
    bytes += utf8 ? core::ToUtf8(line) : *cp932.EncodeExact(line);
  }
  std::ofstream(target, std::ios::binary).write(bytes.data(),
                                                static_cast<std::streamsize>(bytes.size()));
  return std::string(target);
}

const std::string& SampleFile() {
  static const std::string path = MakeSampleFile(false);
  return path;
}

const std::string& Utf8SampleFile() {
  static const std::string path = MakeSampleFile(true);
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

// The same lines saved as UTF-8 without a mark: the validity pass, then UTF-8 decoding.
void BM_ReadDecodeSplitUtf8WithoutMark(benchmark::State& state) {
  platform::posix::PosixFileSystem files;
  platform::posix::IconvAnsiCodePage cp932(932);
  const core::Text path = core::FromUtf8(Utf8SampleFile());
  std::size_t bytes = files.ReadFile(path).size();
  for (auto _ : state) {
    core::LineBuffer buffer(files, cp932);
    buffer.LoadFromFile(path);
    std::vector<core::Text> split = buffer.Lines();
    benchmark::DoNotOptimize(split.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadDecodeSplitUtf8WithoutMark)->Unit(benchmark::kMillisecond);

// The validity pass alone over a whole valid file (its worst case: nothing ends it early).
void BM_ClassifyUtf8WholeFile(benchmark::State& state) {
  platform::posix::PosixFileSystem files;
  const std::string bytes = files.ReadFile(core::FromUtf8(Utf8SampleFile()));
  for (auto _ : state) benchmark::DoNotOptimize(core::ClassifyUtf8(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ClassifyUtf8WholeFile)->Unit(benchmark::kMillisecond);

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
