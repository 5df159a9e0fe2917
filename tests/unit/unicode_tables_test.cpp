// The tables that the build made from the Unicode Character Database,
// against the platform's own Unicode data where both know a code point:
// Qt's character properties and composition on Linux, kernel32's character
// types and composition on Windows. Where they part, the platform speaks
// another Unicode version than the database the build read, and the
// explanation would name what the platform does not do, or miss what it
// does.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "composition.h"
#include "invisible_characters.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <QChar>
#include <QList>
#include <QString>
#endif

namespace {

using Kind = ui::InvisibleCharacters::Kind;
using ui::InvisibleCharacters;

constexpr char32_t kCodePoints = 0x110000;

// The code points that the database assigns, as its DerivedAge.txt lists
// them.
std::vector<bool> AssignedByTheDatabase() {
  std::vector<bool> assigned(kCodePoints);
  std::ifstream ages(TTM_UCD_DIR "/DerivedAge.txt");
  EXPECT_TRUE(ages.is_open()) << TTM_UCD_DIR;
  for (std::string line; std::getline(ages, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t dots = line.find("..");
    const auto first = static_cast<char32_t>(std::stoul(line, nullptr, 16));
    const auto last = dots < line.find(';')
                          ? static_cast<char32_t>(
                                std::stoul(line.substr(dots + 2), nullptr, 16))
                          : first;
    for (char32_t code = first; code <= last; ++code) assigned[code] = true;
  }
  return assigned;
}

std::u16string Utf16(const std::u32string& codes) {
  std::u16string text;
  for (const char32_t code : codes) {
    if (code < 0x10000) {
      text += static_cast<char16_t>(code);
    } else {
      text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  return text;
}

#ifdef _WIN32

// Windows knows a code point where its normalization takes it: it refuses
// code points of later Unicode versions.
bool PlatformKnows(char32_t code) {
  const std::u16string text = Utf16(std::u32string(1, code));
  wchar_t out[8] = {};
  return NormalizeString(NormalizationC, reinterpret_cast<LPCWSTR>(text.data()),
                         static_cast<int>(text.size()), out, 8) > 0;
}

// The canonical decomposition of code into two code points, where it has
// one: kernel32 decomposes.
std::u32string CanonicalPair(char32_t code) {
  const std::u16string text = Utf16(std::u32string(1, code));
  wchar_t out[8] = {};
  const int units =
      NormalizeString(NormalizationD, reinterpret_cast<LPCWSTR>(text.data()),
                      static_cast<int>(text.size()), out, 8);
  std::u32string codes;
  for (int i = 0; i < units; ++i) {
    const auto unit = static_cast<char16_t>(out[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      codes +=
          static_cast<char32_t>(0x10000 + ((unit - 0xD800u) << 10) +
                                (static_cast<char16_t>(out[i + 1]) - 0xDC00u));
      ++i;
    } else {
      codes += unit;
    }
  }
  return codes;
}

#else

bool PlatformKnows(char32_t code) {
  return QChar::unicodeVersion(code) != QChar::Unicode_Unassigned;
}

std::u32string CanonicalPair(char32_t code) {
  if (QChar::decompositionTag(code) != QChar::Canonical) return {};
  const QList<uint> codes = QChar::decomposition(code).toUcs4();
  return std::u32string(codes.begin(), codes.end());
}

// The kinds that a character of Qt's category must have.
std::vector<Kind> KindsOfCategory(char32_t code) {
  switch (QChar::category(code)) {
    case QChar::Other_Control:
      return {Kind::kLineBreak, Kind::kTab, Kind::kControl};
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return {Kind::kLineBreak};
    case QChar::Separator_Space:
      if (code == U' ') return {Kind::kNone};
      return {Kind::kNoBreakSpace, Kind::kOtherWidthSpace};
    default:
      return {};
  }
}

TEST(UnicodeTablesTest, ControlsAndSpacesAsQtHasThem) {
  const std::vector<bool> assigned = AssignedByTheDatabase();
  for (char32_t code = 0; code < kCodePoints; ++code) {
    if (!assigned[code] || !PlatformKnows(code)) continue;
    const std::vector<Kind> kinds = KindsOfCategory(code);
    if (kinds.empty()) continue;
    EXPECT_NE(std::find(kinds.begin(), kinds.end(),
                        InvisibleCharacters::KindOf(code)),
              kinds.end())
        << std::hex << static_cast<unsigned>(code);
  }
}

#endif

// Each mark that composition joins with a character before it into a
// precomposed one is a composing mark of the tables, and each composing
// mark of the tables is one.
TEST(UnicodeTablesTest, ComposingMarksAsThePlatformComposes) {
  const std::vector<bool> assigned = AssignedByTheDatabase();
  std::vector<bool> joined(kCodePoints);
  for (char32_t code = 0; code < kCodePoints; ++code) {
    if (!assigned[code] || !PlatformKnows(code)) continue;
    const std::u32string pair = CanonicalPair(code);
    if (pair.size() != 2 ||
        ui::ComposedForm(Utf16(pair)) != Utf16(std::u32string(1, code)))
      continue;
    joined[pair[1]] = true;
    // Hangul syllables decompose into jamo, which the tables name apart.
    const Kind kind = InvisibleCharacters::KindOf(pair[1]);
    EXPECT_TRUE(kind == Kind::kDetachedMark || kind == Kind::kDetachedJamo)
        << std::hex << static_cast<unsigned>(code);
  }
  for (char32_t code = 0; code < kCodePoints; ++code) {
    const Kind kind = InvisibleCharacters::KindOf(code);
    if (kind == Kind::kDetachedMark && PlatformKnows(code)) {
      EXPECT_TRUE(joined[code]) << std::hex << static_cast<unsigned>(code);
    }
    // A vowel jamo joins the leading consonant before it (the first is
    // U+1100), a trailing consonant the syllable before it (the first is
    // U+AC00), by Unicode's algorithm for Hangul.
    if (kind == Kind::kDetachedJamo) {
      const char32_t before = code < 0x11A8 ? 0x1100 : 0xAC00;
      EXPECT_EQ(ui::ComposedForm(Utf16({before, code})).size(), 1u)
          << std::hex << static_cast<unsigned>(code);
    }
  }
}

}  // namespace
