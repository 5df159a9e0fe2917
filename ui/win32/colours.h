#pragma once
// Text colours that stay readable on the background a control is given.

#include <windows.h>

namespace win32 {

// preferred where it reads on background (a contrast ratio of at least
// 4.5:1, the usual threshold for body text), otherwise black or white,
// whichever contrasts more with background.
COLORREF ReadableTextColour(COLORREF background, COLORREF preferred);

}  // namespace win32
