// Text conversion under real locales. The test setup compiles them into a
// folder of the build tree and points LOCPATH at it; a locale that cannot be
// loaded fails the test. The user's locale is the one LC_ALL names.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "ansi_text.h"
#include "basMD5.h"
#include "conversion_cases.h"
#include "locpath_leak.h"
#include "raised_number.h"


namespace basMD5 {
namespace {

// Cases that hold wherever the locale's set is UTF-8, and in the C locale.
const std::vector<Conversion> kUtf8Cases = {
    {"ASCII", u"abc", {0x61, 0x62, 0x63}},
    {"a umlaut", u"\u00E4", {0xC3, 0xA4}},
    {"euro sign", u"\u20AC", {0xE2, 0x82, 0xAC}},
    {"surrogate pair", u"\U0001F600", {0xF0, 0x9F, 0x98, 0x80}},
    {"lone high surrogate",
     u"a\xD83D"
     "b",
     {0x61, '?', 0x62}},
    {"lone low surrogate", u"\xDE00", {'?'}},
    {"high surrogate at the end", u"a\xD83D", {0x61, '?'}},
    {"pair in the wrong order", u"\xDE00\xD83D", {'?', '?'}},
};

class AnsiText : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* lc_all = std::getenv("LC_ALL");
    if (lc_all != nullptr) saved_lc_all_ = lc_all;
  }

