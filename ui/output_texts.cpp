#include "output_texts.h"

#include <cstddef>
#include <string>

namespace ui {
namespace {

// "1 byte", "2 bytes".
std::string Count(std::size_t count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::string CharacterSet(const basMD5::AnsiConversion& conversion) {
  if (conversion.ansi_code_page) {
    std::string set = "code page " + std::to_string(*conversion.ansi_code_page);
    if (!conversion.charset.empty()) set += " (" + conversion.charset + ")";
    return set + ", the system's ANSI code page";
  }
  if (conversion.stands_in_for_ascii) {
    return conversion.charset + ", which stands in for the locale's ASCII";
  }
  return conversion.charset.empty()
             ? "the character set of the locale"
             : conversion.charset + ", the character set of the locale";
}

// Windows may put a lookalike ("a" for "a" with a macron) where POSIX puts
// "?".
std::string Replacement(const basMD5::AnsiConversion& conversion) {
  const bool one = conversion.replaced == 1;
  std::string text = Count(conversion.replaced, "character", "characters") +
                     (one ? " is" : " are");
  if (conversion.ansi_code_page) {
    return text + " not in this code page and " + (one ? "was" : "were") +
           " replaced as the system's conversion does, by a lookalike or "
           "\"?\".";
  }
  return text + " not in this character set and " + (one ? "was" : "were") +
         " hashed as \"?\".";
}

}  // namespace

std::u16string AsciiToUtf16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::u16string ErrorText(const basMD5::NumberedError& failure) {
  return AsciiToUtf16("Error " + std::to_string(failure.number()) + ": " +
                      failure.what());
}

std::u16string ExplainDigest(const basMD5::AnsiConversion& conversion) {
  std::string text = "MD5 of " +
                     Count(conversion.bytes.size(), "byte", "bytes") +
                     ": the text in " + CharacterSet(conversion) + ".";
  if (conversion.replaced != 0) text += "\n" + Replacement(conversion);
  return AsciiToUtf16(text);
}

std::u16string ExplainFailure(const basMD5::NumberedError& failure) {
  return u"No digest: the text could not be hashed (" + ErrorText(failure) +
         u").\nThe text entered is kept.";
}

}  // namespace ui
