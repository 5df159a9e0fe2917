#pragma once
// MD5 words held in signed 32-bit integers. Additions go through doubles and
// are reduced modulo 2^32; rotation and packing use masks and single-bit
// moves. No integer operation here ever leaves its signed range.
//
// These run four to six times per MD5 step, so each is forced inline and
// free of data-dependent branches: a mispredicted branch costs more than the
// few extra floating-point operations of a select. Only the range check of
// DoubleToWord branches, to a throw that never happens on the digest path.
// The rounding tricks below need IEEE doubles in the default rounding mode,
// compiled without -ffast-math.

#include <bit>
#include <cfloat>
#include <cstdint>
#include <limits>

static_assert(FLT_EVAL_METHOD == 0 && std::numeric_limits<double>::is_iec559,
              "word arithmetic needs IEEE doubles evaluated at double width");
#ifdef __FAST_MATH__
#error "word arithmetic needs exact IEEE rounding: build without -ffast-math"
#endif

namespace basMD5 {

// One MD5 word; the bit pattern of the integer is the word.
using Word32 = std::int32_t;

inline constexpr double kTwoTo31 = 2147483648.0;
inline constexpr double kTwoTo32 = 4294967296.0;
inline constexpr Word32 kSignBit = std::numeric_limits<Word32>::min();

// Raises error 6. Kept out of line so the checks below stay cheap.
[[noreturn]] void RaiseWordOverflow();

// The unsigned value of word: 0 <= result < 2^32, exact in a double.
// Flipping the sign bit turns u(word) into the signed integer u(word) - 2^31,
// so adding 2^31 back is the "add 2^32 when negative" without a branch.
[[gnu::always_inline]] constexpr double WordToDouble(Word32 word) noexcept {
  return static_cast<double>(word ^ kSignBit) + kTwoTo31;
}

// The whole number nearest to value, halves to even, for |value| <= 2^31.
// Adding 1.5 * 2^52 leaves no fraction bits, so the default rounding mode
// rounds half to even, and the integer stands in the low bits of the sum;
// subtracting the constant's bits yields it exactly.
[[gnu::always_inline]] constexpr std::int64_t RoundToInteger(
    double value) noexcept {
  constexpr double kShift = 6755399441055744.0;
  return std::bit_cast<std::int64_t>(value + kShift) -
         std::bit_cast<std::int64_t>(kShift);
}

// The word whose unsigned value is value; error 6 unless 0 <= value < 2^32
// (NaN included). value - 2^31 lies in the signed range, and flipping the
// sign bit of its integer adds the 2^31 back modulo 2^32: that is the
// "subtract 2^32 above 2147483647" without a branch. A fraction that rounds
// up to 2^32 overflows too.
[[gnu::always_inline]] inline Word32 DoubleToWord(double value) {
  if (!(value >= 0.0 && value < kTwoTo32)) [[unlikely]] {
    RaiseWordOverflow();
  }
  const std::int64_t shifted = RoundToInteger(value - kTwoTo31);
  if (shifted > std::numeric_limits<Word32>::max()) [[unlikely]] {
    RaiseWordOverflow();
  }
  return static_cast<Word32>(shifted) ^ kSignBit;
}

// 2^32 for a sum of two unsigned words (whole, below 2^33) that is 2^32 or
// more, else 0. sum - (2^31 - 1/2) is never a midpoint between multiples of
// 2^32, and adding and removing 1.5 * 2^84, where doubles lie 2^32 apart,
// rounds it to the nearest one: 0 below 2^32, 2^32 from there on.
[[gnu::always_inline]] constexpr double CarryOf(double sum) noexcept {
  constexpr double kShift = 0x1.8p84;
  return ((sum - (kTwoTo31 - 0.5)) + kShift) - kShift;
}

// (u(x) + u(y)) mod 2^32. The sum is below 2^33, so subtracting 2^32 once
// reduces it, and DoubleToWord never raises here.
[[gnu::always_inline]] inline Word32 WordAdd(Word32 x, Word32 y) {
  double sum = WordToDouble(y) + WordToDouble(x);
  sum -= CarryOf(sum);
  return DoubleToWord(sum);
}

// word rotated left by one bit: bits 0-29 move up by a one-bit shift (the
// product by 2, below 2^31); bit 30 becomes the sign bit and the sign bit
// becomes bit 0, each set separately. Written this way the compiler sees a
// rotation and merges a run of them into one instruction.
[[gnu::always_inline]] constexpr Word32 WordRotlOnce(Word32 word) noexcept {
  Word32 moved = (word & 0x3FFFFFFF) << 1;
  moved |= (word & 0x40000000) != 0 ? kSignBit : 0;
  moved |= word < 0 ? 1 : 0;
  return moved;
}

// word rotated left by count bits, one bit per pass; a count of 0 or less
// returns word unchanged, and 32 or more rotates by count mod 32.
[[gnu::always_inline]] constexpr Word32 WordRotl(Word32 word,
                                                 std::int16_t count) noexcept {
#pragma GCC unroll 32
  for (std::int16_t pass = 0; pass < count; ++pass) {
    word = WordRotlOnce(word);
  }
  return word;
}

// The word with bytes b3 b2 b1 b0, most significant first. The top bit of
// b3 enters as the sign bit, never through a multiplication.
[[gnu::always_inline]] constexpr Word32 WordFromBytes(
    std::uint8_t b3, std::uint8_t b2, std::uint8_t b1,
    std::uint8_t b0) noexcept {
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
