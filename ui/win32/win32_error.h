#pragma once
// Win32 failures as the numbered errors that the window core handles.

#include <windows.h>

#include <string>

namespace win32 {

// Raises basMD5::NumberedError for the failed call `what`, numbered with
// GetLastError() as an HRESULT: negative, as a retry would not mend it.
[[noreturn]] void ThrowLastError(const std::string& what);

// Raises for `what` unless succeeded; for the many calls that return BOOL.
inline void Check(BOOL succeeded, const char* what) {
  if (!succeeded) ThrowLastError(what);
}

}  // namespace win32
