// Windows: the system's ANSI code page through the platform's own
// conversion, with its default replacement (best-fit mapping included).

#include <windows.h>

#include <climits>

#include "ansi_text.h"
#include "numbered_error.h"

namespace basMD5 {

std::vector<std::uint8_t> TextToAnsiBytes(std::u16string_view text) {
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    throw NumberedError(kErrOverflow, "Overflow: text too long to convert");
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int units = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(size > 0 ? size : 0));
  const int written =
      size > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, units,
                                     reinterpret_cast<char*>(out.data()), size,
                                     nullptr, nullptr)
               : 0;
  if (written <= 0) {
    throw NumberedError(kErrConversion,
                        "Cannot convert text to the ANSI code page (error " +
                            std::to_string(GetLastError()) + ")");
  }
  out.resize(static_cast<std::size_t>(written));
  return out;
}

}  // namespace basMD5
