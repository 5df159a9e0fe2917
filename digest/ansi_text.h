#pragma once
// The platform seam of the engine: UTF-16 text to the bytes of the system's
// ANSI code page. One implementation file per platform, chosen by the build.

#include <cstdint>
#include <string_view>
#include <vector>

namespace basMD5 {

// text's bytes in the system's ANSI code page, characters the code page
// cannot hold replaced as the platform does by default. Raises error 51 when
// the platform cannot convert at all, and error 6 for a text longer than the
// platform's conversion takes.
std::vector<std::uint8_t> TextToAnsiBytes(std::u16string_view text);

}  // namespace basMD5
