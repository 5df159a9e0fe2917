#include "colours.h"

#include <algorithm>
#include <cmath>

namespace win32 {
namespace {

constexpr double kReadableContrast = 4.5;

// One sRGB channel (0 to 255) as linear light (0 to 1).
double Linear(BYTE channel) {
  const double value = channel / 255.0;
  return value <= 0.04045 ? value / 12.92
                          : std::pow((value + 0.055) / 1.055, 2.4);
}

// Relative luminance, 0 (black) to 1 (white).
double Luminance(COLORREF colour) {
  return 0.2126 * Linear(GetRValue(colour)) +
         0.7152 * Linear(GetGValue(colour)) +
         0.0722 * Linear(GetBValue(colour));
}

// From 1 (the same luminance) to 21 (black against white).
double Contrast(COLORREF a, COLORREF b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

COLORREF ReadableTextColour(COLORREF background, COLORREF preferred) {
  if (Contrast(preferred, background) >= kReadableContrast) return preferred;
  constexpr COLORREF kBlack = RGB(0, 0, 0);
  constexpr COLORREF kWhite = RGB(255, 255, 255);
  return Contrast(kBlack, background) >= Contrast(kWhite, background) ? kBlack
                                                                      : kWhite;
}

}  // namespace win32
