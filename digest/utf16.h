#pragma once
// UTF-16 code units as the conversions meet them: a character is one unit,
// or a high and a low surrogate in that order; any other surrogate stands
// alone and is a character no character set holds.

#include <cstddef>
#include <string_view>

namespace basMD5 {

constexpr bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The units of the character at the start of text: 2 for a surrogate pair,
// else 1. text is not empty.
constexpr std::size_t FirstCharacterUnits(std::u16string_view text) {
  return text.size() >= 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1])
             ? 2
             : 1;
}

}  // namespace basMD5
