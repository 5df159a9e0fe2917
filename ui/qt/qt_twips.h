#pragma once
// The layout table's twips as Qt's logical pixels. Qt lays widgets out at 96
// logical pixels to the inch and scales them itself on denser screens.

#include <QRect>

#include "form_layout.h"

namespace qt {

inline constexpr int kLogicalDpi = 96;

inline QRect ToPixels(const ui::TwipsRect& place) {
  return QRect(ui::TwipsToPixels(place.left, kLogicalDpi),
               ui::TwipsToPixels(place.top, kLogicalDpi),
               ui::TwipsToPixels(place.width, kLogicalDpi),
               ui::TwipsToPixels(place.height, kLogicalDpi));
}

inline QSize ClientSize() {
  return ToPixels({0, 0, ui::kClientWidth, ui::kClientHeight}).size();
}

}  // namespace qt
