#pragma once
// The platform seam of Unicode normalization: the explanation names the
// combining marks that a precomposed letter could stand in for, and the
// platform already knows Unicode's composition tables (Qt on Linux, Windows'
// kernel32), so the program carries no copy of them. One implementation file
// per platform in platform/, chosen by the build.

#include <string>
#include <string_view>

namespace ui {

// text in Unicode normalization form C (canonical composition), as the
// platform computes it; text as it is where the platform cannot normalize
// it. Linear in text's length, and costly enough to keep off keystrokes.
std::u16string ComposedForm(std::u16string_view text);

}  // namespace ui
