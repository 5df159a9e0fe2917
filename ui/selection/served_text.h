#pragma once
// What every server of this program's clipboard text holds to, whichever
// window system and process serves it.

#include <chrono>

namespace selection {

// A reader of the text that takes nothing for this long is dropped, and the
// program ends no later than this after its window has gone.
constexpr std::chrono::seconds kStalledReaderLimit(10);

}  // namespace selection
