// Normalization on Windows: kernel32's NormalizeString.

#include <windows.h>

#include <climits>

#include "composition.h"

namespace ui {
namespace {

// Unicode bounds how far normalization form C lengthens a text: three times
// its length at most.
constexpr std::size_t kMostGrowth = 3;

}  // namespace

// Windows refuses a text with a lone surrogate (ERROR_NO_UNICODE_TRANSLATION);
// such a text is taken as it is, and no mark is named in it.
std::u16string ComposedForm(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX / kMostGrowth) {
    return std::u16string(text);
  }
  std::u16string composed(text.size() * kMostGrowth, u'\0');
  const int units = NormalizeString(
      NormalizationC, reinterpret_cast<const wchar_t*>(text.data()),
      static_cast<int>(text.size()),
      reinterpret_cast<wchar_t*>(composed.data()),
      static_cast<int>(composed.size()));
  if (units <= 0) return std::u16string(text);
  composed.resize(static_cast<std::size_t>(units));
  return composed;
}

}  // namespace ui
