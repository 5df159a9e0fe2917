#include "basMD5.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "ansi_text.h"
#include "transform.h"
#include "utf8.h"

namespace basMD5 {

void RaiseWordOverflow() {
  throw NumberedError(kErrOverflow, "Overflow: value outside 0 to 2^32 - 1");
}

namespace {

constexpr int kBlockSize = 64;
constexpr int kLengthOffset = 56;  // where the bit count goes in the last block

void CheckByteCount(std::span<const std::uint8_t> bytes, std::int32_t count) {
  if (count >= kRefusedByteCount) {
    throw NumberedError(kErrOverflow,
                        "Overflow: text too long to digest (268,435,455 bytes "
                        "or more)");
  }
  if (count < 0 || static_cast<std::size_t>(count) > bytes.size()) {
    throw NumberedError(kErrInvalidArgument,
                        "Invalid argument: byte count outside the array");
  }
}

// Appends byte as two uppercase hex digits, keeping a leading zero.
void AppendHexByte(std::string& text, std::uint8_t byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  text += kDigits[byte >> 4];
  text += kDigits[byte & 0x0F];
}

std::string RenderDigest(const DigestState& state) {
  std::string text;
  text.reserve(32);
  std::array<std::uint8_t, 4> word_bytes{};
  for (Word32 word : state) {
    WordToBytes(word, word_bytes[3], word_bytes[2], word_bytes[1],
                word_bytes[0]);
    for (std::uint8_t byte : word_bytes) AppendHexByte(text, byte);
  }
  return text;
}

}  // namespace

std::string DigestBytesHex(std::span<const std::uint8_t> bytes,
                           std::int32_t count) {
  CheckByteCount(bytes, count);

  DigestState state{
      static_cast<Word32>(0x67452301u), static_cast<Word32>(0xEFCDAB89u),
      static_cast<Word32>(0x98BADCFEu), static_cast<Word32>(0x10325476u)};

  // Full blocks are read in place; only the tail is copied.
  const std::int32_t full_blocks = count / kBlockSize;
  for (std::int32_t i = 0; i < full_blocks; ++i) {
    TransformBlock(state, bytes, kBlockSize * i);
  }

  // Padding: a 1 bit, then 0 bits until 56 bytes mod 64, then the length in
  // bits, little-endian. A tail of 56 or more needs a second block.
  std::array<std::uint8_t, kBlockSize> block{};
  const std::int32_t tail = count % kBlockSize;
  const std::int32_t tail_start = kBlockSize * full_blocks;
  // 0 <= tail < 64 and 0 <= tail_start, so both index as sizes.
  const auto tail_size = static_cast<std::size_t>(tail);
  std::copy_n(bytes.begin() + tail_start, tail_size, block.begin());
  block[tail_size] = 0x80;
  if (tail >= kLengthOffset) {
    TransformBlock(state, block, 0);
    block.fill(0);
  }
  const std::int32_t bits = count * 8;  // < 2^31 for every accepted count
  block[kLengthOffset + 0] = static_cast<std::uint8_t>(bits % 256);
  block[kLengthOffset + 1] = static_cast<std::uint8_t>(bits / 256 % 256);
  block[kLengthOffset + 2] = static_cast<std::uint8_t>(bits / 65536 % 256);
  block[kLengthOffset + 3] = static_cast<std::uint8_t>(bits / 16777216 % 256);
  TransformBlock(state, block, 0);

  return RenderDigest(state);
}

namespace {

// Digest text of a converted text's bytes. A count that does not fit is
// refused like any other too-long message.
std::string DigestConverted(const std::vector<std::uint8_t>& bytes) {
  const std::int32_t count =
      bytes.size() < static_cast<std::size_t>(kRefusedByteCount)
          ? static_cast<std::int32_t>(bytes.size())
          : kRefusedByteCount;
  return DigestBytesHex(bytes, count);
}

}  // namespace

std::string DigestTextHex(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  if (!text.empty()) bytes = TextToAnsiBytes(text);
  return DigestConverted(bytes);
}

std::string DigestTextHex(std::u16string_view text,
                          AnsiConversion& conversion) {
  conversion = ConvertToAnsi(text);
  return DigestConverted(conversion.bytes);
}

bool Utf8MayDiffer(std::u16string_view text, const AnsiConversion& conversion) {
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char16_t unit) { return unit < 0x80; });
  return !ascii && !(conversion.charset == "UTF-8" && conversion.replaced == 0);
}

std::optional<std::string> Utf8DigestWhereDifferent(
    std::u16string_view text, const AnsiConversion& conversion) {
  if (!Utf8MayDiffer(text, conversion)) return std::nullopt;
  std::size_t lone_surrogates = 0;
  const std::vector<std::uint8_t> utf8 =
      TextToUtf8(text, U'\uFFFD', lone_surrogates);
  if (utf8 == conversion.bytes ||
      utf8.size() >= static_cast<std::size_t>(kRefusedByteCount)) {
    return std::nullopt;
  }
  return DigestConverted(utf8);
}

}  // namespace basMD5
