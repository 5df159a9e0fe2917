#include "invisible_characters.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <utility>

#include "composition.h"
#include "fill_in.h"
#include "translation.h"
#include "unicode_tables.h"
#include "utf16.h"

namespace ui {
namespace {

using basMD5::FillIn;
using Kind = InvisibleCharacters::Kind;
namespace tables = unicode_tables;

// The kinds that composition may join with the character before them.
constexpr bool MayJoin(Kind kind) {
  return kind == Kind::kDetachedMark || kind == Kind::kDetachedJamo;
}

constexpr Kind KindByTables(char32_t code) {
  const auto after = std::upper_bound(
      std::begin(tables::kKindRuns), std::end(tables::kKindRuns), code,
      [](char32_t wanted, const tables::KindRun& run) {
        return wanted < run.first;
      });
  return std::prev(after)->kind;
}

// The tables' answers for the first 256 code points, and the 256-unit pages
// of UTF-16 that hold any other unit with a kind (or that begin a code
// point beyond U+FFFF, which is looked up whole): most text is looked up in
// one step.
constexpr auto kLatin1Kinds = [] {
  std::array<Kind, 0x100> kinds{};
  for (char32_t code = 0; code < 0x100; ++code)
    kinds[code] = KindByTables(code);
  return kinds;
}();

constexpr auto kPagesWithKinds = [] {
  std::array<bool, 0x100> pages{};
  const std::size_t runs = std::size(tables::kKindRuns);
  for (std::size_t i = 0; i + 1 < runs; ++i) {
    const tables::KindRun& run = tables::kKindRuns[i];
    const char32_t last = tables::kKindRuns[i + 1].first - 1;
    if (run.kind == Kind::kNone || run.first > 0xFFFF) continue;
    for (char32_t page = run.first >> 8;
         page <= std::min<char32_t>(last, 0xFFFF) >> 8; ++page) {
      pages[page] = true;
    }
  }
  for (char32_t page = 0xD800 >> 8; page <= 0xDBFF >> 8; ++page) {
    pages[page] = true;
  }
  return pages;
}();

// The code point at text[i] and how many units it takes; a lone surrogate
// stands for itself.
constexpr std::pair<char32_t, std::size_t> CodePointAt(std::u16string_view text,
                                                       std::size_t i) {
  if (basMD5::FirstCharacterUnits(text.substr(i)) == 2) {
    return {0x10000 + ((text[i] - 0xD800u) << 10) + (text[i + 1] - 0xDC00u), 2};
  }
  return {text[i], 1};
}

// The code point that ends right before text[i], i > 0, and where it starts.
constexpr std::pair<char32_t, std::size_t> CodePointBefore(
    std::u16string_view text, std::size_t i) {
  const std::size_t start =
      i >= 2 && basMD5::FirstCharacterUnits(text.substr(i - 2)) == 2 ? i - 2
                                                                     : i - 1;
  return {CodePointAt(text, start).first, start};
}

// The kind of the code point at text[i], and its units.
std::pair<Kind, std::size_t> KindAt(std::u16string_view text, std::size_t i) {
  const char16_t unit = text[i];
  if (unit < 0x100) return {kLatin1Kinds[unit], 1};
  if (!kPagesWithKinds[unit >> 8]) return {Kind::kNone, 1};
  const auto [code, units] = CodePointAt(text, i);
  return {KindByTables(code), units};
}

// What the tables tell of code beside a joiner: tables::kMark and the rest.
std::uint8_t ContextOf(char32_t code) {
  const auto after = std::upper_bound(
      std::begin(tables::kContextRuns), std::end(tables::kContextRuns),
      static_cast<std::uint32_t>(code << 8 | 0xFF));
  return static_cast<std::uint8_t>(*std::prev(after) & 0xFF);
}

// The context of the first code point before text[i] that skipped does not
// hold back; 0 where there is none.
template <typename Skipped>
std::uint8_t ContextBefore(std::u16string_view text, std::size_t i,
                           Skipped skipped) {
  while (i > 0) {
    const auto [code, start] = CodePointBefore(text, i);
    const std::uint8_t context = ContextOf(code);
    if (!skipped(context)) return context;
    i = start;
  }
  return 0;
}

// Whether the joiner at text[i] is part of the spelling around it: inside
// an emoji sequence (a pictograph, with what belongs to it, then the
// joiner, then a pictograph), where the emoji would look different without
// it, or between two letters of a script that writes with joiners, past the
// marks on the first one (Persian, Devanagari).
bool JoinerSpells(std::u16string_view text, std::size_t i) {
  const char16_t joiner = text[i];
  if (joiner != tables::kZeroWidthJoiner &&
      joiner != tables::kZeroWidthNonJoiner) {
    return false;
  }
  if (i + 1 >= text.size()) return false;
  const std::uint8_t after = ContextOf(CodePointAt(text, i + 1).first);
  if (joiner == tables::kZeroWidthJoiner && (after & tables::kPictographic) &&
      (ContextBefore(text, i,
                     [](std::uint8_t context) {
                       return (context & tables::kExtend) != 0;
                     }) &
       tables::kPictographic)) {
    return true;
  }
  const auto other_mark = [](std::uint8_t context) {
    return (context & tables::kMark) && !(context & tables::kJoiningScript);
  };
  return (after & tables::kJoiningScript) &&
         (ContextBefore(text, i, other_mark) & tables::kJoiningScript);
}

// How many times text holds code, the units of one code point.
std::size_t Occurrences(std::u16string_view text, std::u16string_view code) {
  std::size_t count = 0;
  for (std::size_t at = text.find(code); at != text.npos;
       at = text.find(code, at + code.size())) {
    ++count;
  }
  return count;
}

// A run of combining marks longer than this, which Unicode's stream-safe
// text format does not allow, ends the piece that is composed around a
// mark: such a mark is taken not to join.
constexpr std::size_t kMostMarksAround = 30;

bool IsMarkOrJamo(char32_t code) {
  return (ContextOf(code) & tables::kMark) ||
         KindByTables(code) == Kind::kDetachedJamo;
}

// Whether composition joins the mark at text[i], of units, with the
// character before it. Composed around the mark, within the marks around
// it and the character they follow: the mark joins where it adds none of
// itself to the composed form. The same marks after it are left out of
// both, as one of them could take its place.
bool WouldJoin(std::u16string_view text, std::size_t i, std::size_t units) {
  std::size_t start = i;
  for (std::size_t n = 0; start > 0 && n <= kMostMarksAround; ++n) {
    const auto [code, at] = CodePointBefore(text, start);
    start = at;
    if (!IsMarkOrJamo(code)) break;
  }
  const std::u16string_view mark = text.substr(i, units);
  std::u16string with(text.substr(start, i + units - start));
  std::u16string without(text.substr(start, i - start));
  std::size_t at = i + units;
  for (std::size_t n = 0; at < text.size() && n < kMostMarksAround; ++n) {
    const auto [code, code_units] = CodePointAt(text, at);
    if (!IsMarkOrJamo(code)) break;
    if (text.substr(at, code_units) != mark) {
      with += text.substr(at, code_units);
      without += text.substr(at, code_units);
    }
    at += code_units;
  }
  return Occurrences(ComposedForm(with), mark) ==
         Occurrences(ComposedForm(without), mark);
}

// The code point as people search for it: "U+00A0".
std::string CodePointText(char32_t code) {
  // At least four hexadecimal digits, as many as the code point needs.
  std::string digits;
  for (char32_t rest = code; rest != 0 || digits.size() < 4; rest >>= 4) {
    digits.insert(digits.begin(), "0123456789ABCDEF"[rest & 0xF]);
  }
  return "U+" + digits;
}

struct Block {
  char32_t first;
  char32_t last;
};

// The block of a kind that is named as a whole, not code point by code
// point; none for the other kinds.
std::optional<Block> WholeBlock(Kind kind) {
  if (kind == Kind::kTag) return Block{tables::kTagsFirst, tables::kTagsLast};
  if (kind == Kind::kDetachedJamo) {
    return Block{tables::kHangulJamoFirst, tables::kHangulJamoLast};
  }
  return std::nullopt;
}

// The characters of found as people search for them: a code point, CR LF,
// or the block of a kind named whole ("U+E0000–U+E007F").
std::string CodeText(const InvisibleCharacters::Found& found) {
  if (found.code == InvisibleCharacters::kCrLf) return "CR LF, U+000D U+000A";
  if (const auto block = WholeBlock(found.kind)) {
    return CodePointText(block->first) + "\u2013" + CodePointText(block->last);
  }
  return CodePointText(found.code);
}

// The code under which found_ keeps a code point of kind.
char32_t Entry(Kind kind, char32_t code) {
  const auto block = WholeBlock(kind);
  return block ? block->first : code;
}

// The kind's name, with gaps for how many and which character.
std::string KindName(Kind kind, std::size_t count) {
  switch (kind) {
    case Kind::kLineBreak:
      // TRANSLATORS: in this and the following names of kinds of characters
      // {1} is how many, {2} a code point such as "U+00A0", or "CR LF,
      // U+000D U+000A".
      return TranslatedPlural("{1} line break ({2})", "{1} line breaks ({2})",
                              count);
    case Kind::kTab:
      return TranslatedPlural("{1} tab ({2})", "{1} tabs ({2})", count);
    case Kind::kControl:
      return TranslatedPlural("{1} control character ({2})",
                              "{1} control characters ({2})", count);
    case Kind::kSpaceAtStart:
      return TranslatedPlural("{1} space ({2}) at the start",
                              "{1} spaces ({2}) at the start", count);
    case Kind::kSpaceAtEnd:
      return TranslatedPlural("{1} space ({2}) at the end",
                              "{1} spaces ({2}) at the end", count);
    case Kind::kNoBreakSpace:
      return TranslatedPlural("{1} no-break space ({2})",
                              "{1} no-break spaces ({2})", count);
    case Kind::kOtherWidthSpace:
      return TranslatedPlural("{1} space of another width ({2})",
                              "{1} spaces of another width ({2})", count);
    case Kind::kZeroWidthSpace:
      return TranslatedPlural("{1} zero-width space ({2})",
                              "{1} zero-width spaces ({2})", count);
    case Kind::kZeroWidth:
      return TranslatedPlural("{1} zero-width character ({2})",
                              "{1} zero-width characters ({2})", count);
    case Kind::kHangulFiller:
      // TRANSLATORS: letters of the Korean script that show as blanks.
      return TranslatedPlural("{1} Hangul filler ({2})",
                              "{1} Hangul fillers ({2})", count);
    case Kind::kVariationSelector:
      // TRANSLATORS: characters that choose a look of the character before
      // them, such as U+FE0F for the emoji look.
      return TranslatedPlural("{1} variation selector ({2})",
                              "{1} variation selectors ({2})", count);
    case Kind::kTag:
      // TRANSLATORS: the invisible characters that tag text; here {2} is
      // their range, "U+E0000–U+E007F".
      return TranslatedPlural("{1} tag character ({2})",
                              "{1} tag characters ({2})", count);
    case Kind::kByteOrderMark:
      return TranslatedPlural("{1} byte order mark ({2})",
                              "{1} byte order marks ({2})", count);
    case Kind::kSoftHyphen:
      return TranslatedPlural("{1} soft hyphen ({2})", "{1} soft hyphens ({2})",
                              count);
    case Kind::kDirection:
      return TranslatedPlural("{1} text direction control ({2})",
                              "{1} text direction controls ({2})", count);
    case Kind::kDetachedJamo:
      // TRANSLATORS: jamo are the letters of Korean syllables, here stored
      // one by one; {2} is their range, "U+1100–U+11FF".
      return TranslatedPlural("{1} Hangul jamo ({2}) apart from its syllable",
                              "{1} Hangul jamo ({2}) apart from their "
                              "syllables",
                              count);
    case Kind::kDetachedMark:
    case Kind::kNone:
      break;
  }
  return TranslatedPlural("{1} combining mark ({2}) apart from its letter",
                          "{1} combining marks ({2}) apart from their letters",
                          count);
}

std::string Phrase(const InvisibleCharacters::Found& found) {
  const std::string name =
      FillIn(KindName(found.kind, found.count),
             {std::to_string(found.count), CodeText(found)});
  if (!found.at_end) return name;
  // TRANSLATORS: {1} is a count of line breaks, such as "2 line breaks
  // (U+000A)".
  return FillIn(TranslatedPlural("{1} at the end", "{1}, the last at the end",
                                 found.count),
                {name});
}

// The scan looks at text in blocks of this many units, and skips a block of
// printable ASCII, which has no kind, whole.
constexpr std::size_t kBlockUnits = 64;

// Whether block holds only printable ASCII (U+0020 to U+007E): a loop with
// no branch, which the compiler turns into vector instructions.
bool AllPrintableAscii(std::u16string_view block) {
  bool other = false;
  for (const char16_t unit : block) {
    other |= static_cast<char16_t>(unit - 0x20) > 0x5E;
  }
  return !other;
}

// Beyond this many kinds the sentence gives only how many characters more.
constexpr std::size_t kMostKindsNamed = 8;

}  // namespace

InvisibleCharacters::InvisibleCharacters(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = std::min(text.size(), i + kBlockUnits);
    if (AllPrintableAscii(text.substr(i, end - i))) {
      i = end;
      continue;
    }
    while (i < end) i += Count(text, i);
  }
  if (text.empty()) return;
  AddSpacesAtTheEnds(text);
  MarkLineBreakAtTheEnd(text);
}

