#pragma once
// The control ID of each slot of the window's layout table, shared by the
// window and the tests that drive it.

#include <array>

#include "form_layout.h"
#include "resource.h"

namespace win32 {

inline constexpr std::array<int, ui::kControlCount> kControlIds = {
    IDC_TXT_TEXT, IDC_TXT_MD5, IDC_CMD_CLOSE_FIRST + ui::kCopyAndClose,
    IDC_CMD_CLOSE_FIRST + ui::kClose};

}  // namespace win32
