#include "main_window.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "clipboard.h"
#include "numbered_error.h"
#include "resource.h"
#include "win32_error.h"

namespace win32 {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

constexpr wchar_t kClassName[] = L"frmQuorlex";
constexpr wchar_t kCaption[] = L"Text to MD5";
// Sizable border, title bar with system menu, minimize and maximize boxes.
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = 0;

constexpr int kTwipsPerInch = 1440;
constexpr int kClientWidthTwips = 3885;
constexpr int kClientHeightTwips = 1185;

constexpr int kCmdCloseCount = 2;

std::optional<std::int16_t> CmdCloseIndex(int id) {
  const int index = id - IDC_CMD_CLOSE_FIRST;
  if (index < 0 || index >= kCmdCloseCount) return std::nullopt;
  return static_cast<std::int16_t>(index);
}

struct ControlLayout {
  const wchar_t* window_class;
  const wchar_t* text;
  int id;
  DWORD style;
  DWORD ex_style;
  int left, top, width, height;  // twips, in the client area
  int tab_index;
};

constexpr DWORD kEditStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
// BS_PUSHBUTTON, never BS_DEFPUSHBUTTON: neither button is the default.
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// The controls in the order of their creation.
enum ControlSlot { kTxtText, kTxtMD5, kCopyAndCloseButton, kCloseButton };
constexpr ControlLayout kControls[] = {
    {L"EDIT", L"", IDC_TXT_TEXT, kEditStyle, WS_EX_CLIENTEDGE,  //
     30, 30, 3795, 285, 0},
    {L"EDIT", L"---", IDC_TXT_MD5, kEditStyle, WS_EX_CLIENTEDGE,  //
     30, 390, 3795, 285, 1},
    {L"BUTTON", L"Copy+Close", IDC_CMD_CLOSE_FIRST + ui::kCopyAndClose,
     kButtonStyle, 0, 780, 780, 1095, 375, 3},
    {L"BUTTON", L"Close", IDC_CMD_CLOSE_FIRST + ui::kClose, kButtonStyle, 0,
     2040, 780, 1095, 375, 2},
};
constexpr std::size_t kControlCount = std::size(kControls);

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) ThrowLastError("GetDC");
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  Check(ReleaseDC(nullptr, screen), "ReleaseDC");
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The application icon at the size of the given system metrics.
HICON LoadAppIcon(HINSTANCE instance, int width_metric, int height_metric) {
  HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                           GetSystemMetrics(width_metric),
                           GetSystemMetrics(height_metric), LR_SHARED);
  if (!icon) ThrowLastError("LoadImageW");
  return static_cast<HICON>(icon);
}

// The window's frame for a client area of the given size, centred on the
// primary screen's work area (kept inside it at the top left).
RECT CentredFrame(int client_width, int client_height) {
  RECT frame{0, 0, client_width, client_height};
  Check(AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle),
        "AdjustWindowRectEx");
  RECT work{};
  Check(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0),
        "SystemParametersInfoW(SPI_GETWORKAREA)");
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left =
      std::max(work.left, work.left + (work.right - work.left - width) / 2);
  const int top =
      std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
  return RECT{left, top, left + width, top + height};
}

int LineHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) ThrowLastError("CreateCompatibleDC");
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const BOOL measured = previous && GetTextMetricsW(dc, &metrics);
  if (previous) SelectObject(dc, previous);
  DeleteDC(dc);
  Check(measured, "GetTextMetricsW");
  return metrics.tmHeight;
}

// The system's message font, which the system scales to its DPI, one pixel
// smaller at a time while its lines are taller than max_line_height.
UniqueFont CreateMessageFont(int max_line_height) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  Check(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                              0),
        "SystemParametersInfoW(SPI_GETNONCLIENTMETRICS)");
  LOGFONTW logfont = metrics.lfMessageFont;
  for (;;) {
    UniqueFont font(CreateFontIndirectW(&logfont));
    if (!font) ThrowLastError("CreateFontIndirectW");
    if (std::abs(logfont.lfHeight) <= 1 ||
        LineHeight(font.get()) <= max_line_height) {
      return font;
    }
    logfont.lfHeight += logfont.lfHeight < 0 ? 1 : -1;
  }
}

// The dialog manager tabs through the controls in z-order: stack them in the
// order of their tab index.
void ArrangeTabOrder(const std::array<HWND, kControlCount>& controls) {
  std::array<std::size_t, kControlCount> by_tab_index{};
  for (std::size_t slot = 0; slot < kControlCount; ++slot) {
    by_tab_index[static_cast<std::size_t>(kControls[slot].tab_index)] = slot;
  }
  HWND previous = HWND_TOP;
  for (const std::size_t slot : by_tab_index) {
    Check(SetWindowPos(controls[slot], previous, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE),
          "SetWindowPos");
    previous = controls[slot];
  }
}

