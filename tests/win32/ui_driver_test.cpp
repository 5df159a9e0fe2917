// text-to-md5.exe seen from outside, as a user and the system see it: the
// driver starts the program and works it through the Win32 API alone.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "app_session.h"

namespace driver {
namespace {

constexpr wchar_t kEmptyDigest[] = L"D41D8CD98F00B204E9800998ECF8427E";
constexpr wchar_t kAbcDigest[] = L"900150983CD24FB0D6963F7D28E17F72";
constexpr wchar_t kSentinel[] = L"on the clipboard before";

std::string Narrow(std::wstring_view text) {
  std::string narrow;
  for (const wchar_t c : text) {
    narrow += c < 128 ? static_cast<char>(c) : '?';
  }
  return narrow;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// The logical DPI that the test run set up for Wine (TTM_WINE_DPI).
int ExpectedDpi() {
  const char* dpi = std::getenv("TTM_WINE_DPI");
  return dpi ? std::atoi(dpi) : 96;
}

int ToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// A control's rectangle in its parent's client coordinates.
RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect),
                  2);
  return rect;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct ControlLayout {
  const char* name;
  int id;
  const wchar_t* window_class;
  const wchar_t* text;
  int left, top, width, height;  // twips
};

// The window's controls as the user sees them at first show.
const ControlLayout kControls[] = {
    {"txtText", IDC_TXT_TEXT, L"Edit", L"", 30, 30, 3795, 285},
    {"txtMD5", IDC_TXT_MD5, L"Edit", kEmptyDigest, 30, 390, 3795, 285},
    {"cmdClose(0)", IDC_CMD_CLOSE_FIRST, L"Button", L"Copy+Close",  //
     780, 780, 1095, 375},
    {"cmdClose(1)", IDC_CMD_CLOSE_FIRST + 1, L"Button", L"Close",  //
     2040, 780, 1095, 375},
};

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring failure = app_.Start();
    ASSERT_TRUE(failure.empty()) << Narrow(failure);
  }

  // Waits until the focus is on control; whether it got there.
  bool WaitForFocus(HWND control) {
    return WaitUntil([&] { return app_.Focus() == control; }, 5s);
  }

  AppSession app_;
};

TEST_F(AppTest, StartsWithCaptionControlsFocusAndTheEmptyTextsDigest) {
  wchar_t caption[64] = {};
  GetWindowTextW(app_.window(), caption, 64);
  EXPECT_STREQ(caption, L"Text to MD5");
  EXPECT_TRUE(WaitForFocus(app_.txtText())) << "focus is not in txtText";

  for (const ControlLayout& layout : kControls) {
    SCOPED_TRACE(layout.name);
    const HWND control = app_.control(layout.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), layout.window_class), 0)
        << Narrow(ClassOf(control));
    EXPECT_EQ(TextOf(control), layout.text);
  }
}

TEST_F(AppTest, WindowHasSizableFrameSystemMenuAndBoxesButNoMenu) {
  const auto style =
      static_cast<DWORD>(GetWindowLongPtrW(app_.window(), GWL_STYLE));
  for (const DWORD bit : {WS_CAPTION, WS_THICKFRAME, WS_SYSMENU, WS_MINIMIZEBOX,
                          WS_MAXIMIZEBOX}) {
    EXPECT_EQ(style & bit, bit) << "style bit " << std::hex << bit;
  }
  EXPECT_EQ(GetMenu(app_.window()), nullptr);
}

TEST_F(AppTest,
       TextBoxesAreSunkenUnlimitedSingleLineEditsAndNoButtonIsDefault) {
  for (const HWND edit : {app_.txtText(), app_.txtMD5()}) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(edit, GWL_STYLE));
    const auto ex_style =
        static_cast<DWORD>(GetWindowLongPtrW(edit, GWL_EXSTYLE));
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_FALSE(style & (ES_MULTILINE | ES_READONLY));
    EXPECT_TRUE(ex_style & WS_EX_CLIENTEDGE);
    EXPECT_GE(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
  }
  for (const int index : {0, 1}) {
    const auto style =
        static_cast<DWORD>(GetWindowLongPtrW(app_.cmdClose(index), GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON))
        << "cmdClose(" << index << ")";
    EXPECT_TRUE(style & WS_TABSTOP);
  }
}

