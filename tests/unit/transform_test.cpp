#include "transform.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace basMD5 {
namespace {

constexpr DigestState kInitialState{
    static_cast<Word32>(0x67452301u), static_cast<Word32>(0xEFCDAB89u),
    static_cast<Word32>(0x98BADCFEu), static_cast<Word32>(0x10325476u)};

using Block = std::array<std::uint8_t, 64>;

// The one padded block of a message of at most 55 bytes: the message, 0x80,
// zeros, and the length in bits little-endian in bytes 56 to 59.
Block PaddedBlock(const std::vector<std::uint8_t>& message) {
  Block block{};
  std::copy(message.begin(), message.end(), block.begin());
  block[message.size()] = 0x80;
  const std::size_t bits = message.size() * 8;
  block[56] = static_cast<std::uint8_t>(bits);
  block[57] = static_cast<std::uint8_t>(bits >> 8);
  return block;
}

// The state read as a digest: each word's bytes from least significant up.
std::string DigestOf(const DigestState& state) {
  std::string text;
  for (Word32 word : state) {
    const auto pattern = static_cast<std::uint32_t>(word);
    for (int shift = 0; shift < 32; shift += 8) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", (pattern >> shift) & 0xFF);
      text += hex;
    }
  }
  return text;
}

DigestState AfterOneBlock(const Block& block) {
  DigestState state = kInitialState;
  TransformBlock(state, block, 0);
  return state;
}

TEST(TransformBlock, GivesTheKnownStatesFromTheInitialState) {
  Block zeros{};
  Block padding_only{};
  padding_only[0] = 0x80;
  const struct {
    const char* name;
    Block block;
    DigestState state;
  } cases[] = {
      {"0x80 then zeros",
       padding_only,
       {static_cast<Word32>(0xD98C1DD4u), static_cast<Word32>(0x04B2008Fu),
        static_cast<Word32>(0x980980E9u), static_cast<Word32>(0x7E42F8ECu)}},
      {"64 zero bytes",
       zeros,
       {static_cast<Word32>(0x031F1DACu), static_cast<Word32>(0x6EA58ED0u),
        static_cast<Word32>(0x1FAB67B7u), static_cast<Word32>(0x74317791u)}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AfterOneBlock(c.block), c.state) << c.name;
  }
}

// Padded one-block messages whose digests are known: they show that message
// words are read little-endian and that words with the sign bit set are
// processed like any other.
TEST(TransformBlock, ReadsMessageWordsLittleEndian) {
  std::vector<std::uint8_t> high_bytes;
  for (int b = 0x80; b < 0x80 + 55; ++b) {
    high_bytes.push_back(static_cast<std::uint8_t>(b));
  }
  const struct {
    const char* name;
    std::vector<std::uint8_t> message;
    const char* digest;
  } cases[] = {
      {"X[0] = 0x04030201", {1, 2, 3, 4}, "08D6C05A21512A79A1DFEB9D2A8F262F"},
      {"every X[j] negative", high_bytes, "8072C551A89657FC8494EF04313E354D"},
      {"abc", {'a', 'b', 'c'}, "900150983CD24FB0D6963F7D28E17F72"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DigestOf(AfterOneBlock(PaddedBlock(c.message))), c.digest)
        << c.name;
  }
}

TEST(TransformBlock, ReadsOnlyTheBlockAtTheOffset) {
  // Exactly 128 bytes on the heap, so that AddressSanitizer reports any read
  // past the end; the first 64 bytes would change the digest if read.
  std::vector<std::uint8_t> buffer(128, 0xFF);
  const Block abc = PaddedBlock({'a', 'b', 'c'});
  std::copy(abc.begin(), abc.end(), buffer.begin() + 64);
  const std::vector<std::uint8_t> before = buffer;

  DigestState state = kInitialState;
  TransformBlock(state, buffer, 64);

  EXPECT_EQ(DigestOf(state), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(buffer, before);
}

TEST(TransformBlock, ContinuesFromTheStateLeftByTheLastCall) {
  Block as;
  as.fill('a');
  Block length_only{};
  length_only[0] = 0x80;
  length_only[57] = 0x02;  // 512 bits

  DigestState state = kInitialState;
  TransformBlock(state, as, 0);
  const DigestState after_first = state;
  TransformBlock(state, length_only, 0);

  EXPECT_EQ(DigestOf(state), "014842D480B571495A4A0363793F7367");
  EXPECT_NE(state, after_first);
  EXPECT_NE(state, AfterOneBlock(length_only));
}

}  // namespace
}  // namespace basMD5
