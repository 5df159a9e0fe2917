// The table of invisible characters on Windows: the program's string
// tables and kernel32's composition, in the session's UI language, which
// Wine takes from LC_ALL when the process starts. The test setup runs it
// once in an English and once in a German session (TTM_TEST_LANGUAGE).

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "invisible_cases.h"
#include "invisible_characters.h"

namespace {

using invisible_cases::Language;

TEST(InvisibleCharactersWin32, NamedInTheSessionsLanguage) {
  const char* wanted = std::getenv("TTM_TEST_LANGUAGE");
  ASSERT_NE(wanted, nullptr);
  const Language language =
      std::string(wanted) == "de" ? Language::kGerman : Language::kEnglish;
  ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()),
            language == Language::kGerman ? LANG_GERMAN : LANG_ENGLISH);
  for (const auto& [row_language, text, sentence] : invisible_cases::Cases()) {
    if (row_language != language) continue;
    ui::InvisibleCharacters invisible(text);
    invisible.CountDetachedMarks(text);
    EXPECT_EQ(invisible.Sentence(), sentence) << sentence;
  }
}

}  // namespace
