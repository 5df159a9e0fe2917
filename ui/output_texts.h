#pragma once
// What the output box shows in place of a digest, and what it tells about
// its text as its tooltip and accessible description: which bytes the
// digest was taken over, or why no digest is shown. The same words on every
// platform.

#include <string>
#include <string_view>

#include "ansi_text.h"
#include "numbered_error.h"

namespace ui {

// ascii, whose characters are all below 128, in UTF-16.
std::u16string AsciiToUtf16(std::string_view ascii);

// failure as the output box shows it: "Error 6: Overflow: ...".
std::u16string ErrorText(const basMD5::NumberedError& failure);

// The bytes of conversion, the digest's input: how many, in which character
// set and why that one, and how many characters the set lacked.
std::u16string ExplainDigest(const basMD5::AnsiConversion& conversion);

// What happened when the output box shows failure in place of a digest.
std::u16string ExplainFailure(const basMD5::NumberedError& failure);

}  // namespace ui
