// The window made in the test's own process, for what the driver cannot see
// from outside: how it ends when a failure unwinds past its object, and how
// it takes a change of DPI, which needs a pointer to the suggested frame.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "control_ids.h"
#include "main_window.h"
#include "pixel_layouts.h"
#include "resource.h"
#include "thread_windows.h"

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
  ASSERT_EQ(GetDpiForWindow(hwnd), 96u) << "the Wine prefix's DPI";
  const HWND txtText = GetDlgItem(hwnd, IDC_TXT_TEXT);
  ASSERT_TRUE(IsWindow(txtText));

  window.reset();

  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindow(txtText));
  EXPECT_FALSE(TakeQuitMessage()) << "a WM_QUIT would close the error box";
}

constexpr wchar_t kAbcDigest[] = L"900150983CD24FB0D6963F7D28E17F72";

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The height of the font that control draws its text in, in pixels.
LONG FontHeightOf(HWND control) {
  const auto font =
      reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW logfont{};
  if (!font || !GetObjectW(font, sizeof logfont, &logfont)) return 0;
  return std::abs(logfont.lfHeight);
}

// What Windows suggests when the scale changes under the window: its frame
// scaled about the top left corner.
RECT ScaledFrame(HWND window, int from_dpi, int to_dpi) {
  RECT frame{};
  GetWindowRect(window, &frame);
  return {frame.left, frame.top,
          frame.left + MulDiv(frame.right - frame.left, to_dpi, from_dpi),
          frame.top + MulDiv(frame.bottom - frame.top, to_dpi, from_dpi)};
}

// Wine never changes a window's DPI itself: the test sends WM_DPICHANGED as
// Windows does when the window is dragged to a monitor of another scale, or
// when the scale of its monitor is changed.
TEST(MainWindowTest, DpiChangeRedoesTheLayoutAndKeepsTextSelectionAndFocus) {
  win32::MainWindow window;
  window.Create(GetModuleHandleW(nullptr));
  window.Show(SW_SHOWNORMAL);
  const HWND hwnd = window.Window();
  EXPECT_EQ(
      GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(hwnd)),
      DPI_AWARENESS_PER_MONITOR_AWARE)
      << "the manifest's dpiAwareness was not taken";
  ASSERT_EQ(GetDpiForWindow(hwnd), 96u) << "the Wine prefix's DPI";
  const HWND txtText = GetDlgItem(hwnd, IDC_TXT_TEXT);
  const HWND txtMD5 = GetDlgItem(hwnd, IDC_TXT_MD5);
  SetWindowTextW(txtText, L"abc");
  SetFocus(txtMD5);
  SendMessageW(txtMD5, EM_SETSEL, 3, 9);
  ASSERT_EQ(GetFocus(), txtMD5);
  ASSERT_EQ(TextOf(txtMD5), kAbcDigest);
  const LONG font_height_at_96 = FontHeightOf(txtText);
  ASSERT_GT(font_height_at_96, 0);

  int dpi = 96;
  for (const int new_dpi : {144, 120, 96}) {
    SCOPED_TRACE(std::to_string(dpi) + " to " + std::to_string(new_dpi) +
                 " DPI");
    const driver::PixelLayout* layout = driver::PixelLayoutAt(new_dpi);
    ASSERT_NE(layout, nullptr);
    const RECT suggested = ScaledFrame(hwnd, dpi, new_dpi);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(new_dpi, new_dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    dpi = new_dpi;

    RECT frame{};
    GetWindowRect(hwnd, &frame);
    EXPECT_TRUE(EqualRect(&frame, &suggested))
        << driver::Describe(frame) << ", suggested "
        << driver::Describe(suggested);
    for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
      const RECT actual =
          driver::ClientRectOf(GetDlgItem(hwnd, win32::kControlIds[slot]));
      EXPECT_TRUE(EqualRect(&actual, &layout->controls[slot]))
          << ui::kControls[slot].name << ": " << driver::Describe(actual)
          << ", expected " << driver::Describe(layout->controls[slot]);
    }
    EXPECT_EQ(FontHeightOf(txtText), MulDiv(font_height_at_96, dpi, 96));
    EXPECT_EQ(SendMessageW(driver::TooltipOf(hwnd), TTM_GETMAXTIPWIDTH, 0, 0),
              layout->tooltip_max_width);

    EXPECT_EQ(TextOf(txtText), L"abc");
    EXPECT_EQ(TextOf(txtMD5), kAbcDigest);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(txtMD5, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 9u);
    EXPECT_EQ(GetFocus(), txtMD5);
  }
}

}  // namespace
