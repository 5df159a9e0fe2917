#include "utf8.h"

#include "utf16.h"

namespace basMD5 {
namespace {

void AppendUtf8(std::vector<std::uint8_t>& out, char32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<std::uint8_t>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<std::uint8_t>(0xC0 | code_point >> 6));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<std::uint8_t>(0xE0 | code_point >> 12));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point >> 6 & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<std::uint8_t>(0xF0 | code_point >> 18));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point >> 12 & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point >> 6 & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  }
}

}  // namespace

std::vector<std::uint8_t> TextToUtf8(std::u16string_view text,
                                     char32_t lone_surrogate,
                                     std::size_t& replaced) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() &&
        IsLowSurrogate(text[i + 1])) {
      const char32_t high = unit - 0xD800u;
      const char32_t low = text[++i] - 0xDC00u;
      AppendUtf8(out, 0x10000 + (high << 10 | low));
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, lone_surrogate);
      ++replaced;
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace basMD5
