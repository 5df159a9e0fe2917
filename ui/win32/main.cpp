// Text to MD5 on Windows: the window frmQuorlex is the start-up object; the
// program ends when it has been unloaded.

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>

#include "form_layout.h"
#include "main_window.h"
#include "numbered_error.h"
#include "output_texts.h"
#include "wide_text.h"
#include "win32_error.h"

namespace {

// Runs until the window posts WM_QUIT on its destruction. IsDialogMessageW
// gives the window a dialog box's keyboard: Tab and Shift+Tab move the focus.
int RunMessageLoop(const win32::MainWindow& window) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) win32::ThrowLastError("GetMessageW");
    if (window.Window() && IsDialogMessageW(window.Window(), &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Call it only inside a catch block.
void ReportStartFailure() {
  const std::u16string what = ui::FailureText(basMD5::CurrentFailure());
  MessageBoxW(nullptr, win32::Wide(what.c_str()), win32::Wide(ui::kCaption),
              MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  try {
    win32::MainWindow window;
    window.Create(instance);
    window.Show(show_command);
    return RunMessageLoop(window);
  } catch (const std::exception&) {
    ReportStartFailure();
    return EXIT_FAILURE;
  }
}
