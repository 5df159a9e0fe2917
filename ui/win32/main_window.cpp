#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "clipboard.h"
#include "colours.h"
#include "control_ids.h"
#include "dpi.h"
#include "numbered_error.h"
#include "resource.h"
#include "translation.h"
#include "wide_text.h"
#include "win32_error.h"

namespace win32 {
namespace {

constexpr wchar_t kClassName[] = L"frmQuorlex";
// Sizable border, title bar with system menu, minimize and maximize boxes.
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
// The timer of ExplainLater.
constexpr UINT_PTR kExplanationTimer = 1;

std::optional<std::int16_t> CmdCloseIndex(int id) {
  const int index = id - IDC_CMD_CLOSE_FIRST;
  if (index != ui::kCopyAndClose && index != ui::kClose) return std::nullopt;
  return static_cast<std::int16_t>(index);
}

// Mirrored, caption and controls, in a language written right to left. Each
// control is mirrored or not by its own style, not by inheritance: the
// digest box stays left to right.
DWORD WindowExStyle() {
  return ui::RightToLeft() ? WS_EX_LAYOUTRTL | WS_EX_NOINHERITLAYOUT : 0;
}

DWORD MirroredIf(bool mirrored) { return mirrored ? WS_EX_LAYOUTRTL : 0; }

// How Win32 makes each kind of control of the layout table.
struct ControlClass {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassOf(ui::ControlKind kind) {
  constexpr DWORD kCommon = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  switch (kind) {
    case ui::ControlKind::kTextBox:
      return {L"EDIT", kCommon | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ui::ControlKind::kButton:
      // BS_PUSHBUTTON, never BS_DEFPUSHBUTTON: neither button is the default.
      return {L"BUTTON", kCommon | BS_PUSHBUTTON, 0};
  }
  return {};
}

// The application icon at the size of the given system metrics.
HICON LoadAppIcon(HINSTANCE instance, int width_metric, int height_metric) {
  HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                           GetSystemMetrics(width_metric),
                           GetSystemMetrics(height_metric), LR_SHARED);
  if (!icon) ThrowLastError("LoadImageW");
  return static_cast<HICON>(icon);
}

// The primary screen's work area.
RECT WorkArea() {
  RECT work{};
  Check(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0),
        "SystemParametersInfoW(SPI_GETWORKAREA)");
  return work;
}

// frame moved to the centre of work, kept inside it at the top left.
RECT CentredIn(const RECT& work, const RECT& frame) {
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left =
      std::max(work.left, work.left + (work.right - work.left - width) / 2);
  const int top =
      std::max(work.top, work.top + (work.bottom - work.top - height) / 2);
  return RECT{left, top, left + width, top + height};
}

void MoveTo(HWND window, const RECT& place) {
  Check(SetWindowPos(window, nullptr, place.left, place.top,
                     place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE),
        "SetWindowPos");
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

// The system's message font at dpi, one pixel smaller at a time while its
// lines are taller than max_line_height.
UniqueFont CreateMessageFont(int dpi, int max_line_height) {
  LOGFONTW logfont = MessageFontAt(dpi);
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

// The dialog manager tabs through the controls in z-order: stack them in
// tab order, each control's label, if it has one, just before it, where
// Active Accessibility looks for a control's name.
void ArrangeTabOrder(const std::array<HWND, ui::kControlCount>& controls,
                     const std::array<HWND, ui::kControlCount>& labels) {
  HWND previous = HWND_TOP;
  for (const ui::ControlSlot slot : ui::TabOrder()) {
    for (const HWND window : {labels[slot], controls[slot]}) {
      if (!window) continue;
      Check(SetWindowPos(window, previous, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE),
            "SetWindowPos");
      previous = window;
    }
  }
}

// A text box has no caption to name it: a static label with its accessible
// name does, kept hidden (the documented way for a control whose name is
// not shown) and without WS_TABSTOP, so that it changes neither the look
// nor the tab order.
HWND CreateHiddenLabel(HWND parent, HINSTANCE instance, const char16_t* name,
                       const RECT& place) {
  const HWND label = CreateWindowExW(
      0, L"STATIC", Wide(name), WS_CHILD | SS_LEFT, place.left, place.top,
      place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), instance, nullptr);
  if (!label) ThrowLastError("CreateWindowExW (label)");
  return label;
}

// A tooltip that shows over tool, with no text yet, mirrored and read right
// to left in a language written so. The tooltip window is owned by parent and
// is destroyed with it.
HWND CreateTooltip(HWND parent, HINSTANCE instance, HWND tool) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
  Check(InitCommonControlsEx(&classes), "InitCommonControlsEx");
  const bool right_to_left = ui::RightToLeft();
  const HWND tooltip = CreateWindowExW(
      WS_EX_TOPMOST | MirroredIf(right_to_left), TOOLTIPS_CLASSW, nullptr,
      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
  if (!tooltip) ThrowLastError("CreateWindowExW (tooltip)");
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags =
      TTF_IDISHWND | TTF_SUBCLASS | (right_to_left ? TTF_RTLREADING : 0);
  info.hwnd = parent;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(L"");
  if (!SendMessageW(tooltip, TTM_ADDTOOLW, 0,
                    reinterpret_cast<LPARAM>(&info))) {
    throw basMD5::NumberedError(basMD5::kErrUnexpected,
                                "Cannot add the output box's tooltip");
  }
  return tooltip;
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

  // Made without a size on the screen it is centred on, so that its DPI, and
  // with it its size, is that screen's.
  const RECT work = WorkArea();
  const DWORD ex_style = WindowExStyle();
  if (!CreateWindowExW(ex_style, kClassName, Wide(ui::kCaption), kWindowStyle,
                       work.left, work.top, 0, 0, nullptr, nullptr, instance,
                       this)) {
    if (create_failure_) throw *create_failure_;
    ThrowLastError("CreateWindowExW");
  }
  const RECT client{0, 0, ToPixels(ui::kClientWidth),
                    ToPixels(ui::kClientHeight)};
  MoveTo(hwnd_, CentredIn(work, FrameAt(client, kWindowStyle, ex_style, dpi_)));
  form_.OnLoad();
}

// Painting at once and the focus are niceties that WM_PAINT and the next
// activation put right: their failure stops nothing.
void MainWindow::Show(int show_command) {
  ShowWindow(hwnd_, show_command);  // returns the earlier visibility
  UpdateWindow(hwnd_);
  SetFocus(txtText());  // also when the system did not activate the window
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
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
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
    dpi_ = WindowDpi(hwnd_);
    CreateControls();
    created_ = true;
    return 0;
  } catch (...) {
    // Any failure fails the creation: a window without its controls must
    // not pass for one that was made.
    create_failure_ = basMD5::CurrentFailure();
  }
  return -1;
}

void MainWindow::CreateControls() {
  const auto instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
    const ui::ControlFacts& facts = ui::kControls[slot];
    const ControlClass control = ClassOf(facts.kind);
    const RECT place = ToPixels(facts.place);
    const int id = kControlIds[slot];
    const bool mirrored =
        (GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0 &&
        !facts.left_to_right;
    controls_[slot] = CreateWindowExW(
        control.ex_style | MirroredIf(mirrored), control.window_class,
        Wide(facts.text), control.style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!controls_[slot]) ThrowLastError("CreateWindowExW (control)");
    if (facts.kind == ui::ControlKind::kTextBox) {
      labels_[slot] =
          CreateHiddenLabel(hwnd_, instance, ui::AccessibleName(facts), place);
    }
  }
  focus_ = txtText();  // first in the tab order

  // No length limit of their own: the largest the edit control allows.
  SendMessageW(txtText(), EM_SETLIMITTEXT, 0, 0);
  SendMessageW(txtMD5(), EM_SETLIMITTEXT, 0, 0);

  ArrangeTabOrder(controls_, labels_);
  SetUpFont();
  explanation_tip_ = CreateTooltip(hwnd_, instance, txtMD5());
  SetTooltipWidth();
}

// A label lies where its text box does.
void MainWindow::PlaceControls() {
  for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
    const RECT place = ToPixels(ui::kControls[slot].place);
    for (const HWND window : {labels_[slot], controls_[slot]}) {
      if (window) MoveTo(window, place);
    }
  }
}

// The font fits the text boxes as they are placed now.
void MainWindow::SetUpFont() {
  RECT edit_client{};
  Check(GetClientRect(txtText(), &edit_client), "GetClientRect");
  UniqueFont font =
      CreateMessageFont(dpi_, edit_client.bottom - edit_client.top);
  for (const HWND control : controls_) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()),
                 TRUE);
  }
  font_ = std::move(font);  // the controls no longer use the one it replaces
}

