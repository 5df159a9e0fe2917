#pragma once
// The platform seam of the engine: UTF-16 text to the bytes of the system's
// ANSI code page. One implementation file per platform, chosen by the build.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace basMD5 {

// text's bytes in the system's ANSI code page, characters the code page
// cannot hold replaced as the platform does by default. Raises error 51 when
// the platform cannot convert at all, and error 6 for a text longer than the
// platform's conversion takes.
std::vector<std::uint8_t> TextToAnsiBytes(std::u16string_view text);

// What converting a text did, for telling people which bytes were hashed.
struct AnsiConversion {
  std::vector<std::uint8_t> bytes;  // as TextToAnsiBytes gives them
  // Characters that the set cannot hold and that were replaced; a surrogate
  // pair is one character, and so is a lone surrogate.
  std::size_t replaced = 0;
  // The set's usual name ("UTF-8", "ISO-8859-1", "Windows-1252"); empty
  // where the platform knows none.
  std::string charset;
  // Set where the system has an ANSI code page (Windows), whose conversion
  // puts a best-fit lookalike or "?" in place of a character it lacks;
  // unset where the locale's character set stands in for it (POSIX), whose
  // replacement is always "?".
  std::optional<std::uint32_t> ansi_code_page;
  // Set where charset is used in place of the locale's ASCII, which cannot
  // hold most text (POSIX: the C locale, or one that cannot be loaded).
  bool stands_in_for_ascii = false;
};

// text converted as TextToAnsiBytes converts it (the empty text included),
// with the report. Raises what TextToAnsiBytes raises. May cost more than
// TextToAnsiBytes alone where the count of replaced characters takes a pass
// of its own (Windows, when some were replaced).
AnsiConversion ConvertToAnsi(std::u16string_view text);

}  // namespace basMD5
