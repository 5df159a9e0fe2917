#pragma once
// The names under which the X11 and the Wayland clipboard servers offer the
// copied text, so that a program on either finds the name it asks for. X11
// answers ICCCM's STRING in ISO 8859-1 and its TEXT as UTF8_STRING; Wayland
// ties no encoding to a name and, like wl-copy, sends UTF-8 under each.

#include <array>

namespace clipboard {

inline constexpr std::array<const char*, 5> kTextTypes = {
    "UTF8_STRING", "TEXT", "text/plain;charset=utf-8", "text/plain", "STRING"};

}  // namespace clipboard
