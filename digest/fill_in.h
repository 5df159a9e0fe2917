#pragma once
// Texts with numbered gaps: "{1}", "{2}" and so on up to "{9}" stand for
// values given apart, so that a translation may put them in another order.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace basMD5 {

// text with each gap replaced by its value; a gap without a value stays.
inline std::string FillIn(std::string_view text,
                          const std::vector<std::string>& values) {
  std::string filled;
  filled.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' &&
        text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < values.size()) {
        filled += values[index];
        i += 2;
        continue;
      }
    }
    filled += text[i];
  }
  return filled;
}

}  // namespace basMD5
