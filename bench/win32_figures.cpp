// Prints how long text-to-md5.exe takes under Wine to show its window, and
// what one keystroke costs with 256 KiB of input. Figures only: it judges
// nothing (scripts/win-figures.sh runs it).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app_session.h"

namespace driver {
namespace {

constexpr int kRuns = 10;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

void PrintSpread(const char* what, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  const double median =
      n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  std::printf("%s: median %.1f ms (min %.1f, max %.1f, %zu runs)\n", what,
              median, samples.front(), samples.back(), n);
}

// From CreateProcess until the window is shown with its first digest.
bool MeasureStartUp() {
  std::vector<double> samples;
  for (int run = 0; run < kRuns; ++run) {
    const auto started = Clock::now();
    AppSession app;
    const std::wstring failure = app.Start();
    if (!failure.empty()) {
      std::fprintf(stderr, "start-up failed: %ls\n", failure.c_str());
      return false;
    }
    samples.push_back(Milliseconds(Clock::now() - started));
  }
  PrintSpread("start-up to the window shown", samples);
  return true;
}

// From one key press (SendInput) until txtMD5 shows the new digest.
std::vector<double> KeystrokeCosts(const AppSession& app) {
  std::vector<double> samples;
  for (int run = 0; run < kRuns; ++run) {
    const std::wstring before = TextOf(app.txtMD5());
    const auto started = Clock::now();
    TypeText(L"b");
    if (!WaitUntil([&] { return TextOf(app.txtMD5()) != before; }, 60s)) {
      std::fprintf(stderr, "a keystroke changed no digest\n");
      return {};
    }
    samples.push_back(Milliseconds(Clock::now() - started));
  }
  return samples;
}

bool MeasureKeystrokes() {
  AppSession app;
  const std::wstring failure = app.Start();
  if (!failure.empty()) {
    std::fprintf(stderr, "start-up failed: %ls\n", failure.c_str());
    return false;
  }
  const std::vector<double> short_text = KeystrokeCosts(app);
  if (short_text.empty()) return false;
  PrintSpread("keystroke with a short input", short_text);

  // ASCII; Latin-1, which the code page of the run (1252) holds in bytes
  // that differ from UTF-8's, so the explanation adds the UTF-8 digest;
  // Cyrillic, which the code page lacks: every character is replaced, and
  // the explanation counts them; and no-break spaces, which the explanation
  // names.
  const std::pair<const char*, wchar_t> inputs[] = {
      {"ASCII", L'a'},
      {"Latin-1", L'\u00e4'},
      {"Cyrillic", L'\u0436'},
      {"no-break space", L'\u00a0'}};
  for (const auto& [name, character] : inputs) {
    const std::wstring text(256 * 1024, character);
    const auto started = Clock::now();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(app.txtText(), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        60000, &ignored);
    std::printf(
        "setting a 256 Ki character %s input (WM_SETTEXT and its digest): "
        "%.1f ms\n",
        name, Milliseconds(Clock::now() - started));
    const std::vector<double> long_text = KeystrokeCosts(app);
    if (long_text.empty()) return false;
    PrintSpread(
        (std::string("keystroke with 256 Ki characters of ") + name + " input")
            .c_str(),
        long_text);
  }
  return true;
}

}  // namespace
}  // namespace driver

int main() {
  SetProcessDPIAware();
  return driver::MeasureStartUp() && driver::MeasureKeystrokes() ? 0 : 1;
}
