// The user's language on Windows: the string tables that the build wrote
// into the program from the catalogues of po/, picked by the user's UI
// language, as Windows names it ("de-DE"; else, for Chinese, the region
// that writes alike; else its language "de").

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "catalogue_index.h"
#include "translation.h"

namespace ui {
namespace {

using catalogue::kLanguages;
using catalogue::kMessages;

// Chinese is written one of two ways, and which is the region's, not the
// language's: Hong Kong and Macao read the Traditional of Taiwan, Singapore
// the Simplified of China. Portugal's Portuguese falls back to English, not
// to Brazil's, as gettext does on Linux: the two differ in the very words of
// a computer's screen ("ficheiro" and "arquivo", "ecrã" and "tela").
constexpr std::pair<std::u16string_view, std::u16string_view> kSameWriting[] = {
    {u"zh-HK", u"zh-TW"},
    {u"zh-MO", u"zh-TW"},
    {u"zh-Hant", u"zh-TW"},
    {u"zh-SG", u"zh-CN"},
    {u"zh-Hans", u"zh-CN"}};

// The names under which a translation may serve a UI language that Windows
// names full, best first.
std::array<std::u16string, 3> Candidates(const std::u16string& full) {
  std::u16string same_writing;
  for (const auto& [region, translated] : kSameWriting) {
    if (full == region) same_writing = translated;
  }
  return {full, same_writing, full.substr(0, full.find(u'-'))};
}

// The place in kLanguages of the user's UI language, if it has one. The
// language of a session does not change while the program runs.
std::optional<std::size_t> UserLanguage() {
  static const std::optional<std::size_t> language =
      []() -> std::optional<std::size_t> {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT),
                         name, LOCALE_NAME_MAX_LENGTH, 0) == 0) {
      return std::nullopt;
    }
    const std::u16string full(reinterpret_cast<const char16_t*>(name));
    for (const std::u16string& wanted : Candidates(full)) {
      const auto found =
          std::find(kLanguages.begin(), kLanguages.end(), wanted);
      if (found != kLanguages.end()) {
        return static_cast<std::size_t>(found - kLanguages.begin());
      }
    }
    return std::nullopt;
  }();
  return language;
}

// Form form of english's translation into language, as UTF-8; none where
// it has none.
std::optional<std::string> TableString(std::size_t language,
                                       const char* english, unsigned form) {
  const auto message = std::find_if(
      kMessages.begin(), kMessages.end(),
      [english](const char* key) { return std::strcmp(key, english) == 0; });
  if (message == kMessages.end()) return std::nullopt;
  const auto id = catalogue::kFirstStringId +
                  static_cast<unsigned>(
                      (language * kMessages.size() +
                       static_cast<std::size_t>(message - kMessages.begin())) *
                      catalogue::kMaxForms) +
                  form;
  const wchar_t* text = nullptr;  // the resource itself, not a copy
  const int units = LoadStringW(GetModuleHandleW(nullptr), id,
                                reinterpret_cast<LPWSTR>(&text), 0);
  if (units <= 0) return std::nullopt;
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, units, utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

}  // namespace

std::string Translated(const char* english) {
  const auto language = UserLanguage();
  if (!language) return english;
  return TableString(*language, english, 0).value_or(english);
}

std::string TranslatedPlural(const char* singular, const char* plural,
                             std::size_t count) {
  const char* english = count == 1 ? singular : plural;
  const auto language = UserLanguage();
  if (!language) return english;
  return TableString(*language, singular,
                     catalogue::PluralForm(*language, count))
      .value_or(english);
}

}  // namespace ui
