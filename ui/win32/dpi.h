#pragma once
// The DPI a window is shown at, and the system metrics at a DPI. Windows 10
// (1607) gave each monitor its own DPI and added the calls that take one;
// they are looked up at run time, so that the program still starts on
// earlier releases, where the one system-wide DPI stands in for them.

#include <windows.h>

namespace win32 {

// The DPI of the screen at start-up. Raises basMD5::NumberedError.
int SystemDpi();

// The DPI of the monitor that window is on. Raises basMD5::NumberedError.
int WindowDpi(HWND window);

// The system's message font at dpi. Raises basMD5::NumberedError.
LOGFONTW MessageFontAt(int dpi);

// The frame, with its borders and title bar at dpi, of a window without a
// menu that has the given style and client area. Raises
// basMD5::NumberedError.
RECT FrameAt(const RECT& client, DWORD style, DWORD ex_style, int dpi);

}  // namespace win32
