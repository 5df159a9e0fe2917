// Windows: the system's ANSI code page through the platform's own
// conversion, with its default replacement (best-fit mapping included).

#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ansi_text.h"
#include "numbered_error.h"
#include "utf16.h"

namespace basMD5 {
namespace {

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

// Whether WideCharToMultiByte put the code page's default character for
// some character of text when it may not use a best-fit lookalike either.
// text is at most INT_MAX units and not empty.
bool NeedsDefaultChar(std::u16string_view text) {
  const int units = static_cast<int>(text.size());
  BOOL used_default = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text), units,
                          nullptr, 0, nullptr, &used_default);
  if (size <= 0 || used_default) return used_default != FALSE;
  // The size query need not report the default character: convert.
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(text), units,
                      out.data(), size, nullptr, &used_default);
  return used_default != FALSE;
}

// The characters of text that the code page lacks: those that the default
// conversion replaced with a lookalike or "?". Without best fit, a lacking
// character is exactly one that needs the default character. One pass over
// the whole text; only if some were replaced, one call for each distinct
// character outside ASCII (a text repeats few of them).
std::size_t CountReplaced(std::u16string_view text) {
  if (!NeedsDefaultChar(text)) return 0;
  enum Verdict : std::uint8_t { kUnknown, kKept, kReplaced };
  std::vector<Verdict> verdicts(0x10000, kUnknown);  // by BMP code unit
  std::size_t replaced = 0;
  while (!text.empty()) {
    const std::size_t units = FirstCharacterUnits(text);
    const std::u16string_view character = text.substr(0, units);
    text.remove_prefix(units);
    if (character[0] < 0x80) continue;  // every ANSI code page holds ASCII
    if (units == 2) {  // a surrogate pair: rare, so asked of the system
      if (NeedsDefaultChar(character)) ++replaced;
      continue;
    }
    Verdict& verdict = verdicts[character[0]];
    if (verdict == kUnknown) {
      verdict = NeedsDefaultChar(character) ? kReplaced : kKept;
    }
    if (verdict == kReplaced) ++replaced;
  }
  return replaced;
}

// UTF-8 (65001, which Windows allows as the ANSI code page) holds every
// character; a lone surrogate becomes U+FFFD.
std::size_t CountLoneSurrogates(std::u16string_view text) {
  std::size_t lone = 0;
  while (!text.empty()) {
    const std::size_t units = FirstCharacterUnits(text);
    if (units == 1 && (IsHighSurrogate(text[0]) || IsLowSurrogate(text[0]))) {
      ++lone;
    }
    text.remove_prefix(units);
  }
  return lone;
}

// The usual name of each ANSI code page that Windows has.
std::string CodePageName(UINT code_page) {
  if (code_page == 874 || (code_page >= 1250 && code_page <= 1258)) {
    return "Windows-" + std::to_string(code_page);
  }
  constexpr std::pair<UINT, const char*> kNames[] = {{932, "Shift_JIS"},
                                                     {936, "GBK"},
                                                     {949, "UHC"},
                                                     {950, "Big5"},
                                                     {CP_UTF8, "UTF-8"}};
  for (const auto& [number, name] : kNames) {
    if (number == code_page) return name;
  }
  return "";
}

}  // namespace

std::vector<std::uint8_t> TextToAnsiBytes(std::u16string_view text) {
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    throw NumberedError(kErrOverflow, "Overflow: text too long to convert");
  }
  const int units = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, Wide(text), units, nullptr, 0,
                                       nullptr, nullptr);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(size > 0 ? size : 0));
  const int written =
      size > 0 ? WideCharToMultiByte(CP_ACP, 0, Wide(text), units,
                                     reinterpret_cast<char*>(out.data()), size,
                                     nullptr, nullptr)
               : 0;
  if (written <= 0) {
    throw NumberedError(kErrConversion,
                        "Cannot convert text to the ANSI code page (error {1})",
                        {std::to_string(GetLastError())});
  }
  out.resize(static_cast<std::size_t>(written));
  return out;
}

AnsiConversion ConvertToAnsi(std::u16string_view text) {
  const UINT code_page = GetACP();
  AnsiConversion result;
  result.ansi_code_page = code_page;
  result.charset = CodePageName(code_page);
  // The platform refuses to convert nothing.
  if (text.empty()) return result;
  result.bytes = TextToAnsiBytes(text);
  result.replaced =
      code_page == CP_UTF8 ? CountLoneSurrogates(text) : CountReplaced(text);
  return result;
}

}  // namespace basMD5
