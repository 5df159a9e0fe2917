#include "word32.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "numbered_error.h"
#include "raised_number.h"

namespace basMD5 {
namespace {

constexpr Word32 W(std::uint32_t pattern) {
  return static_cast<Word32>(pattern);
}

// Random word patterns, the same on every run.
class RandomWords {
 public:
  Word32 Next() { return W(static_cast<std::uint32_t>(generator_())); }

 private:
  std::mt19937 generator_{1321};
};

struct DoubleCase {
  Word32 word;
  double value;
};

// Both directions agree on every edge of the signed and unsigned ranges.
constexpr DoubleCase kDoubleCases[] = {
    {0, 0.0},
    {1, 1.0},
    {2147483647, 2147483647.0},
    {W(0x80000000u), 2147483648.0},
    {W(0x80000001u), 2147483649.0},
    {-2, 4294967294.0},
    {-1, 4294967295.0},
};

TEST(WordToDouble, IsTheUnsignedValue) {
  for (const auto& c : kDoubleCases) {
    EXPECT_EQ(WordToDouble(c.word), c.value) << c.word;
  }
}

TEST(DoubleToWord, IsTheWordOfAnUnsignedValue) {
  for (const auto& c : kDoubleCases) {
    EXPECT_EQ(DoubleToWord(c.value), c.word) << c.value;
  }
}

TEST(DoubleToWord, RoundsHalvesToEven) {
  const struct {
    double value;
    Word32 word;
  } cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {2.25, 2},
      {2.75, 3},
      {2147483646.5, 2147483646},
      {2147483647.5, W(0x80000000u)},
      {4294967294.5, -2},
      {-0.0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DoubleToWord(c.value), c.word) << c.value;
  }
}

TEST(DoubleToWord, RaisesOverflowOutsideTheUnsignedRange) {
  const double cases[] = {
      -1.0,
      -0.25,
      -2147483648.0,
      4294967296.0,
      4294967296.5,
      1e300,
      4294967295.5,  // rounds up to 2^32
      std::numeric_limits<double>::quiet_NaN(),
      -std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::denorm_min(),
  };
  for (double value : cases) {
    EXPECT_EQ(RaisedNumber([&] { DoubleToWord(value); }), kErrOverflow)
        << value;
  }
}

TEST(WordAdd, WrapsAt2To32) {
  const struct {
    Word32 x, y, sum;
  } cases[] = {
      {-1, 1, 0},                           // exactly 2^32 wraps
      {2147483647, 1, W(0x80000000u)},      // into the sign bit
      {-1, -1, -2},                         // both operands negative
      {W(0x80000000u), W(0x80000000u), 0},  // two sign bits
      {W(0x80000000u), 2147483647, -1},     // largest without carry
      {W(0xFFFFFFFEu), 3, 1},               // just past the wrap
      {0, 0, 0},
      {W(0x67452301u), W(0xEFCDAB89u), W(0x5712CE8Au)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WordAdd(c.x, c.y), c.sum) << c.x << " + " << c.y;
    EXPECT_EQ(WordAdd(c.y, c.x), c.sum) << c.y << " + " << c.x;
  }
}

TEST(WordAdd, MatchesUnsignedAdditionOnRandomWords) {
  RandomWords words;
  for (int i = 0; i < 100000; ++i) {
    const Word32 x = words.Next();
    const Word32 y = words.Next();
    const auto expected =
        static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(y);
    ASSERT_EQ(WordAdd(x, y), W(expected)) << x << " + " << y;
  }
}

TEST(WordRotl, MovesTheEdgeBits) {
  const struct {
    Word32 word;
    std::int16_t count;
    Word32 rotated;
  } cases[] = {
      {W(0x80000000u), 1, 1},               // sign bit to bit 0
      {W(0x40000000u), 1, W(0x80000000u)},  // bit 30 to the sign bit
      {W(0xC0000000u), 1, W(0x80000001u)},  // both at once
      {W(0x12345678u), 4, W(0x23456781u)},
      {W(0x12345678u), 31, W(0x091A2B3Cu)},
      {-1, 13, -1},
      {1, 31, W(0x80000000u)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WordRotl(c.word, c.count), c.rotated)
        << c.word << " by " << c.count;
  }
}

// Counts of 0 or less leave the word alone; 32 or more rotate by count mod 32.
TEST(WordRotl, TreatsEveryCountLikeTheUnsignedRotation) {
  const std::int16_t counts[] = {std::numeric_limits<std::int16_t>::min(),
                                 -32,
                                 -3,
                                 -1,
                                 0,
                                 1,
                                 7,
                                 23,
                                 31,
                                 32,
                                 33,
                                 63,
                                 64,
                                 100,
                                 std::numeric_limits<std::int16_t>::max()};
  RandomWords words;
  for (int i = 0; i < 64; ++i) {
    const Word32 word = words.Next();
    for (std::int16_t count : counts) {
      const auto expected =
          count < 1 ? static_cast<std::uint32_t>(word)
                    : std::rotl(static_cast<std::uint32_t>(word), count % 32);
      ASSERT_EQ(WordRotl(word, count), W(expected)) << word << " by " << count;
    }
  }
}

struct PackingCase {
  std::uint8_t b3, b2, b1, b0;
  Word32 word;
};

constexpr PackingCase kPackingCases[] = {
    {0x12, 0x34, 0x56, 0x78, W(0x12345678u)},
    {0x80, 0x00, 0x00, 0x00, W(0x80000000u)},  // sign bit from the top byte
    {0x7F, 0xFF, 0xFF, 0xFF, 2147483647},
    {0xFF, 0xFF, 0xFF, 0xFF, -1},
    {0xFF, 0x00, 0xFF, 0x01, W(0xFF00FF01u)},
    {0x00, 0x00, 0x00, 0x80, 0x80},  // 0x80 low stays positive
    {0x00, 0x00, 0x00, 0x00, 0},
};

TEST(WordFromBytes, PacksMostSignificantFirst) {
  for (const auto& c : kPackingCases) {
    EXPECT_EQ(WordFromBytes(c.b3, c.b2, c.b1, c.b0), c.word) << c.word;
  }
}

TEST(WordToBytes, SplitsMostSignificantFirst) {
  for (const auto& c : kPackingCases) {
    std::uint8_t b3 = 0xAA, b2 = 0xAA, b1 = 0xAA, b0 = 0xAA;
    WordToBytes(c.word, b3, b2, b1, b0);
    EXPECT_EQ(b3, c.b3) << c.word;
    EXPECT_EQ(b2, c.b2) << c.word;
    EXPECT_EQ(b1, c.b1) << c.word;
    EXPECT_EQ(b0, c.b0) << c.word;
  }
}

TEST(WordToBytes, UndoesWordFromBytesOnRandomWords) {
  RandomWords words;
  for (int i = 0; i < 10000; ++i) {
    const Word32 word = words.Next();
    std::uint8_t b3, b2, b1, b0;
    WordToBytes(word, b3, b2, b1, b0);
    ASSERT_EQ(WordFromBytes(b3, b2, b1, b0), word);
  }
}

}  // namespace
}  // namespace basMD5
