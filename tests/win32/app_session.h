#pragma once
// Drives text-to-md5.exe from another process through the Win32 API alone:
// starting it, finding its window and controls, giving input as a user
// would (SendInput) and looking at the clipboard.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "resource.h"

namespace driver {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The program under test, as a Windows path.
std::wstring AppPath();

// Polls condition until it holds or timeout has passed; whether it held.
bool WaitUntil(const std::function<bool()>& condition,
               Clock::duration timeout = 10s);

// One run of the program: started by Start(), which waits until its window
// is shown; ended by the destructor if it is still running.
class AppSession {
 public:
  AppSession() = default;
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;
  ~AppSession();

  // Starts the program; an empty text on success, else what went wrong.
  std::wstring Start();

  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  HWND txtText() const { return control(IDC_TXT_TEXT); }
  HWND txtMD5() const { return control(IDC_TXT_MD5); }
  HWND cmdClose(int index) const {
    return control(IDC_CMD_CLOSE_FIRST + index);
  }
  DWORD thread_id() const { return process_.dwThreadId; }

  bool Running() const;
  bool WaitForExit(Clock::duration timeout = 10s) const;

  // The control that has the keyboard focus in the program's GUI thread.
  HWND Focus() const;

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// A window's whole text (WM_GETTEXT, across processes).
std::wstring TextOf(HWND window);

// Waits until window's text is expected; whether it became so.
bool WaitForText(HWND window, std::wstring_view expected,
                 Clock::duration timeout = 10s);

// Keyboard and mouse input through SendInput, as from the user.
void PressKey(WORD virtual_key, bool with_shift = false);
void TypeText(std::wstring_view text);
void ClickOn(HWND control);

// The clipboard's text in both plain-text formats, if it has any.
std::optional<std::wstring> ClipboardUnicodeText();
std::optional<std::string> ClipboardAnsiText();

// Replaces the clipboard's content with text (as CF_UNICODETEXT); whether
// it could.
bool PutOnClipboard(std::wstring_view text);

// Keeps the clipboard open, as another program may, until destroyed.
class HeldClipboard {
 public:
  HeldClipboard();
  HeldClipboard(const HeldClipboard&) = delete;
  HeldClipboard& operator=(const HeldClipboard&) = delete;
  ~HeldClipboard();
  bool held() const { return held_; }

 private:
  bool held_ = false;
};

}  // namespace driver
