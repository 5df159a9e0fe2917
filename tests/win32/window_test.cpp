// The window made in the test's own process, for what the driver cannot see
// from outside: how it ends when a failure unwinds past its object.

#include <gtest/gtest.h>

#include <memory>

#include "main_window.h"
#include "resource.h"

namespace {

// Whether a WM_QUIT waits in this thread's queue; takes it out.
bool TakeQuitMessage() {
  MSG message{};
  return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// A failure after Create, as from Show or the message loop, unwinds past the
// object while its window is open. The window must go with the object (its
// messages would reach freed memory) and must post no WM_QUIT, which would
// close the message box that reports the failure.
TEST(MainWindowTest, ObjectDestroyedWithItsWindowOpenTakesTheWindowAlong) {
  auto window = std::make_unique<win32::MainWindow>();
  window->Create(GetModuleHandleW(nullptr));
  const HWND hwnd = window->Window();
  ASSERT_TRUE(IsWindow(hwnd));
  const HWND txtText = GetDlgItem(hwnd, IDC_TXT_TEXT);
  ASSERT_TRUE(IsWindow(txtText));

  window.reset();

  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindow(txtText));
  EXPECT_FALSE(TakeQuitMessage()) << "a WM_QUIT would close the error box";
}

}  // namespace
