// Throughput of DigestBytesHex against OpenSSL's MD5 on the same buffers, the
// cost of one keystroke (DigestTextHex of the whole text) at several text
// sizes, and the text conversion under a Latin-1 locale. After the usual table
// it prints, per buffer size, how many times faster OpenSSL is, from the
// medians when repetitions are asked for.

#define OPENSSL_SUPPRESS_DEPRECATED  // MD5() is the plain one-shot reference
#include <benchmark/benchmark.h>
#include <openssl/md5.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ansi_text.h"
#include "basMD5.h"

namespace {

constexpr std::int64_t kBufferSizes[] = {64, 1 << 10, 64 << 10, 1 << 20};
constexpr std::int64_t kTextSizes[] = {1 << 10, 64 << 10, 256 << 10, 1 << 20};

std::vector<std::uint8_t> RandomBytes(std::int64_t size) {
  std::mt19937 generator(1321);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(generator));
  return bytes;
}

// Printable ASCII, as typed or pasted into the input box.
std::u16string AsciiText(std::int64_t size) {
  std::u16string text(static_cast<std::size_t>(size), u' ');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(u' ' + i % 95);
  }
  return text;
}

void BM_DigestBytesHex(benchmark::State& state) {
  const auto bytes = RandomBytes(state.range(0));
  const auto count = static_cast<std::int32_t>(bytes.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(basMD5::DigestBytesHex(bytes, count));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_OpenSslMd5(benchmark::State& state) {
  const auto bytes = RandomBytes(state.range(0));
  unsigned char digest[MD5_DIGEST_LENGTH];
  for (auto _ : state) {
    MD5(bytes.data(), bytes.size(), digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DigestTextHex(benchmark::State& state) {
  const auto text = AsciiText(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(basMD5::DigestTextHex(text));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BufferSizes(benchmark::internal::Benchmark* benchmark) {
  for (auto size : kBufferSizes) benchmark->Arg(size);
}

void TextSizes(benchmark::internal::Benchmark* benchmark) {
  for (auto size : kTextSizes) benchmark->Arg(size);
  benchmark->Unit(benchmark::kMillisecond);
}

// A locale of the build tree's test locales (LOCPATH) as the user's, for one
// benchmark: named in LC_ALL and applied with setlocale, as the toolkit does
// at start-up; the plain C locale again afterwards.
class UserLocale {
 public:
  explicit UserLocale(const char* name) {
    setenv("LC_ALL", name, 1);
    loaded_ = std::setlocale(LC_ALL, "") != nullptr;
  }
  ~UserLocale() {
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");
  }
  UserLocale(const UserLocale&) = delete;
  UserLocale& operator=(const UserLocale&) = delete;
  bool loaded() const { return loaded_; }

 private:
  bool loaded_;
};

constexpr std::int64_t kConvertedSize = 256 << 10;

// Each character replaced by "?" under Latin-1.
std::u16string CyrillicText(std::int64_t size) {
  return std::u16string(static_cast<std::size_t>(size), u'\u0436');
}

// German text, held by Latin-1 but for a euro sign every 1024 characters.
std::u16string GermanText(std::int64_t size) {
  const std::u16string_view words = u"Gr\u00FC\u00DFe aus K\u00F6ln, ";
  std::u16string text(static_cast<std::size_t>(size), u' ');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = i % 1024 == 1023 ? u'\u20AC' : words[i % words.size()];
  }
  return text;
}

void BM_TextToAnsiBytesLatin1(benchmark::State& state,
                              std::u16string (*make_text)(std::int64_t)) {
  const UserLocale locale("de_DE.ISO-8859-1");
  if (!locale.loaded()) {
    state.SkipWithError("de_DE.ISO-8859-1 not found: set LOCPATH");
    return;
  }
  const auto text = make_text(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(basMD5::TextToAnsiBytes(text));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_DigestBytesHex)->Apply(BufferSizes);
BENCHMARK(BM_OpenSslMd5)->Apply(BufferSizes);
BENCHMARK(BM_DigestTextHex)->Apply(TextSizes);
BENCHMARK_CAPTURE(BM_TextToAnsiBytesLatin1, cyrillic, CyrillicText)
    ->Arg(kConvertedSize)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextToAnsiBytesLatin1, german, GermanText)
    ->Arg(kConvertedSize)
    ->Unit(benchmark::kMillisecond);

// The console table, then the byte rates of both MD5s side by side per
// buffer size. Medians are used when repetitions produced them.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}  // plain text, no colours

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) Keep(run);
  }

  void PrintRatios() const {
    const bool have_medians = !medians_.empty();
    const Rates& rates = have_medians ? medians_ : singles_;
    std::printf("\nMD5 throughput, %s:\n",
                have_medians ? "medians" : "one run");
    std::printf("%10s %14s %14s %16s\n", "bytes", "engine MB/s", "OpenSSL MB/s",
                "OpenSSL/engine");
    for (std::int64_t size : kBufferSizes) {
      const auto engine = rates.find({"BM_DigestBytesHex", size});
      const auto openssl = rates.find({"BM_OpenSslMd5", size});
      if (engine == rates.end() || openssl == rates.end()) continue;
      std::printf("%10lld %14.1f %14.1f %16.1f\n", static_cast<long long>(size),
                  engine->second / 1e6, openssl->second / 1e6,
                  openssl->second / engine->second);
    }
  }

 private:
  // Bytes per second, by benchmark name and buffer size.
  using Rates = std::map<std::pair<std::string, std::int64_t>, double>;

  void Keep(const Run& run) {
    const auto rate = run.counters.find("bytes_per_second");
    if (run.error_occurred || rate == run.counters.end()) return;
    const std::pair key{run.run_name.function_name,
                        std::stoll(run.run_name.args)};
    if (run.run_type == Run::RT_Iteration) {
      singles_[key] = rate->second.value;
    } else if (run.aggregate_name == "median") {
      medians_[key] = rate->second.value;
    }
  }

  Rates singles_;
  Rates medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
