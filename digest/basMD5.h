#pragma once
// The digest engine: the MD5 digest (RFC 1321) of a text or a byte sequence,
// rendered as 32 uppercase hexadecimal characters. Keeps nothing between
// calls; failures are raised as NumberedError.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ansi_text.h"
#include "numbered_error.h"

namespace basMD5 {

// Byte counts from this one up are refused with error 6.
inline constexpr std::int32_t kRefusedByteCount = 0x0FFFFFFF;

// Digest text of the first count bytes of bytes. Raises error 6 for a count
// of kRefusedByteCount or more before any work, and error 5 for a negative
// count or one larger than bytes.
std::string DigestBytesHex(std::span<const std::uint8_t> bytes,
                           std::int32_t count);

// Digest text of text's bytes in the system's ANSI code page (on POSIX, the
// locale's character set; UTF-8 in the C locale). Raises what the conversion
// or DigestBytesHex raises.
std::string DigestTextHex(std::u16string_view text);

// The same digest text, with what converting text did in conversion: one
// conversion serves both, for a caller that tells which bytes were hashed.
std::string DigestTextHex(std::u16string_view text, AnsiConversion& conversion);

// Whether text's UTF-8 bytes may differ from conversion's, the bytes that
// DigestTextHex took: not where text is ASCII, which every character set
// here writes as ASCII, nor where conversion is UTF-8 that replaced nothing.
// Costs a scan of text.
bool Utf8MayDiffer(std::u16string_view text, const AnsiConversion& conversion);

// Digest text of text's UTF-8 bytes, which most other tools hash, where they
// differ from conversion's; none where they are the same, or too many to
// digest. A lone surrogate is U+FFFD in them, as web pages' encoders write
// it.
std::optional<std::string> Utf8DigestWhereDifferent(
    std::u16string_view text, const AnsiConversion& conversion);

}  // namespace basMD5
