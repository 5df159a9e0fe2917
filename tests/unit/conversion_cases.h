#pragma once
// A table of texts and the bytes that the platform's conversion must give.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ansi_text.h"

namespace basMD5 {

using Bytes = std::vector<std::uint8_t>;

struct Conversion {
  const char* what;
  std::u16string text;
  Bytes bytes;
};

inline void ExpectConversions(const std::vector<Conversion>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(TextToAnsiBytes(c.text), c.bytes) << c.what;
  }
}

}  // namespace basMD5
