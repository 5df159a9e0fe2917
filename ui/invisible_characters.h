#pragma once
// The characters of a text that the eye cannot tell apart from none, or from
// an ordinary space, and that change the digest all the same: what Unicode
// calls white space (line breaks, tabs, spaces other than U+0020, and U+0020
// at either end), the controls, the format characters and every other
// default-ignorable code point, and combining marks or Hangul jamo that a
// precomposed character could stand in for. Another tool's different digest
// of "the same" text nearly always comes from one of them. A joiner that
// spells the text around it (in an emoji sequence, between the letters of a
// script that writes with it) is not named. The kinds come from tables that
// the build makes from the Unicode Character Database.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class InvisibleCharacters {
 public:
  // Nothing found: the explanation of an empty text.
  InvisibleCharacters() = default;

  // Counts what text holds in one pass, cheap enough for every keystroke.
  // Combining marks and jamo are only noticed here: counting them takes
  // CountDetachedMarks.
  explicit InvisibleCharacters(std::u16string_view text);

  // Whether text holds a mark that may compose with the character before
  // it, so that CountDetachedMarks has work to do.
  bool marks_to_count() const { return marks_to_count_; }

  // Adds the combining marks and jamo of text (the text counted) that
  // normalization form C, as the platform computes it, would join with the
  // character before them. Costs a normalization of text where
  // marks_to_count(), and one of the few characters around each such mark
  // where text is not in that form.
  void CountDetachedMarks(std::u16string_view text);

  // One sentence naming each kind found with its count and code point, in
  // the user's language, as UTF-8; empty where none was found.
  std::string Sentence() const;

  // One kind of character of the sentence; the kinds in the order named.
  enum class Kind {
    kLineBreak,
    kTab,
    kControl,
    kSpaceAtStart,
    kSpaceAtEnd,
    kNoBreakSpace,
    kOtherWidthSpace,
    kZeroWidthSpace,
    kZeroWidth,
    kHangulFiller,
    kVariationSelector,
    kTag,  // named as a whole, by their block
    kByteOrderMark,
    kSoftHyphen,
    kDirection,
    kDetachedMark,
    kDetachedJamo,  // named as a whole, by their block
    kNone,
  };

  // One character of a kind (a code point, or CR LF as one), and how many
  // times the text holds it.
  struct Found {
    Kind kind;
    char32_t code;  // kCrLf for the pair; a block's first where named whole
    std::size_t count;
    bool at_end;  // the text ends with it (line breaks)
  };

  // The code of a CR LF pair, beyond every code point.
  static constexpr char32_t kCrLf = 0x110000;

  // The kind of a code point on its own, as the Unicode Character Database
  // that the build read has it: kDetachedMark and kDetachedJamo for those
  // that composition may join with the character before them.
  static Kind KindOf(char32_t code);

 private:
  // Adds count to the character's count, which starts at 0; returns its
  // entry.
  Found& Add(Kind kind, char32_t code, std::size_t count = 1);
  // Counts the character at text[i], with the same ones right after it;
  // returns how many units it took.
  std::size_t Count(std::u16string_view text, std::size_t i);
  // The scan's parts for the ends of text, which is not empty.
  void AddSpacesAtTheEnds(std::u16string_view text);
  void MarkLineBreakAtTheEnd(std::u16string_view text);

  std::vector<Found> found_;
  std::size_t last_ = 0;  // the place in found_ of the last one added
  bool marks_to_count_ = false;
};

}  // namespace ui