  void TearDown() override {
    if (saved_lc_all_) {
      setenv("LC_ALL", saved_lc_all_->c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
    std::setlocale(LC_ALL, "C");
  }

  // Makes locale the user's and loads it for the whole process, as the
  // program's toolkit does at start-up.
  static void Load(const char* locale) {
    setenv("LC_ALL", locale, 1);
    const char* path = std::getenv("LOCPATH");
    ASSERT_NE(std::setlocale(LC_ALL, ""), nullptr)
        << "cannot load locale " << locale
        << " (LOCPATH=" << (path != nullptr ? path : "unset") << ")";
  }

 private:
  std::optional<std::string> saved_lc_all_;
};

// The plain C locale means ASCII, which cannot hold most text: UTF-8 is used.
TEST_F(AnsiText, UsesUtf8InTheCLocale) {
  ASSERT_NO_FATAL_FAILURE(Load("C"));
  ExpectConversions(kUtf8Cases);
}

TEST_F(AnsiText, UsesUtf8InAUtf8Locale) {
  ASSERT_NO_FATAL_FAILURE(Load("de_DE.UTF-8"));
  ExpectConversions(kUtf8Cases);
}

// A locale named but not installed: setlocale would fail there and leave the
// process in the C locale.
TEST_F(AnsiText, UsesUtf8WhenTheLocaleIsNotInstalled) {
  setenv("LC_ALL", "xx_XX.ISO-8859-1", 1);
  ExpectConversions(kUtf8Cases);
}

TEST_F(AnsiText, ReplacesWhatASingleByteSetCannotHold) {
  ASSERT_NO_FATAL_FAILURE(Load("de_DE.ISO-8859-1"));
  ExpectConversions({
      {"a umlaut", u"\u00E4", {0xE4}},
      {"y diaeresis", u"\u00FF", {0xFF}},
      {"euro sign", u"a\u20ACb", {0x61, '?', 0x62}},
      {"a macron", u"\u0101", {'?'}},
      {"surrogate pair", u"\U0001F600", {'?'}},
      {"lone high surrogate",
       u"x\xD83D"
       "y",
       {0x78, '?', 0x79}},
      {"lone low surrogate", u"\xDE00", {'?'}},
      {"high surrogate at the end", u"a\xD83D", {0x61, '?'}},
  });
}

// A library may switch LC_CTYPE after start-up (Qt 6.8 turns a non-UTF-8 one
// into UTF-8); the bytes still follow the user's locale.
TEST_F(AnsiText, KeepsTheUsersSetWhenLcCtypeIsSwitched) {
  ASSERT_NO_FATAL_FAILURE(Load("de_DE.ISO-8859-1"));
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  EXPECT_EQ(TextToAnsiBytes(u"\u00E4"), Bytes{0xE4});
}

// Replaced and kept characters at every place of the converter's windows,
// whatever their size: each prefix length puts the pattern at another offset.
TEST_F(AnsiText, ReplacesAlikeThroughoutALongText) {
  ASSERT_NO_FATAL_FAILURE(Load("de_DE.ISO-8859-1"));
  const Conversion once = {
      "kept, replaced, surrogate pair, lone low and lone high surrogate",
      u"a\u00E4\u0436\U0001F600\xDE00\xD83D",
      {0x61, 0xE4, '?', '?', '?', '?'}};
  for (std::size_t offset = 0; offset < once.text.size(); ++offset) {
    std::u16string text(offset, u'b');
    Bytes expected(offset, 0x62);
    for (int i = 0; i < 3000; ++i) {
      text += once.text;
      expected.insert(expected.end(), once.bytes.begin(), once.bytes.end());
    }
    EXPECT_EQ(TextToAnsiBytes(text), expected) << "offset " << offset;
  }
}

TEST_F(AnsiText, GivesTwoBytesPerCharacterOfADoubleByteSet) {
  ASSERT_NO_FATAL_FAILURE(Load("ja_JP.EUC-JP"));
  ExpectConversions({
      {"Nihon", u"\u65E5\u672C", {0xC6, 0xFC, 0xCB, 0xDC}},
      {"mixed with ASCII", u"a\u65E5b", {0x61, 0xC6, 0xFC, 0x62}},
      {"euro sign", u"\u20AC", {'?'}},
      {"surrogate pair", u"\U0001F600\u65E5", {'?', 0xC6, 0xFC}},
      {"lone low surrogate", u"\xDE00\u65E5", {'?', 0xC6, 0xFC}},
  });
}

// Far more output than the converter's first guess holds.
TEST_F(AnsiText, ConvertsLongTextCompletely) {
  ASSERT_NO_FATAL_FAILURE(Load("ja_JP.EUC-JP"));
  const std::u16string text(5000, u'\u65E5');
  Bytes expected;
  for (int i = 0; i < 5000; ++i) expected.insert(expected.end(), {0xC6, 0xFC});
  EXPECT_EQ(TextToAnsiBytes(text), expected);
}

// What the conversion reports for the output box's explanation: the bytes
// hashed, the characters replaced by "?" and the set's name.
TEST_F(AnsiText, ReportsBytesReplacedCharactersAndTheSet) {
  const struct {
    const char* locale;
    std::u16string text;
    std::size_t bytes, replaced;
    const char* charset;
    bool stands_in_for_ascii;
  } cases[] = {
      {"C", u"a\u20AC", 4, 0, "UTF-8", true},
      {"de_DE.UTF-8", u"\u00E4\xD83D\U0001F600", 7, 1, "UTF-8", false},
      {"de_DE.ISO-8859-1", u"", 0, 0, "ISO-8859-1", false},
      {"de_DE.ISO-8859-1", u"\u00E4\u0436\U0001F600\xDE00\u20AC", 5, 4,
       "ISO-8859-1", false},
      {"ja_JP.EUC-JP", u"\u65E5\u20AC\u0436", 5, 1, "EUC-JP", false},
  };
  for (const auto& c : cases) {
    ASSERT_NO_FATAL_FAILURE(Load(c.locale));
    const AnsiConversion conversion = ConvertToAnsi(c.text);
    EXPECT_EQ(conversion.bytes, TextToAnsiBytes(c.text)) << c.locale;
    EXPECT_EQ(conversion.bytes.size(), c.bytes) << c.locale;
    EXPECT_EQ(conversion.replaced, c.replaced) << c.locale;
    EXPECT_EQ(conversion.charset, c.charset) << c.locale;
    EXPECT_EQ(conversion.stands_in_for_ascii, c.stands_in_for_ascii)
        << c.locale;
    EXPECT_FALSE(conversion.ansi_code_page) << c.locale;
  }
}

// The digest is taken over the converted bytes, so the same text digests
// differently under different sets.
TEST_F(AnsiText, DigestFollowsTheLocalesSet) {
  const struct {
    const char* locale;
    const char* digest;  // of the text "ä"
  } cases[] = {
      {"C", "8419B71C87A225A2C70B50486FBEE545"},  // C3 A4
      {"de_DE.UTF-8", "8419B71C87A225A2C70B50486FBEE545"},
      {"de_DE.ISO-8859-1", "C15BCC5577F9FADE4B4A3256190A59B0"},  // E4
  };
  for (const auto& c : cases) {
    ASSERT_NO_FATAL_FAILURE(Load(c.locale));
    EXPECT_EQ(DigestTextHex(u"\u00E4"), c.digest) << c.locale;
    EXPECT_EQ(DigestTextHex(u""), "D41D8CD98F00B204E9800998ECF8427E")
        << c.locale;
  }
}

// The text is converted first and only then refused. Memory-heavy (about
// 0.7 GB): run with --gtest_also_run_disabled_tests.
TEST_F(AnsiText, DISABLED_RefusesTextWhoseBytesReachTheLimit) {
  ASSERT_NO_FATAL_FAILURE(Load("C"));
  const std::u16string euros(kRefusedByteCount / 3, u'\u20AC');  // 3 bytes each
  EXPECT_EQ(RaisedNumber([&] { DigestTextHex(euros); }), kErrOverflow);
}

}  // namespace
}  // namespace basMD5
