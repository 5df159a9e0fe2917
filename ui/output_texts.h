#pragma once
// What the output box shows in place of a digest, and what it tells about
// its text as its tooltip and accessible description: which bytes the
// digest was taken over, or why no digest is shown. The same words on every
// platform, asked of the translation seam in the user's language.

#include <string>
#include <string_view>

#include "ansi_text.h"
#include "invisible_characters.h"
#include "numbered_error.h"

namespace ui {

// ascii, whose characters are all below 128, in UTF-16.
std::u16string AsciiToUtf16(std::string_view ascii);

// What failed, in the user's language: "Overflow: ...".
std::u16string FailureText(const basMD5::NumberedError& failure);

// failure as the output box shows it, in the user's language: "Error 6:
// Overflow: ...".
std::u16string ErrorText(const basMD5::NumberedError& failure);

// The bytes of conversion, the digest's input: how many, in which character
// set and why that one, and how many characters the set lacked; then the
// characters you may not see that invisible found in the text. In the
// user's language.
std::u16string ExplainDigest(const basMD5::AnsiConversion& conversion,
                             const InvisibleCharacters& invisible = {});

// The same for text, converted to conversion, with every invisible character
// it holds (its detached combining marks too), and a line that gives the
// digest of text's UTF-8 bytes where those differ from conversion's. Costs
// up to two digests of text and a normalization more.
std::u16string ExplainDigest(std::u16string_view text,
                             const basMD5::AnsiConversion& conversion);

// What happened when the output box shows failure in place of a digest, in
// the user's language.
std::u16string ExplainFailure(const basMD5::NumberedError& failure);

}  // namespace ui
