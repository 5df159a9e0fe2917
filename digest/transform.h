#pragma once
// The MD5 compression function (RFC 1321, section 3.4) on Word32 arithmetic.

#include <array>
#include <cstdint>
#include <span>

#include "word32.h"

namespace basMD5 {

// The chaining words A, B, C, D at indices 0 to 3. Owned by the caller, one
// per digest; TransformBlock updates it in place.
using DigestState = std::array<Word32, 4>;

// Folds the 64 bytes buffer[offset .. offset + 63] into state. Checks no
// index: the caller guarantees that the block lies inside buffer. Never
// writes to buffer.
void TransformBlock(DigestState& state, std::span<const std::uint8_t> buffer,
                    std::int32_t offset);

// b + ((a + f + x + t) rotated left by s), every addition modulo 2^32.
// Forced inline, like the round steps, so that s and t are constants in each
// step: the rotation becomes one instruction and u(t) is computed at compile
// time.
[[gnu::always_inline]] inline Word32 DigestStep(Word32 f, Word32 a, Word32 b,
                                                Word32 x, std::int16_t s,
                                                Word32 t) {
  Word32 v = WordAdd(a, f);
  v = WordAdd(v, x);
  v = WordAdd(v, t);
  v = WordRotl(v, s);
  return WordAdd(v, b);
}

// The four round steps: RFC 1321's F, G, H and I of (b, c, d) passed to
// DigestStep. Each returns the new value of a.
[[gnu::always_inline]] inline Word32 StepF(Word32 a, Word32 b, Word32 c,
                                           Word32 d, Word32 x, std::int16_t s,
                                           Word32 t) {
  return DigestStep((b & c) | (~b & d), a, b, x, s, t);
}

[[gnu::always_inline]] inline Word32 StepG(Word32 a, Word32 b, Word32 c,
                                           Word32 d, Word32 x, std::int16_t s,
                                           Word32 t) {
  return DigestStep((b & d) | (c & ~d), a, b, x, s, t);
}

[[gnu::always_inline]] inline Word32 StepH(Word32 a, Word32 b, Word32 c,
                                           Word32 d, Word32 x, std::int16_t s,
                                           Word32 t) {
  return DigestStep(b ^ c ^ d, a, b, x, s, t);
}

[[gnu::always_inline]] inline Word32 StepI(Word32 a, Word32 b, Word32 c,
                                           Word32 d, Word32 x, std::int16_t s,
                                           Word32 t) {
  return DigestStep(c ^ (b | ~d), a, b, x, s, t);
}

}  // namespace basMD5
