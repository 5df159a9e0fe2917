#pragma once
// UTF-16 text to UTF-8 bytes, written directly: the commonest conversion,
// which needs no converter.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace basMD5 {

// text in UTF-8, each lone surrogate (which UTF-8 cannot carry) written as
// lone_surrogate and counted in replaced.
std::vector<std::uint8_t> TextToUtf8(std::u16string_view text,
                                     char32_t lone_surrogate,
                                     std::size_t& replaced);

}  // namespace basMD5
