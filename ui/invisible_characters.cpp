#include "invisible_characters.h"

#include <algorithm>
#include <array>
#include <map>

#include "composition.h"
#include "fill_in.h"
#include "translation.h"
#include "utf16.h"

namespace ui {
namespace {

using basMD5::FillIn;
using Kind = InvisibleCharacters::Kind;

struct Range {
  char32_t first;
  char32_t last;
  Kind kind;
};

// The characters named, by kind. U+0020 is named only at either end of the
// text, and is not here.
constexpr Range kRanges[] = {
    {0x0000, 0x0008, Kind::kControl},
    {0x0009, 0x0009, Kind::kTab},
    {0x000A, 0x000A, Kind::kLineBreak},
    {0x000B, 0x000C, Kind::kControl},
    {0x000D, 0x000D, Kind::kLineBreak},
    {0x000E, 0x001F, Kind::kControl},
    {0x007F, 0x0084, Kind::kControl},
    {0x0085, 0x0085, Kind::kLineBreak},
    {0x0086, 0x009F, Kind::kControl},
    {0x00A0, 0x00A0, Kind::kNoBreakSpace},
    {0x00AD, 0x00AD, Kind::kSoftHyphen},
    {0x034F, 0x034F, Kind::kZeroWidth},  // combining grapheme joiner
    {0x061C, 0x061C, Kind::kDirection},
    {0x1680, 0x1680, Kind::kOtherWidthSpace},
    {0x180E, 0x180E, Kind::kZeroWidth},
    {0x2000, 0x2006, Kind::kOtherWidthSpace},
    {0x2007, 0x2007, Kind::kNoBreakSpace},
    {0x2008, 0x200A, Kind::kOtherWidthSpace},
    {0x200B, 0x200B, Kind::kZeroWidthSpace},
    {0x200C, 0x200D, Kind::kZeroWidth},
    {0x200E, 0x200F, Kind::kDirection},
    {0x2028, 0x2029, Kind::kLineBreak},
    {0x202A, 0x202E, Kind::kDirection},
    {0x202F, 0x202F, Kind::kNoBreakSpace},
    {0x205F, 0x205F, Kind::kOtherWidthSpace},
    {0x2060, 0x2064, Kind::kZeroWidth},
    {0x2066, 0x2069, Kind::kDirection},
    {0x3000, 0x3000, Kind::kOtherWidthSpace},
    {0xFEFF, 0xFEFF, Kind::kByteOrderMark},
};

// The marks that Unicode's canonical composition (normalization form C)
// joins with a character before them: the second characters of its
// primary composites, and the Hangul vowel and final jamo. A mark outside
// this list has no precomposed form and is ordinary text.
constexpr std::pair<char32_t, char32_t> kComposingMarks[] = {
    {0x0300, 0x0304},   {0x0306, 0x030C},   {0x030F, 0x030F},
    {0x0311, 0x0311},   {0x0313, 0x0314},   {0x031B, 0x031B},
    {0x0323, 0x0328},   {0x032D, 0x032E},   {0x0330, 0x0331},
    {0x0338, 0x0338},   {0x0342, 0x0342},   {0x0345, 0x0345},
    {0x0653, 0x0655},   {0x093C, 0x093C},   {0x09BE, 0x09BE},
    {0x09D7, 0x09D7},   {0x0B3E, 0x0B3E},   {0x0B56, 0x0B57},
    {0x0BBE, 0x0BBE},   {0x0BD7, 0x0BD7},   {0x0C56, 0x0C56},
    {0x0CC2, 0x0CC2},   {0x0CD5, 0x0CD6},   {0x0D3E, 0x0D3E},
    {0x0D57, 0x0D57},   {0x0DCA, 0x0DCA},   {0x0DCF, 0x0DCF},
    {0x0DDF, 0x0DDF},   {0x102E, 0x102E},   {0x1161, 0x1175},
    {0x11A8, 0x11C2},   {0x1B35, 0x1B35},   {0x3099, 0x309A},
    {0x110BA, 0x110BA}, {0x11127, 0x11127}, {0x1133E, 0x1133E},
    {0x11357, 0x11357}, {0x114B0, 0x114B0}, {0x114BA, 0x114BA},
    {0x114BD, 0x114BD}, {0x115AF, 0x115AF}, {0x11930, 0x11930},
};

constexpr bool IsComposingMark(char32_t code) {
  return std::any_of(std::begin(kComposingMarks), std::end(kComposingMarks),
                     [code](const auto& marks) {
                       return code >= marks.first && code <= marks.second;
                     });
}

constexpr char16_t HighSurrogateOf(char32_t code) {
  return static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
}

// The kind of a code unit: a composing mark's kind is kDetachedMark, and so
// is a high surrogate that may begin one.
constexpr Kind KindByTables(char16_t unit) {
  for (const Range& range : kRanges) {
    if (unit >= range.first && unit <= range.last) return range.kind;
  }
  const bool may_compose =
      std::any_of(std::begin(kComposingMarks), std::end(kComposingMarks),
                  [unit](const auto& marks) {
                    return marks.first < 0x10000
                               ? unit >= marks.first && unit <= marks.second
                               : unit >= HighSurrogateOf(marks.first) &&
                                     unit <= HighSurrogateOf(marks.second);
                  });
  return may_compose ? Kind::kDetachedMark : Kind::kNone;
}

// The tables' answers for the first 256 units, and the 256-unit pages that
// hold any other unit with a kind: most text is looked up in one step.
constexpr auto kLatin1Kinds = [] {
  std::array<Kind, 0x100> kinds{};
  for (char16_t unit = 0; unit < 0x100; ++unit)
    kinds[unit] = KindByTables(unit);
  return kinds;
}();

constexpr auto kPagesWithKinds = [] {
  std::array<bool, 0x100> pages{};
  const auto mark = [&pages](char32_t first, char32_t last) {
    for (char32_t page = first >> 8; page <= last >> 8; ++page) {
      pages[page] = true;
    }
  };
  for (const Range& range : kRanges) mark(range.first, range.last);
  for (const auto& [first, last] : kComposingMarks) {
    if (first < 0x10000) {
      mark(first, last);
    } else {
      mark(HighSurrogateOf(first), HighSurrogateOf(last));
    }
  }
  return pages;
}();

Kind UnitKind(char16_t unit) {
  if (unit < 0x100) return kLatin1Kinds[unit];
  if (!kPagesWithKinds[unit >> 8]) return Kind::kNone;
  return KindByTables(unit);
}

// Calls counted with each composing mark of text.
template <typename Counted>
void ForEachComposingMark(std::u16string_view text, Counted counted) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (UnitKind(text[i]) != Kind::kDetachedMark) continue;
    char32_t code = text[i];
    if (basMD5::FirstCharacterUnits(text.substr(i)) == 2) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    }
    if (IsComposingMark(code)) counted(code);
  }
}