TEST_F(AppTest, LayoutInTwipsAtTheLogicalDpiCentredAndFixedOnResize) {
  const int dpi = ExpectedDpi();
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "Wine's DPI setting";
  ReleaseDC(nullptr, screen);

  RECT client{};
  GetClientRect(app_.window(), &client);
  EXPECT_EQ(client.right, ToPixels(3885, dpi));
  EXPECT_EQ(client.bottom, ToPixels(1185, dpi));

  RECT frame{};
  GetWindowRect(app_.window(), &frame);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1)
      << Describe(frame) << " in " << Describe(work);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1)
      << Describe(frame) << " in " << Describe(work);

  const auto check_controls = [&] {
    for (const ControlLayout& layout : kControls) {
      const RECT expected{
          ToPixels(layout.left, dpi), ToPixels(layout.top, dpi),
          ToPixels(layout.left, dpi) + ToPixels(layout.width, dpi),
          ToPixels(layout.top, dpi) + ToPixels(layout.height, dpi)};
      const RECT actual = ClientRectOf(app_.control(layout.id));
      EXPECT_TRUE(EqualRect(&actual, &expected))
          << layout.name << ": " << Describe(actual) << ", expected "
          << Describe(expected);
    }
  };
  check_controls();

  SetWindowPos(app_.window(), nullptr, 0, 0, frame.right - frame.left + 120,
               frame.bottom - frame.top + 80,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT resized{};
  GetClientRect(app_.window(), &resized);
  EXPECT_GT(resized.right, client.right) << "the window did not grow";
  check_controls();
}

TEST_F(AppTest, TypingUpdatesTheDigestAfterEveryKey) {
  ASSERT_TRUE(WaitForFocus(app_.txtText()));
  struct Step {
    const wchar_t* typed;  // a character, or empty for Backspace
    const wchar_t* digest;
  };
  // U+00E4 is one byte, 0xE4, in the ANSI code page of the run (1252).
  const Step steps[] = {
      {L"a", L"0CC175B9C0F1B6A831C399E269772661"},
      {L"b", L"187EF4436122D1CC2F40DC2B92F0EBA0"},
      {L"c", kAbcDigest},
      {L"\u00e4", L"F25F15E46CCA9F6908950207F4478869"},
      {L"", kAbcDigest},
      {L"", L"187EF4436122D1CC2F40DC2B92F0EBA0"},
      {L"", L"0CC175B9C0F1B6A831C399E269772661"},
      {L"", kEmptyDigest},
  };
  for (const Step& step : steps) {
    if (*step.typed) {
      TypeText(step.typed);
    } else {
      PressKey(VK_BACK);
    }
    EXPECT_TRUE(WaitForText(app_.txtMD5(), step.digest))
        << "after " << (*step.typed ? Narrow(step.typed) : "Backspace") << ": "
        << Narrow(TextOf(app_.txtMD5()));
  }
}

TEST_F(AppTest, TabAndShiftTabCycleTheFocusInTabOrder) {
  ASSERT_TRUE(WaitForFocus(app_.txtText()));
  const std::vector<HWND> order = {app_.txtMD5(), app_.cmdClose(1),
                                   app_.cmdClose(0), app_.txtText()};
  const char* names[] = {"txtMD5", "Close", "Copy+Close", "txtText"};
  for (std::size_t i = 0; i < order.size(); ++i) {
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitForFocus(order[i])) << "Tab did not reach " << names[i];
  }
  for (std::size_t i = order.size() - 1; i-- > 0;) {
    PressKey(VK_TAB, /*with_shift=*/true);
    EXPECT_TRUE(WaitForFocus(order[i]))
        << "Shift+Tab did not reach " << names[i];
  }
}

