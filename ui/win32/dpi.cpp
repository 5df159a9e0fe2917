#include "dpi.h"

#include "win32_error.h"

namespace win32 {
namespace {

// user32's function name, typed as the header declares it; null where this
// Windows lacks it. User32 is imported, so it is always loaded. GCC lets any
// function pointer pass through void (*)() without a warning.
template <typename Function>
Function* FromUser32(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Function*>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) ThrowLastError("GetDC");
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  Check(ReleaseDC(nullptr, screen), "ReleaseDC");
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND window) {
  if (const auto dpi_for_window =
          FromUser32<decltype(::GetDpiForWindow)>("GetDpiForWindow")) {
    const UINT dpi = dpi_for_window(window);
    if (dpi == 0) ThrowLastError("GetDpiForWindow");
    return static_cast<int>(dpi);
  }
  return SystemDpi();
}

LOGFONTW MessageFontAt(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (const auto for_dpi = FromUser32<decltype(::SystemParametersInfoForDpi)>(
          "SystemParametersInfoForDpi")) {
    Check(for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                  static_cast<UINT>(dpi)),
          "SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS)");
    return metrics.lfMessageFont;
  }
  Check(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                              0),
        "SystemParametersInfoW(SPI_GETNONCLIENTMETRICS)");
  // Older releases give the font at the system DPI, in pixels.
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
  return font;
}

RECT FrameAt(const RECT& client, DWORD style, DWORD ex_style, int dpi) {
  RECT frame = client;
  if (const auto for_dpi = FromUser32<decltype(::AdjustWindowRectExForDpi)>(
          "AdjustWindowRectExForDpi")) {
    Check(for_dpi(&frame, style, FALSE, ex_style, static_cast<UINT>(dpi)),
          "AdjustWindowRectExForDpi");
  } else {
    // Before per-monitor DPI v2 the system draws frames at the system DPI
    // on every monitor.
    Check(AdjustWindowRectEx(&frame, style, FALSE, ex_style),
          "AdjustWindowRectEx");
  }
  return frame;
}

}  // namespace win32