// The code point as people search for it: "U+00A0".
std::string CodeText(char32_t code) {
  if (code == InvisibleCharacters::kCrLf) return "CR LF, U+000D U+000A";
  // At least four hexadecimal digits, as many as the code point needs.
  std::string digits;
  for (char32_t rest = code; rest != 0 || digits.size() < 4; rest >>= 4) {
    digits.insert(digits.begin(), "0123456789ABCDEF"[rest & 0xF]);
  }
  return "U+" + digits;
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
    case Kind::kByteOrderMark:
      return TranslatedPlural("{1} byte order mark ({2})",
                              "{1} byte order marks ({2})", count);
    case Kind::kSoftHyphen:
      return TranslatedPlural("{1} soft hyphen ({2})", "{1} soft hyphens ({2})",
                              count);
    case Kind::kDirection:
      return TranslatedPlural("{1} text direction control ({2})",
                              "{1} text direction controls ({2})", count);
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
             {std::to_string(found.count), CodeText(found.code)});
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

std::size_t InvisibleCharacters::Count(std::u16string_view text,
                                       std::size_t i) {
  const Kind kind = UnitKind(text[i]);
  if (kind == Kind::kNone) return 1;
  if (kind == Kind::kDetachedMark) {
    marks_to_count_ = true;
    return 1;
  }
  if (text.substr(i, 2) == u"\r\n") {
    Add(kind, kCrLf);
    return 2;
  }
  // A run of one character is counted at once: a text full of no-break
  // spaces costs little more than one of letters.
  // A CR right before an LF belongs to that pair, not to the run.
  std::size_t run = 1;
  while (i + run < text.size() && text[i + run] == text[i] &&
         text.substr(i + run, 2) != u"\r\n") {
    ++run;
  }
  Add(kind, text[i], run);
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
  if (UnitKind(text.back()) != Kind::kLineBreak) return;
  Add(Kind::kLineBreak, text.ends_with(u"\r\n") ? kCrLf : text.back(), 0);
  found_[last_].at_end = true;
}

void InvisibleCharacters::CountDetachedMarks(std::u16string_view text) {
  if (!marks_to_count_) return;
  marks_to_count_ = false;
  const std::u16string composed = ComposedForm(text);
  if (composed == text) return;
  // A mark that composition took into a letter is in text more often than
  // in its composed form.
  std::map<char32_t, std::ptrdiff_t> detached;
  ForEachComposingMark(text, [&detached](char32_t mark) { ++detached[mark]; });
  ForEachComposingMark(composed,
                       [&detached](char32_t mark) { --detached[mark]; });
  for (const auto& [mark, count] : detached) {
    if (count > 0) {
      Add(Kind::kDetachedMark, mark, static_cast<std::size_t>(count));
    }
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
  std::string list;
  for (std::size_t i = 0; i < named; ++i) {
    if (i != 0) list += "; ";
    list += Phrase(in_order[i]);
  }
  if (named < in_order.size()) {
    std::size_t more = 0;
    for (std::size_t i = named; i < in_order.size(); ++i) {
      more += in_order[i].count;
    }
    list += "; ";
    // TRANSLATORS: {1} is how many characters more, of the kinds named.
    list += FillIn(TranslatedPlural("and {1} more", "and {1} more", more),
                   {std::to_string(more)});
  }
  // TRANSLATORS: {1} is a list such as "1 line break (U+000A) at the end;
  // 2 no-break spaces (U+00A0)".
  return FillIn(Translated("Characters you may not see, all hashed: {1}."),
                {list});
}

void InvisibleCharacters::Add(Kind kind, char32_t code, std::size_t count) {
  const auto is_it = [kind, code](const Found& found) {
    return found.kind == kind && found.code == code;
  };
  if (last_ >= found_.size() || !is_it(found_[last_])) {
    const auto known = std::find_if(found_.begin(), found_.end(), is_it);
    last_ = static_cast<std::size_t>(known - found_.begin());
    if (known == found_.end()) found_.push_back({kind, code, 0, false});
  }
  found_[last_].count += count;
}

}  // namespace ui