// The colour on screen at a point of control's client area.
COLORREF ScreenColourAt(HWND control, POINT point) {
  ClientToScreen(control, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// A system colour changed for the life of this object.
class SysColourOverride {
 public:
  SysColourOverride(int index, COLORREF colour)
      : index_(index), original_(GetSysColor(index)) {
    SetSysColors(1, &index_, &colour);
  }
  SysColourOverride(const SysColourOverride&) = delete;
  SysColourOverride& operator=(const SysColourOverride&) = delete;
  ~SysColourOverride() { SetSysColors(1, &index_, &original_); }

 private:
  int index_;
  COLORREF original_;
};

TEST(Colours, OutputBoxHasTheScrollBarColourAndInputBoxTheWindowColour) {
  // A scroll-bar colour unlike any other, so that nothing else matches it.
  constexpr COLORREF kScrollBar = RGB(0x40, 0x80, 0xC0);
  const SysColourOverride scroll_bar(COLOR_SCROLLBAR, kScrollBar);
  AppSession app;
  const std::wstring failure = app.Start();
  ASSERT_TRUE(failure.empty()) << Narrow(failure);

  // A point right of the text, in each box's background.
  const auto background = [](HWND box) {
    RECT client{};
    GetClientRect(box, &client);
    return POINT{client.right - 3, client.bottom / 2};
  };
  const POINT output_point = background(app.txtMD5());
  EXPECT_TRUE(WaitUntil([&] {
    return ScreenColourAt(app.txtMD5(), output_point) == kScrollBar;
  })) << "txtMD5 shows "
      << std::hex << ScreenColourAt(app.txtMD5(), output_point);
  EXPECT_EQ(ScreenColourAt(app.txtText(), background(app.txtText())),
            GetSysColor(COLOR_WINDOW));
}

struct KeyInTextBox {
  const char* name;
  int tabs_from_start;  // 4 reaches txtText again, 5 txtMD5, after visiting
                        // both buttons
  WORD key;
};

std::ostream& operator<<(std::ostream& out, const KeyInTextBox& param) {
  return out << param.name;
}

class KeyInTextBoxTest : public AppTest,
                         public ::testing::WithParamInterface<KeyInTextBox> {};

TEST_P(KeyInTextBoxTest, PressesNoButton) {
  const KeyInTextBox& param = GetParam();
  ASSERT_TRUE(PutOnClipboard(kSentinel));
  ASSERT_TRUE(WaitForFocus(app_.txtText()));
  for (int i = 0; i < param.tabs_from_start; ++i) PressKey(VK_TAB);
  const HWND box = param.tabs_from_start == 4 ? app_.txtText() : app_.txtMD5();
  ASSERT_TRUE(WaitForFocus(box));

  PressKey(param.key);
  // A character typed after the key shows that the key has been handled.
  const std::wstring before = TextOf(box);
  TypeText(L"x");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(box) != before; }));

  EXPECT_TRUE(app_.Running());
  EXPECT_EQ(app_.Focus(), box);
  EXPECT_EQ(ClipboardUnicodeText(), kSentinel);
  for (const int index : {0, 1}) {
    const auto style =
        static_cast<DWORD>(GetWindowLongPtrW(app_.cmdClose(index), GWL_STYLE));
    EXPECT_NE(style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON))
        << "cmdClose(" << index << ") became the default button";
  }
}

INSTANTIATE_TEST_SUITE_P(
    EnterAndEsc, KeyInTextBoxTest,
    ::testing::Values(KeyInTextBox{"EnterInTxtText", 4, VK_RETURN},
                      KeyInTextBox{"EscInTxtText", 4, VK_ESCAPE},
                      KeyInTextBox{"EnterInTxtMD5", 5, VK_RETURN},
                      KeyInTextBox{"EscInTxtMD5", 5, VK_ESCAPE}),
    [](const auto& info) { return std::string(info.param.name); });

struct CloseWay {
  const char* name;
  void (*close)(const AppSession&);
};

std::ostream& operator<<(std::ostream& out, const CloseWay& param) {
  return out << param.name;
}

class CloseWithoutCopyTest : public AppTest,
                             public ::testing::WithParamInterface<CloseWay> {};