InvisibleCharacters::Kind InvisibleCharacters::KindOf(char32_t code) {
  return KindByTables(code);
}

std::size_t InvisibleCharacters::Count(std::u16string_view text,
                                       std::size_t i) {
  const auto [kind, units] = KindAt(text, i);
  if (kind == Kind::kNone) return units;
  if (MayJoin(kind)) {
    marks_to_count_ = true;
    return units;
  }
  if (text.substr(i, 2) == u"\r\n") {
    Add(kind, kCrLf);
    return 2;
  }
  // A run of one character is counted at once: a text full of no-break
  // spaces costs little more than one of letters.
  // A CR right before an LF belongs to that pair, not to the run.
  std::size_t run = units;
  if (units == 1) {
    while (i + run < text.size() && text[i + run] == text[i] &&
           text.substr(i + run, 2) != u"\r\n") {
      ++run;
    }
  } else {
    while (text.substr(i + run, 2) == text.substr(i, 2)) run += 2;
  }
  if (run == units && JoinerSpells(text, i)) return units;
  Add(kind, Entry(kind, CodePointAt(text, i).first), run / units);
  return run;
}

// A text of spaces only has them at its start.
void InvisibleCharacters::AddSpacesAtTheEnds(std::u16string_view text) {
  const std::size_t first_other = text.find_first_not_of(u' ');
  if (first_other == text.npos) {
    Add(Kind::kSpaceAtStart, u' ', text.size());
    return;
  }
  const std::size_t trailing = text.size() - 1 - text.find_last_not_of(u' ');
  if (first_other != 0) Add(Kind::kSpaceAtStart, u' ', first_other);
  if (trailing != 0) Add(Kind::kSpaceAtEnd, u' ', trailing);
}

