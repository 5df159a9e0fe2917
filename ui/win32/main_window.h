#pragma once
// frmQuorlex on Win32: the one top-level window with its two edit boxes and
// the two-button control array cmdClose, laid out in twips at the DPI of the
// monitor it is on, and again whenever that DPI changes. It is the window
// core's FormHost and feeds it the window's events.

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "base_window.h"
#include "form_host.h"
#include "form_layout.h"
#include "frmQuorlex.h"
#include "numbered_error.h"

namespace win32 {

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

class MainWindow : public BaseWindow<MainWindow>, public ui::FormHost {
 public:
  MainWindow();

  // Creates the hidden window with its controls and runs its load event.
  // Raises basMD5::NumberedError when the window cannot be made.
  void Create(HINSTANCE instance);

  // Shows the window, centred, with the focus in txtText.
  void Show(int show_command);

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // FormHost: the window core's view of this window.
  std::u16string InputText() override;
  std::u16string OutputText() override;
  void SetOutputText(std::u16string_view text) override;
  void SetOutputExplanation(std::u16string_view text) override;
  void ExplainLater(std::uint32_t milliseconds) override;
  void ClearClipboard() override;
  void SetClipboardText(std::u16string_view text) override;
  void Sleep(std::uint32_t milliseconds) override;
  void Unload() override;

 private:
  LRESULT OnCreate();
  void OnCommand(int id, int notification);
  LRESULT OnCtlColorEdit(HDC dc, HWND edit, WPARAM wparam, LPARAM lparam);
  void OnActivate(WPARAM wparam);
  void OnSetFocus();
  void OnTimer(WPARAM timer);
  void OnDpiChanged(int dpi, const RECT& suggested_frame);

  void CreateControls();
  void PlaceControls();
  void SetUpFont();
  void SetTooltipWidth();
  int ToPixels(int twips) const;
  RECT ToPixels(const ui::TwipsRect& place) const;
  HWND txtText() const { return controls_[ui::kTxtText]; }
  HWND txtMD5() const { return controls_[ui::kTxtMD5]; }

  ui::frmQuorlex form_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::optional<basMD5::NumberedError> create_failure_;  // of WM_CREATE
  bool created_ = false;  // WM_CREATE succeeded: destruction ends the program
  UniqueFont font_;
  std::array<HWND, ui::kControlCount> controls_{};  // by layout slot
  std::array<HWND, ui::kControlCount> labels_{};    // of text boxes only
  HWND focus_ = nullptr;            // the control to give the focus back to
  HWND explanation_tip_ = nullptr;  // txtMD5's tooltip
};

}  // namespace win32
