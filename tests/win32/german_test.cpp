// The window in a German session: Wine takes the user's UI language from
// LANG, as CTest sets it for this program (de_DE.UTF-8, which also gives
// the ANSI code page 1252).

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
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

// Puts text on the clipboard, as another program's copy would.
void CopyToClipboard(HWND owner, const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
}

// A pasted text with a no-break space and a second line: the single-line
// box keeps the first line only, and the explanation names what the eye
// takes for a space.
TEST(GermanSessionTest, TheOutputBoxsTooltipIsGerman) {
  win32::MainWindow window;
  window.Create(GetModuleHandleW(nullptr));
  const HWND txtMD5 = GetDlgItem(window.Window(), IDC_TXT_MD5);
  CopyToClipboard(window.Window(), L"Tee,\u00A0Чай\r\nzweite Zeile");
  SendMessageW(GetDlgItem(window.Window(), IDC_TXT_TEXT), WM_PASTE, 0, 0);
  HandleMessagesFor(ui::kFullExplanationPauseMs + 500);  // the UTF-8 digest

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
            L"durch ein ähnliches Zeichen oder „?“.\nZeichen, die Sie "
            L"womöglich nicht sehen, alle mitgehasht: 1 geschütztes "
            L"Leerzeichen (U+00A0).\nMD5 des Textes in UTF-8, den die "
            L"meisten anderen Programme und Webseiten berechnen: "
            L"39EB9956D41AC3D84818DC1BF892710D");
}

}  // namespace