TEST_P(CloseWithoutCopyTest, EndsTheProgramAndLeavesTheClipboard) {
  ASSERT_TRUE(PutOnClipboard(kSentinel));
  TypeText(L"abc");
  ASSERT_TRUE(WaitForText(app_.txtMD5(), kAbcDigest));
  GetParam().close(app_);
  EXPECT_TRUE(app_.WaitForExit());
  EXPECT_EQ(ClipboardUnicodeText(), kSentinel);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseWithoutCopyTest,
    ::testing::Values(CloseWay{"CloseButton",
                               [](const AppSession& app) {
                                 ClickOn(app.cmdClose(1));
                               }},
                      CloseWay{"TitleBarClose",
                               [](const AppSession& app) {
                                 PostMessageW(app.window(), WM_SYSCOMMAND,
                                              SC_CLOSE, 0);
                               }}),
    [](const auto& info) { return std::string(info.param.name); });

struct CopyCase {
  const char* name;
  const wchar_t* typed_into_input;
  const wchar_t* typed_over_output;  // null: leave the digest
  const wchar_t* copied;
};

std::ostream& operator<<(std::ostream& out, const CopyCase& param) {
  return out << param.name;
}

class CopyAndCloseTest : public AppTest,
                         public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyAndCloseTest, PutsTheOutputBoxsTextOnTheClipboardAndEnds) {
  const CopyCase& param = GetParam();
  ASSERT_TRUE(PutOnClipboard(kSentinel));
  TypeText(param.typed_into_input);
  ASSERT_TRUE(WaitForText(app_.txtMD5(), kAbcDigest));
  if (param.typed_over_output) {
    PressKey(VK_TAB);  // Tab selects the whole text of txtMD5
    ASSERT_TRUE(WaitForFocus(app_.txtMD5()));
    TypeText(param.typed_over_output);
    ASSERT_TRUE(WaitForText(app_.txtMD5(), param.copied));
  }
  ClickOn(app_.cmdClose(0));
  EXPECT_TRUE(app_.WaitForExit());
  EXPECT_EQ(ClipboardUnicodeText(), param.copied);
  EXPECT_EQ(ClipboardAnsiText(), Narrow(param.copied));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CopyAndCloseTest,
    ::testing::Values(CopyCase{"Digest", L"abc", nullptr, kAbcDigest},
                      CopyCase{"EditedOutput", L"abc", L"typed by hand",
                               L"typed by hand"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppTest, CopyAndCloseRetriesWhileAnotherProgramHoldsTheClipboard) {
  ASSERT_TRUE(PutOnClipboard(kSentinel));
  {
    HeldClipboard held;
    ASSERT_TRUE(held.held());
    // A sent BM_CLICK returns when the click handler has finished: its
    // duration includes the pause before the second attempt.
    const auto started = Clock::now();
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(app_.cmdClose(0), BM_CLICK, 0, 0,
                                    SMTO_NORMAL, 10000, &ignored));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        Clock::now() - started);
    RecordProperty("held_clipboard_click_ms", static_cast<int>(took.count()));
    std::printf("Copy+Close with the clipboard held took %d ms\n",
                static_cast<int>(took.count()));
    EXPECT_GE(took, 95ms) << "no pause before a second attempt";
    EXPECT_LT(took, 5s);
    EXPECT_TRUE(app_.Running());
    EXPECT_TRUE(IsWindowVisible(app_.window()));
  }
  EXPECT_EQ(ClipboardUnicodeText(), kSentinel);

  // Released, a new click copies and closes.
  ClickOn(app_.cmdClose(0));
  EXPECT_TRUE(app_.WaitForExit());
  EXPECT_EQ(ClipboardUnicodeText(), kEmptyDigest);
}

TEST_F(AppTest, A256KiBInputIsReadWholeAndDigested) {
  const std::wstring text(256 * 1024, L'a');
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(app_.txtText(), WM_SETTEXT, 0,
                                  reinterpret_cast<LPARAM>(text.c_str()),
                                  SMTO_NORMAL, 30000, &ignored));
  EXPECT_TRUE(WaitForText(app_.txtMD5(), L"C946B71BB69C07DAF25470742C967E7C"));
  EXPECT_EQ(TextOf(app_.txtText()).size(), text.size());
}

}  // namespace
}  // namespace driver

int main(int argc, char** argv) {
  // Window rectangles in physical pixels, whatever Wine's DPI.
  SetProcessDPIAware();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
