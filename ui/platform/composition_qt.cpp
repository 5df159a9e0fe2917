// Normalization on Linux: Qt's, which the program loads anyway.

#include <QString>

#include "composition.h"

namespace ui {

std::u16string ComposedForm(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))
      .normalized(QString::NormalizationForm_C)
      .toStdU16String();
}

}  // namespace ui