// The whole text of window, however long.
std::u16string WindowText(HWND window) {
  SetLastError(ERROR_SUCCESS);
  const int length = GetWindowTextLengthW(window);
  if (length == 0 && GetLastError() != ERROR_SUCCESS) {
    ThrowLastError("GetWindowTextLengthW");
  }
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  if (length == 0) return text;
  // The string's terminator slot takes the NUL that GetWindowTextW writes.
  const int copied = GetWindowTextW(
      window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  if (copied == 0) ThrowLastError("GetWindowTextW");
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

}  // namespace

MainWindow::MainWindow() : form_(*this) {}

void MainWindow::Create(HINSTANCE instance) {
  dpi_ = SystemDpi();

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
  window_class.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  if (!window_class.hCursor) ThrowLastError("LoadCursorW");
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class)) ThrowLastError("RegisterClassExW");

  const RECT frame =
      CentredFrame(ToPixels(kClientWidthTwips), ToPixels(kClientHeightTwips));
  if (!CreateWindowExW(kWindowExStyle, kClassName, kCaption, kWindowStyle,
                       frame.left, frame.top, frame.right - frame.left,
                       frame.bottom - frame.top, nullptr, nullptr, instance,
                       this)) {
    if (create_failure_) throw *create_failure_;
    ThrowLastError("CreateWindowExW");
  }
  form_.OnLoad();
}

// Painting at once and the focus are niceties that WM_PAINT and the next
// activation put right: their failure stops nothing.
void MainWindow::Show(int show_command) {
  ShowWindow(hwnd_, show_command);  // returns the earlier visibility
  UpdateWindow(hwnd_);
  SetFocus(txtText_);  // also when the system did not activate the window
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLOREDIT:
      return OnCtlColorEdit(reinterpret_cast<HDC>(wparam),
                            reinterpret_cast<HWND>(lparam), wparam, lparam);
    case WM_ACTIVATE:
      OnActivate(wparam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case DM_GETDEFID:
      return 0;  // no default button, so Enter in a text box presses none
    case WM_DESTROY:
      // A window whose WM_CREATE failed is destroyed too, but Create reports
      // that failure, in a message box that a WM_QUIT would close at once.
      if (created_) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT MainWindow::OnCreate() {
  try {
    CreateControls();
    created_ = true;
    return 0;
  } catch (const basMD5::NumberedError& failure) {
    create_failure_ = failure;
    return -1;
  }
}

void MainWindow::CreateControls() {
  const auto instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  std::array<HWND, kControlCount> controls{};
  for (std::size_t slot = 0; slot < kControlCount; ++slot) {
    const ControlLayout& control = kControls[slot];
    controls[slot] = CreateWindowExW(
        control.ex_style, control.window_class, control.text, control.style,
        ToPixels(control.left), ToPixels(control.top), ToPixels(control.width),
        ToPixels(control.height), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance,
        nullptr);
    if (!controls[slot]) ThrowLastError("CreateWindowExW (control)");
  }
  txtText_ = controls[kTxtText];
  txtMD5_ = controls[kTxtMD5];
  cmdClose_[ui::kCopyAndClose] = controls[kCopyAndCloseButton];
  cmdClose_[ui::kClose] = controls[kCloseButton];
  focus_ = txtText_;  // first in the tab order

  // No length limit of their own: the largest the edit control allows.
  SendMessageW(txtText_, EM_SETLIMITTEXT, 0, 0);
  SendMessageW(txtMD5_, EM_SETLIMITTEXT, 0, 0);

  ArrangeTabOrder(controls);
  SetUpFont();
}

void MainWindow::SetUpFont() {
  RECT edit_client{};
  Check(GetClientRect(txtText_, &edit_client), "GetClientRect");
  font_ = CreateMessageFont(edit_client.bottom - edit_client.top);
  for (HWND control : {txtText_, txtMD5_, cmdClose_[0], cmdClose_[1]}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()),
                 FALSE);
  }
}

void MainWindow::OnCommand(int id, int notification) {
  if (id == IDC_TXT_TEXT && notification == EN_CHANGE) {
    form_.OnInputChanged();
  } else if (const auto index = CmdCloseIndex(id);
             index && notification == BN_CLICKED) {
    form_.OnButtonClicked(*index);
  }
  // IDOK and IDCANCEL from IsDialogMessage (Enter, Esc): nothing to do.
}

LRESULT MainWindow::OnCtlColorEdit(HDC dc, HWND edit, WPARAM wparam,
                                   LPARAM lparam) {
  // txtMD5's background is the system colour 0, the scroll-bar colour.
  if (edit == txtMD5_) {
    const HBRUSH brush = GetSysColorBrush(COLOR_SCROLLBAR);
    if (brush && SetBkColor(dc, GetSysColor(COLOR_SCROLLBAR)) != CLR_INVALID) {
      return reinterpret_cast<LRESULT>(brush);
    }
  }
  return DefWindowProcW(hwnd_, WM_CTLCOLOREDIT, wparam, lparam);
}

// The system gives the focus to the window itself when it is activated:
// remember the focused control on the way out and hand the focus back to it.
void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) != WA_INACTIVE) return;
  const HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) focus_ = focus;
}

void MainWindow::OnSetFocus() {
  if (focus_) SetFocus(focus_);  // on failure the window keeps the focus
}

int MainWindow::ToPixels(int twips) const {
  return MulDiv(twips, dpi_, kTwipsPerInch);
}

std::u16string MainWindow::InputText() { return WindowText(txtText_); }

std::u16string MainWindow::OutputText() { return WindowText(txtMD5_); }

void MainWindow::SetOutputText(std::u16string_view text) {
  const std::wstring terminated(text.begin(), text.end());
  Check(SetWindowTextW(txtMD5_, terminated.c_str()), "SetWindowTextW");
}

void MainWindow::ClearClipboard() { EmptyClipboardFor(hwnd_); }

void MainWindow::SetClipboardText(std::u16string_view text) {
  SetClipboardTextFor(hwnd_, text);
}

void MainWindow::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void MainWindow::Unload() { Check(DestroyWindow(hwnd_), "DestroyWindow"); }

}  // namespace win32
