#include "app_session.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <thread>
#include <vector>

namespace driver {
namespace {

constexpr wchar_t kWindowClass[] = L"frmQuorlex";

// The program's shown top-level window, if it has one.
HWND FindAppWindow(DWORD process_id) {
  for (HWND window = FindWindowExW(nullptr, nullptr, kWindowClass, nullptr);
       window; window = FindWindowExW(nullptr, window, kWindowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process_id && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

INPUT KeyInput(WORD virtual_key, WORD scan_code, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = scan_code;
  input.ki.dwFlags = flags;
  return input;
}

INPUT VirtualKey(WORD virtual_key, bool up) {
  return KeyInput(
      virtual_key,
      static_cast<WORD>(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC)),
      up ? KEYEVENTF_KEYUP : 0);
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The clipboard, open for reading or writing while this lives. Another
// program may hold it for a moment, so opening is retried for a while.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner = nullptr)
      : open_(
            WaitUntil([owner] { return OpenClipboard(owner) != FALSE; }, 5s)) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_;
};

// The clipboard's data in format, as characters up to the first NUL.
template <typename Char>
std::optional<std::basic_string<Char>> ClipboardText(UINT format) {
  OpenedClipboard clipboard;
  if (!clipboard.open()) return std::nullopt;
  HANDLE data = GetClipboardData(format);
  if (!data) return std::nullopt;
  const auto* text = static_cast<const Char*>(GlobalLock(data));
  if (!text) return std::nullopt;
  const std::size_t capacity = GlobalSize(data) / sizeof(Char);
  std::basic_string<Char> copy(text, text + capacity);
  GlobalUnlock(data);
  copy.resize(copy.find(Char{}) == std::basic_string<Char>::npos
                  ? copy.size()
                  : copy.find(Char{}));
  return copy;
}

}  // namespace

std::wstring AppPath() {
  // The build passes the program's Unix path, which TTM_APP_EXE in the
  // environment may replace (to measure another build); Wine's drive Z: is
  // the root.
  const char* other = std::getenv("TTM_APP_EXE");
  std::wstring path = L"Z:";
  if (other != nullptr && *other != '\0') {
    path.append(other, other + std::strlen(other));
  } else {
    path += L"" TTM_APP_EXE;
  }
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

bool WaitUntil(const std::function<bool()>& condition,
               Clock::duration timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
}

AppSession::~AppSession() {
  if (!process_.hProcess) return;
  if (Running()) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (!WaitForExit(5s)) TerminateProcess(process_.hProcess, 1);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

std::wstring AppSession::Start() {
  std::wstring command = L"\"" + AppPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process_)) {
    return L"cannot start " + command + L" (Windows error " +
           std::to_wstring(GetLastError()) + L")";
  }
  WaitForInputIdle(process_.hProcess, 10000);
  if (!WaitUntil([this] {
        window_ = FindAppWindow(process_.dwProcessId);
        return window_ != nullptr;
      })) {
    return L"the program showed no window";
  }
  return L"";
}

bool AppSession::Running() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool AppSession::WaitForExit(Clock::duration timeout) const {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(timeout).count();
  return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(ms)) ==
         WAIT_OBJECT_0;
}

HWND AppSession::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus
                                                      : nullptr;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                           5000, &length)) {
    return L"<no answer to WM_GETTEXTLENGTH>";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                           reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 5000, &copied)) {
    return L"<no answer to WM_GETTEXT>";
  }
  text.resize(copied);
  return text;
}

bool WaitForText(HWND window, std::wstring_view expected,
                 Clock::duration timeout) {
  return WaitUntil([&] { return TextOf(window) == expected; }, timeout);
}

void PressKey(WORD virtual_key, bool with_shift) {
  std::vector<INPUT> inputs;
  if (with_shift) inputs.push_back(VirtualKey(VK_SHIFT, false));
  inputs.push_back(VirtualKey(virtual_key, false));
  inputs.push_back(VirtualKey(virtual_key, true));
  if (with_shift) inputs.push_back(VirtualKey(VK_SHIFT, true));
  Send(std::move(inputs));
}

void TypeText(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE));
    inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Send(std::move(inputs));
}

void ClickOn(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  // Absolute mouse coordinates run from 0 to 65535 across the screen.
  const int x = MulDiv((rect.left + rect.right) / 2, 65535,
                       GetSystemMetrics(SM_CXSCREEN) - 1);
  const int y = MulDiv((rect.top + rect.bottom) / 2, 65535,
                       GetSystemMetrics(SM_CYSCREEN) - 1);
  std::vector<INPUT> inputs(3);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  Send(std::move(inputs));
}

std::optional<std::wstring> ClipboardUnicodeText() {
  return ClipboardText<wchar_t>(CF_UNICODETEXT);
}

std::optional<std::string> ClipboardAnsiText() {
  return ClipboardText<char>(CF_TEXT);
}

bool PutOnClipboard(std::wstring_view text) {
  // SetClipboardData needs an owner window; it may go once the data is set.
  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                               nullptr, nullptr, nullptr);
  if (!owner) return false;
  bool done = false;
  {
    OpenedClipboard clipboard(owner);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * 2);
    auto* data = copy ? static_cast<wchar_t*>(GlobalLock(copy)) : nullptr;
    if (clipboard.open() && data) {
      std::wmemcpy(data, text.data(), text.size());
      data[text.size()] = L'\0';
      GlobalUnlock(copy);
      done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, copy);
    }
    if (copy && !done) GlobalFree(copy);
  }
  DestroyWindow(owner);
  return done;
}

HeldClipboard::HeldClipboard()
    : held_(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5s)) {}

HeldClipboard::~HeldClipboard() {
  if (held_) CloseClipboard();
}

}  // namespace driver
