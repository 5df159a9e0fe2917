#pragma once
// MD5 words held in signed 32-bit integers. Additions go through doubles and
// are reduced modulo 2^32; rotation and packing use masks and single-bit
// moves. No integer operation here ever leaves the signed 32-bit range.
//
// Everything is inline: these run four to six times per MD5 step.

#include <cstdint>
#include <limits>

namespace basMD5 {

// One MD5 word; the bit pattern of the integer is the word.
using Word32 = std::int32_t;

inline constexpr double kTwoTo32 = 4294967296.0;
inline constexpr double kMaxSignedWord = 2147483647.0;
inline constexpr double kMinSignedWord = -2147483648.0;
inline constexpr Word32 kSignBit = std::numeric_limits<Word32>::min();

// Raises error 6. Kept out of line so the checks below stay cheap.
[[noreturn]] void RaiseWordOverflow();

// The unsigned value of word: 0 <= result < 2^32, exact in a double.
constexpr double WordToDouble(Word32 word) noexcept {
  const double value = word;
  return word < 0 ? value + kTwoTo32 : value;
}

// Rounds to the nearest whole number, halves to even, without a library
// call: adding 1.5 * 2^52 leaves no fraction bits for |value| < 2^51 and
// the default rounding mode rounds that addition half to even.
constexpr double RoundHalfEven(double value) noexcept {
  constexpr double kShift = 6755399441055744.0;
  return (value + kShift) - kShift;
}

// The word whose unsigned value is value; error 6 unless 0 <= value < 2^32
// (NaN included). A fraction that would round below the signed range also
// raises 6, as the signed conversion it stands for would.
inline Word32 DoubleToWord(double value) {
  const bool in_range = value >= 0.0 && value < kTwoTo32;
  const double folded = value > kMaxSignedWord ? value - kTwoTo32 : value;
  const double whole = RoundHalfEven(folded);
  if (!(in_range && whole >= kMinSignedWord)) [[unlikely]] {
    RaiseWordOverflow();
  }
  return static_cast<Word32>(whole);
}

// (u(x) + u(y)) mod 2^32. The sum is below 2^33, so one subtraction reduces
// it, and DoubleToWord never raises here.
inline Word32 WordAdd(Word32 x, Word32 y) {
  double sum = WordToDouble(y) + WordToDouble(x);
  sum = sum >= kTwoTo32 ? sum - kTwoTo32 : sum;
  return DoubleToWord(sum);
}

// word rotated left by one bit: bits 0-29 move up by a multiplication that
// stays below 2^31; bit 30 becomes the sign bit and the sign bit becomes
// bit 0, each set separately.
constexpr Word32 WordRotlOnce(Word32 word) noexcept {
  Word32 moved = (word & 0x3FFFFFFF) * 2;
  moved |= (word & 0x40000000) != 0 ? kSignBit : 0;
  moved |= word < 0 ? 1 : 0;
  return moved;
}

// word rotated left by count bits, one bit per pass; a count of 0 or less
// returns word unchanged, and 32 or more rotates by count mod 32.
constexpr Word32 WordRotl(Word32 word, std::int16_t count) noexcept {
#pragma GCC unroll 32
  for (std::int16_t pass = 0; pass < count; ++pass) {
    word = WordRotlOnce(word);
  }
  return word;
}

// The word with bytes b3 b2 b1 b0, most significant first. The top bit of
// b3 enters as the sign bit, never through a multiplication.
constexpr Word32 WordFromBytes(std::uint8_t b3, std::uint8_t b2,
                               std::uint8_t b1, std::uint8_t b0) noexcept {
  Word32 word = (b3 & 0x7F) * 0x1000000 | b2 * 0x10000 | b1 * 0x100 | b0;
  word |= (b3 & 0x80) != 0 ? kSignBit : 0;
  return word;
}

// Splits word into its bytes, most significant first. Each output is the low
// eight bits of an exact signed quotient or shift, so negative words split
// like any other.
constexpr void WordToBytes(Word32 word, std::uint8_t& b3, std::uint8_t& b2,
                           std::uint8_t& b1, std::uint8_t& b0) noexcept {
  constexpr Word32 kTopByte = static_cast<Word32>(0xFF000000u);
  constexpr Word32 kTopThreeBytes = static_cast<Word32>(0xFFFFFF00u);
  b3 = static_cast<std::uint8_t>((word & kTopByte) / 0x1000000);
  b2 = static_cast<std::uint8_t>(word >> 16);
  b1 = static_cast<std::uint8_t>((word & kTopThreeBytes) / 0x100);
  b0 = static_cast<std::uint8_t>(word);
}

}  // namespace basMD5
