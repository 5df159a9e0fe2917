#include "clipboard.h"

#include <cstring>
#include <memory>

#include "form_host.h"
#include "numbered_error.h"
#include "win32_error.h"

namespace win32 {
namespace {

// The clipboard, open for one operation. Close() reports a failed close;
// the destructor closes only on a way out that already reports a failure.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    if (!OpenClipboard(owner)) {
      throw basMD5::NumberedError(basMD5::kErrClipboardBusy,
                                  "Can't open Clipboard");
    }
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }

  void Empty() { Check(EmptyClipboard(), "EmptyClipboard"); }

  void Close() {
    open_ = false;
    Check(CloseClipboard(), "CloseClipboard");
  }

 private:
  bool open_ = true;
};

struct GlobalFreeDeleter {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using GlobalMemory = std::unique_ptr<void, GlobalFreeDeleter>;

// text with a terminating NUL in movable global memory, the form that
// SetClipboardData takes.
GlobalMemory GlobalCopyOf(std::u16string_view text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) ThrowLastError("GlobalAlloc");
  auto* data = static_cast<char16_t*>(GlobalLock(memory.get()));
  if (!data) ThrowLastError("GlobalLock");
  std::memcpy(data, text.data(), text.size() * sizeof(char16_t));
  data[text.size()] = u'\0';
  // 0 with ERROR_SUCCESS means "now unlocked", the expected outcome.
  SetLastError(ERROR_SUCCESS);
  if (!GlobalUnlock(memory.get()) && GetLastError() != ERROR_SUCCESS) {
    ThrowLastError("GlobalUnlock");
  }
  return memory;
}

}  // namespace

void EmptyClipboardFor(HWND owner) {
  OpenedClipboard clipboard(owner);
  clipboard.Empty();
  clipboard.Close();
}

void SetClipboardTextFor(HWND owner, std::u16string_view text) {
  GlobalMemory memory = GlobalCopyOf(text);
  OpenedClipboard clipboard(owner);
  clipboard.Empty();
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) {
    ThrowLastError("SetClipboardData");
  }
  memory.release();  // the clipboard owns it now
  clipboard.Close();
}

}  // namespace win32
