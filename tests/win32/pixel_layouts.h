#pragma once
// The window in pixels at each DPI the tests show it at, worked out by hand
// from the layout's twips (1440 to the inch, halves rounded up), so that a
// fault in the conversion cannot pass unnoticed.

#include <windows.h>

#include <array>
#include <string>

#include "form_layout.h"

namespace driver {

constexpr RECT Place(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

struct PixelLayout {
  int dpi;
  int client_width, client_height;
  std::array<RECT, ui::kControlCount> controls;  // in slot order
  int tooltip_max_width;                         // 4 inches
};

inline constexpr PixelLayout kPixelLayouts[] = {
    {96,
     259,
     79,
     {Place(2, 2, 253, 19), Place(2, 26, 253, 19), Place(52, 52, 73, 25),
      Place(136, 52, 73, 25)},
     384},
    {120,
     324,
     99,
     {Place(3, 3, 316, 24), Place(3, 33, 316, 24), Place(65, 65, 91, 31),
      Place(170, 65, 91, 31)},
     480},
    {144,
     389,
     119,
     {Place(3, 3, 380, 29), Place(3, 39, 380, 29), Place(78, 78, 110, 38),
      Place(204, 78, 110, 38)},
     576},
};

inline const PixelLayout* PixelLayoutAt(int dpi) {
  for (const PixelLayout& layout : kPixelLayouts) {
    if (layout.dpi == dpi) return &layout;
  }
  return nullptr;
}

inline std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// A control's rectangle in its parent's client coordinates.
inline RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect),
                  2);
  return rect;
}

}  // namespace driver
