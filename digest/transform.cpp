#include "transform.h"

namespace basMD5 {
namespace {

// The standard's constants are written as unsigned hex; their Word32 is the
// same bit pattern.
constexpr Word32 W(std::uint32_t pattern) {
  return static_cast<Word32>(pattern);
}

}  // namespace

void TransformBlock(DigestState& state, std::span<const std::uint8_t> buffer,
                    std::int32_t offset) {
  Word32 a = state[0];
  Word32 b = state[1];
  Word32 c = state[2];
  Word32 d = state[3];

  // Message words are little-endian: the byte at the lowest index is the
  // least significant.
  std::array<Word32, 16> x{};
  const std::uint8_t* block = buffer.data() + offset;
  for (std::size_t j = 0; j < x.size(); ++j) {
    const std::uint8_t* p = block + 4 * j;
    x[j] = WordFromBytes(p[3], p[2], p[1], p[0]);
  }

  // Round 1
  a = StepF(a, b, c, d, x[0], 7, W(0xD76AA478u));
  d = StepF(d, a, b, c, x[1], 12, W(0xE8C7B756u));
  c = StepF(c, d, a, b, x[2], 17, W(0x242070DBu));
  b = StepF(b, c, d, a, x[3], 22, W(0xC1BDCEEEu));
  a = StepF(a, b, c, d, x[4], 7, W(0xF57C0FAFu));
  d = StepF(d, a, b, c, x[5], 12, W(0x4787C62Au));
  c = StepF(c, d, a, b, x[6], 17, W(0xA8304613u));
  b = StepF(b, c, d, a, x[7], 22, W(0xFD469501u));
  a = StepF(a, b, c, d, x[8], 7, W(0x698098D8u));
  d = StepF(d, a, b, c, x[9], 12, W(0x8B44F7AFu));
  c = StepF(c, d, a, b, x[10], 17, W(0xFFFF5BB1u));
  b = StepF(b, c, d, a, x[11], 22, W(0x895CD7BEu));
  a = StepF(a, b, c, d, x[12], 7, W(0x6B901122u));
  d = StepF(d, a, b, c, x[13], 12, W(0xFD987193u));
  c = StepF(c, d, a, b, x[14], 17, W(0xA679438Eu));
  b = StepF(b, c, d, a, x[15], 22, W(0x49B40821u));

  // Round 2
  a = StepG(a, b, c, d, x[1], 5, W(0xF61E2562u));
  d = StepG(d, a, b, c, x[6], 9, W(0xC040B340u));
  c = StepG(c, d, a, b, x[11], 14, W(0x265E5A51u));
  b = StepG(b, c, d, a, x[0], 20, W(0xE9B6C7AAu));
  a = StepG(a, b, c, d, x[5], 5, W(0xD62F105Du));
  d = StepG(d, a, b, c, x[10], 9, W(0x02441453u));
  c = StepG(c, d, a, b, x[15], 14, W(0xD8A1E681u));
  b = StepG(b, c, d, a, x[4], 20, W(0xE7D3FBC8u));
  a = StepG(a, b, c, d, x[9], 5, W(0x21E1CDE6u));
  d = StepG(d, a, b, c, x[14], 9, W(0xC33707D6u));
  c = StepG(c, d, a, b, x[3], 14, W(0xF4D50D87u));
  b = StepG(b, c, d, a, x[8], 20, W(0x455A14EDu));
  a = StepG(a, b, c, d, x[13], 5, W(0xA9E3E905u));
  d = StepG(d, a, b, c, x[2], 9, W(0xFCEFA3F8u));
  c = StepG(c, d, a, b, x[7], 14, W(0x676F02D9u));
  b = StepG(b, c, d, a, x[12], 20, W(0x8D2A4C8Au));

  // Round 3
  a = StepH(a, b, c, d, x[5], 4, W(0xFFFA3942u));
  d = StepH(d, a, b, c, x[8], 11, W(0x8771F681u));
  c = StepH(c, d, a, b, x[11], 16, W(0x6D9D6122u));
  b = StepH(b, c, d, a, x[14], 23, W(0xFDE5380Cu));
  a = StepH(a, b, c, d, x[1], 4, W(0xA4BEEA44u));
  d = StepH(d, a, b, c, x[4], 11, W(0x4BDECFA9u));
  c = StepH(c, d, a, b, x[7], 16, W(0xF6BB4B60u));
  b = StepH(b, c, d, a, x[10], 23, W(0xBEBFBC70u));
  a = StepH(a, b, c, d, x[13], 4, W(0x289B7EC6u));
  d = StepH(d, a, b, c, x[0], 11, W(0xEAA127FAu));
  c = StepH(c, d, a, b, x[3], 16, W(0xD4EF3085u));
  b = StepH(b, c, d, a, x[6], 23, W(0x04881D05u));
  a = StepH(a, b, c, d, x[9], 4, W(0xD9D4D039u));
  d = StepH(d, a, b, c, x[12], 11, W(0xE6DB99E5u));
  c = StepH(c, d, a, b, x[15], 16, W(0x1FA27CF8u));
  b = StepH(b, c, d, a, x[2], 23, W(0xC4AC5665u));

  // Round 4
  a = StepI(a, b, c, d, x[0], 6, W(0xF4292244u));
  d = StepI(d, a, b, c, x[7], 10, W(0x432AFF97u));
  c = StepI(c, d, a, b, x[14], 15, W(0xAB9423A7u));
  b = StepI(b, c, d, a, x[5], 21, W(0xFC93A039u));
  a = StepI(a, b, c, d, x[12], 6, W(0x655B59C3u));
  d = StepI(d, a, b, c, x[3], 10, W(0x8F0CCC92u));
  c = StepI(c, d, a, b, x[10], 15, W(0xFFEFF47Du));
  b = StepI(b, c, d, a, x[1], 21, W(0x85845DD1u));
  a = StepI(a, b, c, d, x[8], 6, W(0x6FA87E4Fu));
  d = StepI(d, a, b, c, x[15], 10, W(0xFE2CE6E0u));
  c = StepI(c, d, a, b, x[6], 15, W(0xA3014314u));
  b = StepI(b, c, d, a, x[13], 21, W(0x4E0811A1u));
  a = StepI(a, b, c, d, x[4], 6, W(0xF7537E82u));
  d = StepI(d, a, b, c, x[11], 10, W(0xBD3AF235u));
  c = StepI(c, d, a, b, x[2], 15, W(0x2AD7D2BBu));
  b = StepI(b, c, d, a, x[9], 21, W(0xEB86D391u));

  state[0] = WordAdd(state[0], a);
  state[1] = WordAdd(state[1], b);
  state[2] = WordAdd(state[2], c);
  state[3] = WordAdd(state[3], d);
}

}  // namespace basMD5
