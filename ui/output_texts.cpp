#include "output_texts.h"

#include <cstddef>
#include <string>

#include "basMD5.h"
#include "fill_in.h"
#include "translation.h"

namespace ui {
namespace {

using basMD5::FillIn;

std::string CharacterSet(const basMD5::AnsiConversion& conversion) {
  if (conversion.ansi_code_page) {
    const std::string number = std::to_string(*conversion.ansi_code_page);
    if (conversion.charset.empty()) {
      // TRANSLATORS: {1} is the number of a Windows code page, such as 1252.
      return FillIn(Translated("code page {1}, the system's ANSI code page"),
                    {number});
    }
    const std::string pattern =
        // TRANSLATORS: {1} is a code page's number, {2} its name.
        Translated("code page {1} ({2}), the system's ANSI code page");
    return FillIn(pattern, {number, conversion.charset});
  }
  if (conversion.stands_in_for_ascii) {
    // TRANSLATORS: {1} is a character set's name, such as UTF-8.
    return FillIn(Translated("{1}, which stands in for the locale's ASCII"),
                  {conversion.charset});
  }
  if (conversion.charset.empty()) {
    return Translated("the character set of the locale");
  }
  // TRANSLATORS: {1} is a character set's name, such as ISO-8859-1.
  return FillIn(Translated("{1}, the character set of the locale"),
                {conversion.charset});
}

// Windows may put a lookalike ("a" for "a" with a macron) where POSIX puts
// "?".
std::string Replacement(const basMD5::AnsiConversion& conversion) {
  const std::size_t count = conversion.replaced;
  if (conversion.ansi_code_page) {
    return FillIn(
        TranslatedPlural("{1} character is not in this code page and was "
                         "replaced as the system's conversion does, by a "
                         "lookalike or \"?\".",
                         "{1} characters are not in this code page and were "
                         "replaced as the system's conversion does, by a "
                         "lookalike or \"?\".",
                         count),
        {std::to_string(count)});
  }
  return FillIn(TranslatedPlural("{1} character is not in this character set "
                                 "and was hashed as \"?\".",
                                 "{1} characters are not in this character "
                                 "set and were hashed as \"?\".",
                                 count),
                {std::to_string(count)});
}

// UTF-8 text, as written by this program and its translators, in UTF-16.
std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                                             : 4;
    char32_t code_point = lead;
    if (length > 1) code_point &= 0x7Fu >> length;  // the lead's payload
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      code_point =
          code_point << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    if (code_point >= 0x10000) {
      code_point -= 0x10000;
      text += static_cast<char16_t>(0xD800 + (code_point >> 10));
      text += static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
    } else {
      text += static_cast<char16_t>(code_point);
    }
    i += length;
  }
  return text;
}

std::string FailureLine(const basMD5::NumberedError& failure) {
  return FillIn(Translated(failure.text().c_str()), failure.details());
}

std::string ErrorLine(const basMD5::NumberedError& failure) {
  // TRANSLATORS: {1} is the error's number, {2} what failed.
  return FillIn(Translated("Error {1}: {2}"),
                {std::to_string(failure.number()), FailureLine(failure)});
}

// How many bytes of which set, what the set lacked, and what of the text
// cannot be seen.
std::string DigestLines(const basMD5::AnsiConversion& conversion,
                        const InvisibleCharacters& invisible) {
  const std::size_t bytes = conversion.bytes.size();
  std::string lines =
      FillIn(TranslatedPlural("MD5 of {1} byte: the text in {2}.",
                              "MD5 of {1} bytes: the text in {2}.", bytes),
             {std::to_string(bytes), CharacterSet(conversion)});
  if (conversion.replaced != 0) {
    lines += '\n';
    lines += Replacement(conversion);
  }
  if (const std::string unseen = invisible.Sentence(); !unseen.empty()) {
    lines += '\n';
    lines += unseen;
  }
  return lines;
}

}  // namespace

std::u16string AsciiToUtf16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::u16string FailureText(const basMD5::NumberedError& failure) {
  return Utf8ToUtf16(FailureLine(failure));
}

std::u16string ErrorText(const basMD5::NumberedError& failure) {
  return Utf8ToUtf16(ErrorLine(failure));
}

std::u16string ExplainDigest(const basMD5::AnsiConversion& conversion,
                             const InvisibleCharacters& invisible) {
  return Utf8ToUtf16(DigestLines(conversion, invisible));
}

std::u16string ExplainDigest(std::u16string_view text,
                             const basMD5::AnsiConversion& conversion) {
  InvisibleCharacters invisible(text);
  invisible.CountDetachedMarks(text);
  std::string explanation = DigestLines(conversion, invisible);
  if (const auto utf8_digest =
          basMD5::Utf8DigestWhereDifferent(text, conversion)) {
    explanation += '\n';
    // TRANSLATORS: {1} is a digest, 32 hexadecimal digits.
    explanation += FillIn(Translated("MD5 of the text in UTF-8, which "
                                     "most other tools and web pages "
                                     "compute: {1}"),
                          {*utf8_digest});
  }
  return Utf8ToUtf16(explanation);
}

std::u16string ExplainFailure(const basMD5::NumberedError& failure) {
  // TRANSLATORS: {1} is the error, as "Error 6: Overflow: ...".
  return Utf8ToUtf16(FillIn(Translated("No digest: the text could not be "
                                       "hashed ({1}).\nThe text entered is "
                                       "kept."),
                            {ErrorLine(failure)}));
}

}  // namespace ui
