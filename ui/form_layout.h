#pragma once
// The facts of the main window frmQuorlex, in one place: its caption and
// client size, and each control's kind, place, text, tab index and
// accessible name. Front ends create what this table lists and only turn
// twips into pixels; their tests compare the running window with it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace ui {

// Places and sizes are in twips: 1440 to the logical inch, so 15 to the
// pixel at 96 DPI.
inline constexpr int kTwipsPerInch = 1440;

// In a language written right to left the window is mirrored: left then
// counts from the right edge of the client area.
struct TwipsRect {
  int left, top, width, height;
};

// twips at dpi pixels to the logical inch, rounded to the nearest pixel
// (halves away from zero), as Win32's MulDiv rounds. 0 <= twips, dpi.
constexpr int TwipsToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

inline constexpr char16_t kCaption[] = u"Text to MD5";

// The output box's tooltip wraps its lines where they would pass this width.
inline constexpr int kTooltipMaxWidthTwips = 4 * kTwipsPerInch;

// The client area; the window is made this size and may be resized, but
// the controls stay where the table puts them.
inline constexpr int kClientWidth = 3885;
inline constexpr int kClientHeight = 1185;

// What txtMD5 holds until the load event puts the empty text's digest there.
inline constexpr char16_t kOutputPlaceholder[] = u"---";

// The index of each member of the cmdClose button array, as the click
// handler receives it.
enum CloseButton : std::int16_t { kCopyAndClose = 0, kClose = 1 };
inline constexpr std::array<CloseButton, 2> kCloseButtons = {kCopyAndClose,
                                                             kClose};

enum class ControlKind { kTextBox, kButton };

struct ControlFacts {
  const char* name;  // as the program's code knows it
  ControlKind kind;
  TwipsRect place;       // in the client area
  const char16_t* text;  // initial text, or a button's caption
  int tab_index;         // 0 is first
  // What a screen reader calls a text box, which has no caption of its
  // own; null for a button, which its caption names.
  const char16_t* accessible_name;
  // Read left to right in every language (the digest's hex digits), where
  // the other controls follow the direction of the user's language.
  bool left_to_right;
};

// The controls in the order of their creation.
enum ControlSlot : std::size_t {
  kTxtText,
  kTxtMD5,
  kCopyAndCloseButton,
  kCloseButton,
  kControlCount
};

inline constexpr std::array<ControlFacts, kControlCount> kControls = {{
    {"txtText",
     ControlKind::kTextBox,
     {30, 30, 3795, 285},
     u"",
     0,
     u"Text",
     false},
    {"txtMD5",
     ControlKind::kTextBox,
     {30, 390, 3795, 285},
     kOutputPlaceholder,
     1,
     u"MD5 digest",
     true},
    {"cmdClose",
     ControlKind::kButton,
     {780, 780, 1095, 375},
     u"Copy+Close",
     3,
     nullptr,
     false},
    {"cmdClose",
     ControlKind::kButton,
     {2040, 780, 1095, 375},
     u"Close",
     2,
     nullptr,
     false},
}};

constexpr const char16_t* AccessibleName(const ControlFacts& control) {
  return control.accessible_name != nullptr ? control.accessible_name
                                            : control.text;
}

// The slot of each member of cmdClose, by its index.
constexpr ControlSlot CloseButtonSlot(CloseButton index) {
  return index == kCopyAndClose ? kCopyAndCloseButton : kCloseButton;
}

// The slots in tab order.
constexpr std::array<ControlSlot, kControlCount> TabOrder() {
  std::array<ControlSlot, kControlCount> order{};
  for (std::size_t slot = 0; slot < kControlCount; ++slot) {
    order[static_cast<std::size_t>(kControls[slot].tab_index)] =
        static_cast<ControlSlot>(slot);
  }
  return order;
}

}  // namespace ui
