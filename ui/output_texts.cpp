#include "output_texts.h"

#include <cstddef>
#include <initializer_list>
#include <string>

namespace ui {
namespace {

// The parts one after another, copied once into a string of the right size.
// (Chains of operator+ made g++ 12 warn, wrongly, of overlapping copies.)
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (const auto part : parts) size += part.size();
  std::string text;
  text.reserve(size);
  for (const auto part : parts) text += part;
  return text;
}

// "1 byte", "2 bytes".
std::string Count(std::size_t count, const char* singular, const char* plural) {
  return Joined({std::to_string(count), " ", count == 1 ? singular : plural});
}

std::string CharacterSet(const basMD5::AnsiConversion& conversion) {
  if (conversion.ansi_code_page) {
    const std::string number = std::to_string(*conversion.ansi_code_page);
    return conversion.charset.empty()
               ? Joined({"code page ", number, ", the system's ANSI code page"})
               : Joined({"code page ", number, " (", conversion.charset,
                         "), the system's ANSI code page"});
  }
  if (conversion.stands_in_for_ascii) {
    return Joined(
        {conversion.charset, ", which stands in for the locale's ASCII"});
  }
  return conversion.charset.empty()
             ? "the character set of the locale"
             : Joined(
                   {conversion.charset, ", the character set of the locale"});
}

// Windows may put a lookalike ("a" for "a" with a macron) where POSIX puts
// "?".
std::string Replacement(const basMD5::AnsiConversion& conversion) {
  const bool one = conversion.replaced == 1;
  const std::string count =
      Count(conversion.replaced, "character", "characters");
  if (conversion.ansi_code_page) {
    return Joined({count, one ? " is" : " are", " not in this code page and ",
                   one ? "was" : "were",
                   " replaced as the system's conversion does, by a lookalike "
                   "or \"?\"."});
  }
  return Joined({count, one ? " is" : " are", " not in this character set and ",
                 one ? "was" : "were", " hashed as \"?\"."});
}

}  // namespace

std::u16string AsciiToUtf16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::u16string ErrorText(const basMD5::NumberedError& failure) {
  return AsciiToUtf16(Joined(
      {"Error ", std::to_string(failure.number()), ": ", failure.what()}));
}

std::u16string ExplainDigest(const basMD5::AnsiConversion& conversion) {
  const std::string digested =
      Joined({"MD5 of ", Count(conversion.bytes.size(), "byte", "bytes"),
              ": the text in ", CharacterSet(conversion), "."});
  if (conversion.replaced == 0) return AsciiToUtf16(digested);
  return AsciiToUtf16(Joined({digested, "\n", Replacement(conversion)}));
}

std::u16string ExplainFailure(const basMD5::NumberedError& failure) {
  return u"No digest: the text could not be hashed (" + ErrorText(failure) +
         u").\nThe text entered is kept.";
}

}  // namespace ui
