#pragma once
// The characters of a text that the eye cannot tell apart from none, or from
// an ordinary space, and that change the digest all the same: line breaks,
// tabs and other controls, spaces at either end, spaces other than U+0020,
// zero-width, format and direction characters, and combining marks that a
// precomposed letter could stand in for. Another tool's different digest of
// "the same" text nearly always comes from one of them.

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
  // Combining marks are only noticed here: counting them takes
  // CountDetachedMarks.
  explicit InvisibleCharacters(std::u16string_view text);

  // Whether text holds a mark that may compose with the character before
  // it, so that CountDetachedMarks has work to do.
  bool marks_to_count() const { return marks_to_count_; }

  // Adds the combining marks of text (the text counted) that the text's
  // normalization form C, as the platform computes it, puts into a
  // precomposed character. Costs a normalization of text where
  // marks_to_count().
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
    kByteOrderMark,
    kSoftHyphen,
    kDirection,
    kDetachedMark,
    kNone,
  };

  // One character of a kind (a code point, or CR LF as one), and how many
  // times the text holds it.
  struct Found {
    Kind kind;
    char32_t code;  // kCrLf for the pair
    std::size_t count;
    bool at_end;  // the text ends with it (line breaks)
  };

  // The code of a CR LF pair, beyond every code point.
  static constexpr char32_t kCrLf = 0x110000;

 private:
  // Adds count to the character's count, which starts at 0.
  void Add(Kind kind, char32_t code, std::size_t count = 1);
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
