#pragma once
// The window core's two clipboard operations on the Win32 clipboard. Each
// opens the clipboard for owner and closes it again; a clipboard that another
// program holds open fails with basMD5::kErrClipboardBusy, any other failure
// with a negative number.

#include <windows.h>

#include <string_view>

namespace win32 {

// Empties the clipboard of all its content.
void EmptyClipboardFor(HWND owner);

// Replaces the clipboard's content with text as CF_UNICODETEXT; Windows
// offers it as CF_TEXT too.
void SetClipboardTextFor(HWND owner, std::u16string_view text);

}  // namespace win32
