// Text conversion through the system's ANSI code page. Each suite needs its
// own code page, which Wine takes from LC_ALL when the process starts: the
// test setup runs AnsiTextCp1252 under de_DE.UTF-8 and AnsiTextCp932 under
// ja_JP.UTF-8. On Windows itself, run each suite under that code page.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ansi_text.h"
#include "basMD5.h"
#include "conversion_cases.h"

namespace basMD5 {
namespace {

struct Report {
  const char* what;
  std::u16string text;
  std::size_t bytes, replaced;
};

// What the conversion reports for the output box's explanation, under the
// code page and name expected.
void ExpectReports(UINT code_page, const char* name,
                   const std::vector<Report>& cases) {
  for (const Report& c : cases) {
    const AnsiConversion conversion = ConvertToAnsi(c.text);
    EXPECT_EQ(conversion.bytes.size(), c.bytes) << c.what;
    EXPECT_EQ(conversion.replaced, c.replaced) << c.what;
    EXPECT_EQ(conversion.charset, name) << c.what;
    EXPECT_EQ(conversion.ansi_code_page, code_page) << c.what;
  }
}

TEST(AnsiTextCp1252, ConvertsToWindows1252) {
  ASSERT_EQ(GetACP(), 1252u) << "run this suite with LC_ALL=de_DE.UTF-8";
  ExpectConversions({
      {"ASCII", u"abc", {0x61, 0x62, 0x63}},
      {"euro sign", u"\u20AC", {0x80}},
      {"a umlaut", u"\u00E4", {0xE4}},
      {"kanji", u"a\u65E5b", {0x61, '?', 0x62}},
  });
}

TEST(AnsiTextCp1252, DigestsTheCodePageBytes) {
  ASSERT_EQ(GetACP(), 1252u) << "run this suite with LC_ALL=de_DE.UTF-8";
  EXPECT_EQ(DigestTextHex(u"\u00E4"), "C15BCC5577F9FADE4B4A3256190A59B0");
  EXPECT_EQ(DigestTextHex(u"\u20AC"), "8D39DD7EEF115EA6975446EF4082951F");
}

// A character the code page lacks counts once, whether the system put "?"
// or a best-fit lookalike ("a" for "a" with a macron) in its place.
TEST(AnsiTextCp1252, ReportsBytesReplacedCharactersAndTheCodePage) {
  ASSERT_EQ(GetACP(), 1252u) << "run this suite with LC_ALL=de_DE.UTF-8";
  ExpectReports(1252, "Windows-1252",
                {
                    {"empty", u"", 0, 0},
                    {"euro sign, a umlaut", u"\u20AC\u00E4", 2, 0},
                    {"Cyrillic zhe", u"a\u0436", 2, 1},
                    {"a macron, best fit", u"\u0101", 1, 1},
                    {"kanji and lone surrogate", u"\u65E5\u672C\xDE00", 3, 3},
                });
}

TEST(AnsiTextCp932, ReportsBytesReplacedCharactersAndTheCodePage) {
  ASSERT_EQ(GetACP(), 932u) << "run this suite with LC_ALL=ja_JP.UTF-8";
  ExpectReports(932, "Shift_JIS",
                {
                    {"Nihon, Cyrillic zhe", u"\u65E5\u672C\u0436", 6, 0},
                    {"euro sign", u"a\u20AC", 2, 1},
                });
}

TEST(AnsiTextCp932, ConvertsToShiftJis) {
  ASSERT_EQ(GetACP(), 932u) << "run this suite with LC_ALL=ja_JP.UTF-8";
  ExpectConversions({
      {"ASCII", u"abc", {0x61, 0x62, 0x63}},
      {"Nihon", u"\u65E5\u672C", {0x93, 0xFA, 0x96, 0x7B}},
      {"mixed with ASCII", u"a\u65E5b", {0x61, 0x93, 0xFA, 0x62}},
      {"half-width katakana", u"\uFF71", {0xB1}},
  });
}

TEST(AnsiTextCp932, CountsTwoBytesPerDoubleByteCharacter) {
  ASSERT_EQ(GetACP(), 932u) << "run this suite with LC_ALL=ja_JP.UTF-8";
  EXPECT_EQ(DigestTextHex(u"\u65E5\u672C"), "E8E9A3A3FF486AD91BCC03BB0B3A53E4");
}

}  // namespace
}  // namespace basMD5
