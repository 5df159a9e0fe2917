#pragma once
// Serves one text as the X11 CLIPBOARD selection on a connection of its own
// (libxcb, no toolkit), the way the command-line clipboard tools do: it
// answers TARGETS, TIMESTAMP and the text targets, sends large texts in
// INCR chunks, and returns as soon as another client takes the selection.

#include <cstdint>
#include <functional>
#include <string>

namespace x11 {

enum class ServeOutcome {
  kNoDisplay,             // the display could not be opened
  kClipboardManagerRuns,  // a clipboard manager keeps the text; nothing taken
  kNotTaken,              // the server did not give us the selection
  kSelectionLost,         // another client took the selection: done
  kConnectionClosed,      // the X server went away
};

// Takes CLIPBOARD on the X11 display named display with utf8_text and
// serves it until the selection is lost or the connection ends. on_owned
// runs once, as soon as the selection is ours; it does not run for the first
// three outcomes.
ServeOutcome ServeClipboard(const std::string& display, std::string utf8_text,
                            const std::function<void()>& on_owned);

// Whether a selection request made at request_time may be answered by an
// owner since owned_since (both X server times). One made at CurrentTime
// (0) may; another must not be earlier. The server's millisecond clock
// wraps around every 2^32 ms (49.7 days), so, as in the X protocol, a time
// up to 2^31 ms before another is earlier and one up to 2^31 ms after it is
// later.
bool RequestIsCurrent(std::uint32_t request_time, std::uint32_t owned_since);

}  // namespace x11
