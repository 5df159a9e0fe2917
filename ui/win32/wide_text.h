#pragma once
// The portable core's UTF-16 texts as the wide strings of the W APIs, which
// are UTF-16 too.

namespace win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

inline const wchar_t* Wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace win32
