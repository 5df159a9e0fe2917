// The window in a German session: Wine takes the user's UI language from
// LANG, as CTest sets it for this program (de_DE.UTF-8, which also gives
// the ANSI code page 1252).

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "frmQuorlex.h"
#include "main_window.h"
#include "resource.h"
#include "thread_windows.h"

namespace {

// Handles this thread's messages for milliseconds.
void HandleMessagesFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

TEST(GermanSessionTest, TheOutputBoxsTooltipIsGerman) {
  win32::MainWindow window;
  window.Create(GetModuleHandleW(nullptr));
  const HWND txtMD5 = GetDlgItem(window.Window(), IDC_TXT_MD5);
  SetWindowTextW(GetDlgItem(window.Window(), IDC_TXT_TEXT), L"Tee, Чай");
  HandleMessagesFor(ui::kUtf8DigestPauseMs + 500);  // for the UTF-8 digest

  const HWND tooltip = driver::TooltipOf(window.Window());
  ASSERT_NE(tooltip, nullptr);
  wchar_t text[1024] = {};
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = window.Window();
  info.uId = reinterpret_cast<UINT_PTR>(txtMD5);
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::wstring(text),
            L"MD5 von 8 Bytes: der Text in Codepage 1252 (Windows-1252), der "
            L"ANSI-Codepage des Systems.\n3 Zeichen sind nicht in dieser "
            L"Codepage und wurden wie bei der Umwandlung des Systems ersetzt, "
            L"durch ein ähnliches Zeichen oder „?“.\nMD5 des Textes in UTF-8, "
            L"den die meisten anderen Programme und Webseiten berechnen: "
            L"5E48B4BE3875D048203163AE2772E990");
}

}  // namespace
