#pragma once
// Finding the windows that a window made on the test's own thread owns.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>

namespace driver {

// The tooltip control of owner, made on this thread.
inline HWND TooltipOf(HWND owner) {
  struct Search {
    HWND owner;
    HWND found = nullptr;
  } search{owner};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& wanted = *reinterpret_cast<Search*>(parameter);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) == TOOLTIPS_CLASSW &&
            GetWindow(window, GW_OWNER) == wanted.owner) {
          wanted.found = window;
        }
        return wanted.found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace driver
