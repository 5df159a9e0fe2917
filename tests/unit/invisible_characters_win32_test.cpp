// The table of invisible characters on Windows: the program's string
// tables and kernel32's composition, in the session's UI language, which
// Wine takes from LC_ALL when the process starts. The test setup runs the
// English test in an English session and the German one in a German
// session.

#include <gtest/gtest.h>
#include <windows.h>

#include "invisible_cases.h"
#include "invisible_characters.h"

namespace {

using invisible_cases::Language;

// The rows of language, in a session whose UI language it is.
void ExpectSentencesIn(Language language, LANGID session) {
  ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), session);
  for (const auto& [row_language, text, sentence] : invisible_cases::Cases()) {
    if (row_language != language) continue;
    ui::InvisibleCharacters invisible(text);
    invisible.CountDetachedMarks(text);
    EXPECT_EQ(invisible.Sentence(), sentence) << sentence;
  }
}

TEST(InvisibleCharactersWin32, English) {
  ExpectSentencesIn(Language::kEnglish, LANG_ENGLISH);
}

TEST(InvisibleCharactersWin32, German) {
  ExpectSentencesIn(Language::kGerman, LANG_GERMAN);
}

}  // namespace