// The tooltip's lines wrap where they would pass the layout's width, and at
// "\n".
void MainWindow::SetTooltipWidth() {
  SendMessageW(explanation_tip_, TTM_SETMAXTIPWIDTH, 0,
               ToPixels(ui::kTooltipMaxWidthTwips));
}

// The window moved to a monitor of another scale, or its monitor's scale
// changed. Windows suggests a frame that keeps the window under the pointer
// while it is dragged across.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested_frame) {
  dpi_ = dpi;
  PlaceControls();
  SetUpFont();
  SetTooltipWidth();
  MoveTo(hwnd_, suggested_frame);
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
  // txtMD5's background is the system colour 0, the scroll-bar colour, which
  // no scheme promises to contrast with the text colour: a dark high-contrast
  // scheme makes both black.
  if (edit == txtMD5()) {
    const COLORREF background = GetSysColor(COLOR_SCROLLBAR);
    const HBRUSH brush = GetSysColorBrush(COLOR_SCROLLBAR);
    if (brush && SetBkColor(dc, background) != CLR_INVALID &&
        SetTextColor(dc, ReadableTextColour(background,
                                            GetSysColor(COLOR_WINDOWTEXT))) !=
            CLR_INVALID) {
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
  return ui::TwipsToPixels(twips, dpi_);
}

RECT MainWindow::ToPixels(const ui::TwipsRect& place) const {
  const int left = ToPixels(place.left);
  const int top = ToPixels(place.top);
  return RECT{left, top, left + ToPixels(place.width),
              top + ToPixels(place.height)};
}

std::u16string MainWindow::InputText() { return WindowText(txtText()); }

std::u16string MainWindow::OutputText() { return WindowText(txtMD5()); }

void MainWindow::SetOutputText(std::u16string_view text) {
  const std::wstring terminated(text.begin(), text.end());
  Check(SetWindowTextW(txtMD5(), terminated.c_str()), "SetWindowTextW");
}

void MainWindow::SetOutputExplanation(std::u16string_view text) {
  std::wstring terminated(text.begin(), text.end());
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(txtMD5());
  info.lpszText = terminated.data();  // the tooltip keeps a copy
  SendMessageW(explanation_tip_, TTM_UPDATETIPTEXTW, 0,
               reinterpret_cast<LPARAM>(&info));
}

void MainWindow::ExplainLater(std::uint32_t milliseconds) {
  if (!SetTimer(hwnd_, kExplanationTimer, milliseconds, nullptr)) {
    ThrowLastError("SetTimer");
  }
}

void MainWindow::OnTimer(WPARAM timer) {
  if (timer != kExplanationTimer) return;
  KillTimer(hwnd_, kExplanationTimer);  // it was to fire once
  form_.OnExplanationDue();
}

void MainWindow::ClearClipboard() { EmptyClipboardFor(hwnd_); }

void MainWindow::SetClipboardText(std::u16string_view text) {
  SetClipboardTextFor(hwnd_, text);
}

void MainWindow::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void MainWindow::Unload() { Check(DestroyWindow(hwnd_), "DestroyWindow"); }

}  // namespace win32
