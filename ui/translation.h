#pragma once
// The program's own sentences in the user's language: the platform seam of
// the window core's words. The English text written in the code is the key
// of its translations (xgettext extracts it into po/text-to-md5.pot) and is
// what a missing catalogue or an unknown language gives. One implementation
// file per platform in platform/, chosen by the build: gettext's catalogues
// on Linux, string tables made from the same po/ files on Windows.

#include <cstddef>
#include <string>

namespace ui {

// english in the user's language, as UTF-8.
std::string Translated(const char* english);

// The form for count of a sentence about a number ("1 byte", "3 bytes"), in
// the user's language, as UTF-8. singular and plural are the English forms.
std::string TranslatedPlural(const char* singular, const char* plural,
                             std::size_t count);

// Whether the user's language, as its translation says, is written right to
// left: the window is then mirrored, as each platform mirrors its windows
// for such a language. A language without a translation keeps English's
// left to right.
inline bool RightToLeft() {
  // TRANSLATORS: "RTL" in a language written right to left (the window is
  // then mirrored), else "LTR", as it is.
  return Translated("LTR") == "RTL";
}

}  // namespace ui