void InvisibleCharacters::MarkLineBreakAtTheEnd(std::u16string_view text) {
  if (KindAt(text, text.size() - 1).first != Kind::kLineBreak) return;
  Add(Kind::kLineBreak, text.ends_with(u"\r\n") ? kCrLf : text.back(), 0)
      .at_end = true;
}

void InvisibleCharacters::CountDetachedMarks(std::u16string_view text) {
  if (!marks_to_count_) return;
  marks_to_count_ = false;
  // Composition joins nothing in a text that it leaves as it is.
  if (ComposedForm(text) == text) return;
  for (std::size_t i = 0; i < text.size();) {
    const auto [kind, units] = KindAt(text, i);
    if (MayJoin(kind) && WouldJoin(text, i, units)) {
      Add(kind, Entry(kind, CodePointAt(text, i).first));
    }
    i += units;
  }
}

std::string InvisibleCharacters::Sentence() const {
  if (found_.empty()) return {};
  std::vector<Found> in_order = found_;
  std::sort(in_order.begin(), in_order.end(),
            [](const Found& a, const Found& b) {
              return a.kind != b.kind ? a.kind < b.kind : a.code < b.code;
            });
  const std::size_t named = std::min(in_order.size(), kMostKindsNamed);
  // TRANSLATORS: what separates the kinds in the list of characters one may
  // not see, whose items may hold commas: "; " in English.
  const std::string separator = Translated("; ");
  std::string list;
  for (std::size_t i = 0; i < named; ++i) {
    if (i != 0) list += separator;
    list += Phrase(in_order[i]);
  }
  if (named < in_order.size()) {
    std::size_t more = 0;
    for (std::size_t i = named; i < in_order.size(); ++i) {
      more += in_order[i].count;
    }
    list += separator;
    // TRANSLATORS: {1} is how many characters more, of the kinds that the
    // list leaves out.
    list += FillIn(TranslatedPlural("and {1} more", "and {1} more", more),
                   {std::to_string(more)});
  }
  // TRANSLATORS: {1} is a list such as "1 line break (U+000A) at the end;
  // 2 no-break spaces (U+00A0)".
  return FillIn(Translated("Characters you may not see, all hashed: {1}."),
                {list});
}

InvisibleCharacters::Found& InvisibleCharacters::Add(Kind kind, char32_t code,
                                                     std::size_t count) {
  const auto is_it = [kind, code](const Found& found) {
    return found.kind == kind && found.code == code;
  };
  if (last_ >= found_.size() || !is_it(found_[last_])) {
    const auto known = std::find_if(found_.begin(), found_.end(), is_it);
    last_ = static_cast<std::size_t>(known - found_.begin());
    if (known == found_.end()) found_.push_back({kind, code, 0, false});
  }
  found_[last_].count += count;
  return found_[last_];
}

}  // namespace ui
