#include "win32_error.h"

#include "numbered_error.h"

namespace win32 {

void ThrowLastError(const std::string& what) {
  const DWORD code = GetLastError();
  // A call that failed without saying why still fails: never number it 0.
  const HRESULT result =
      code != ERROR_SUCCESS ? HRESULT_FROM_WIN32(code) : E_FAIL;
  throw basMD5::NumberedError(static_cast<int>(result),
                              "{1} failed (Windows error {2})",
                              {what, std::to_string(code)});
}

}  // namespace win32
