// The output box's sentences in each language, from the catalogues that the
// build compiled from po/ (TTM_CATALOGUES) and the locales that the tests
// compiled (LOCPATH). The language is the user's locale, as LC_ALL names it.

#include "translation.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "ansi_text.h"
#include "invisible_cases.h"
#include "invisible_characters.h"
#include "locpath_leak.h"
#include "numbered_error.h"
#include "output_texts.h"

namespace {

constexpr char kEnglish[] = "C";
constexpr char kGerman[] = "de_DE.UTF-8";
// Installed, but no catalogue has its language: Portugal's Portuguese is not
// Brazil's.
constexpr char kPortugal[] = "pt_PT.UTF-8";

void UseLanguage(const char* locale) {
  setenv("TEXTDOMAINDIR", TTM_CATALOGUES, 1);
  unsetenv("LANGUAGE");
  setenv("LC_ALL", locale, 1);
}

basMD5::AnsiConversion Converted(std::string bytes, std::size_t replaced,
                                 const char* charset,
                                 std::optional<std::uint32_t> code_page = {},
                                 bool stands_in = false) {
  return {std::vector<std::uint8_t>(bytes.begin(), bytes.end()), replaced,
          charset, code_page, stands_in};
}

struct Case {
  const char* locale;
  std::u16string text;
  basMD5::AnsiConversion conversion;
  std::u16string explanation;
};

TEST(TranslationTest, ExplanationsInTheUsersLanguage) {
  const std::vector<Case> cases = {
      {kEnglish, u"abcdefg", Converted("abcdefg", 0, "UTF-8"),
       u"MD5 of 7 bytes: the text in UTF-8, the character set of the "
       u"locale."},
      {kEnglish, u"abc", Converted("abc", 0, "UTF-8", {}, true),
       u"MD5 of 3 bytes: the text in UTF-8, which stands in for the "
       u"locale's ASCII."},
      {kEnglish, u"€", Converted("?", 1, "ISO-8859-1"),
       u"MD5 of 1 byte: the text in ISO-8859-1, the character set of the "
       u"locale.\n1 character is not in this character set and was hashed "
       u"as \"?\".\nMD5 of the text in UTF-8, which most other tools and web "
       u"pages compute: BCA53FDE466A76B7BEE3E18997E94A7A"},
      {kPortugal, u"aЧЧЧЧ", Converted("a????", 4, "Windows-1252", 1252),
       u"MD5 of 5 bytes: the text in code page 1252 (Windows-1252), the "
       u"system's ANSI code page.\n4 characters are not in this code page "
       u"and were replaced as the system's conversion does, by a lookalike "
       u"or \"?\".\nMD5 of the text in UTF-8, which most other tools and "
       u"web pages compute: 9487ABFC026FD34BE414B38E7C7445F3"},
      {kEnglish, u"", Converted("", 0, "", 1361),
       u"MD5 of 0 bytes: the text in code page 1361, the system's ANSI "
       u"code page."},
      {kGerman, u"Tee, Чай", Converted("Tee, ???", 3, "Windows-1252", 1252),
       u"MD5 von 8 Bytes: der Text in Codepage 1252 (Windows-1252), der "
       u"ANSI-Codepage des Systems.\n3 Zeichen sind nicht in dieser Codepage "
       u"und wurden wie bei der Umwandlung des Systems ersetzt, durch ein "
       u"ähnliches Zeichen oder „?“.\nMD5 des Textes in UTF-8, den die "
       u"meisten anderen Programme und Webseiten berechnen: "
       u"5E48B4BE3875D048203163AE2772E990"},
      {kGerman, u"ä€", Converted("\xE4?", 1, "ISO-8859-1"),
       u"MD5 von 2 Bytes: der Text in ISO-8859-1, dem Zeichensatz der "
       u"Locale.\n1 Zeichen ist nicht in diesem Zeichensatz und wurde als "
       u"„?“ gehasht.\nMD5 des Textes in UTF-8, den die meisten anderen "
       u"Programme und Webseiten berechnen: F1E21D5366CFF108F242F8E4853AABAE"},
      {kGerman, u"ä", Converted("\xC3\xA4", 0, "UTF-8"),
       u"MD5 von 2 Bytes: der Text in UTF-8, dem Zeichensatz der Locale."},
      {kGerman, u"a", Converted("a", 0, ""),
       u"MD5 von 1 Byte: der Text in dem Zeichensatz der Locale."},
      {kGerman, u"abc", Converted("abc", 0, "UTF-8", {}, true),
       u"MD5 von 3 Bytes: der Text in UTF-8, das für das ASCII der Locale "
       u"einspringt."},
  };
  for (const auto& [locale, text, conversion, explanation] : cases) {
    UseLanguage(locale);
    EXPECT_EQ(ui::ExplainDigest(text, conversion), explanation) << locale;
  }
}

TEST(TranslationTest, FailuresInTheUsersLanguage) {
  const basMD5::NumberedError failure(
      basMD5::kErrConversion, "Cannot convert text to the character set {1}",
      {"EUC-JP"});
  const std::vector<std::pair<const char*, std::u16string>> cases = {
      {kEnglish,
       u"No digest: the text could not be hashed (Error 51: Cannot convert "
       u"text to the character set EUC-JP).\nThe text entered is kept."},
      {kGerman,
       u"Kein Digest: Der Text ließ sich nicht hashen (Fehler 51: Der Text "
       u"lässt sich nicht in den Zeichensatz EUC-JP umwandeln).\nDer "
       u"eingegebene Text bleibt erhalten."},
  };
  for (const auto& [locale, explanation] : cases) {
    UseLanguage(locale);
    EXPECT_EQ(ui::ExplainFailure(failure), explanation) << locale;
  }
}

// The sentence that names what the output box's text holds and a reader
// cannot see; Qt's composition tells the detached marks.
TEST(TranslationTest, InvisibleCharactersNamedWithTheirCodePoints) {
  for (const auto& [language, text, sentence] : invisible_cases::Cases()) {
    UseLanguage(language == invisible_cases::Language::kGerman ? kGerman
                                                               : kEnglish);
    ui::InvisibleCharacters invisible(text);
    invisible.CountDetachedMarks(text);
    EXPECT_EQ(invisible.Sentence(), sentence) << sentence;
  }
}

// gettext's translation of the empty text is the catalogue's header.
TEST(TranslationTest, TheEmptyTextHasNoTranslation) {
  UseLanguage(kGerman);
  EXPECT_EQ(ui::Translated(""), "");
}

}  // namespace
