// Throughput of DigestBytesHex against OpenSSL's MD5 on the same buffers, and
// the cost of one keystroke (DigestTextHex of the whole text) at several text
// sizes. After the usual table it prints, per buffer size, how many times
// faster OpenSSL is, from the medians when repetitions are asked for.

#define OPENSSL_SUPPRESS_DEPRECATED  // MD5() is the plain one-shot reference
#include <benchmark/benchmark.h>
#include <openssl/md5.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

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

BENCHMARK(BM_DigestBytesHex)->Apply(BufferSizes);
BENCHMARK(BM_OpenSslMd5)->Apply(BufferSizes);
BENCHMARK(BM_DigestTextHex)->Apply(TextSizes);

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
