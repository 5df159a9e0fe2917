#pragma once
// Serves one text as the X11 CLIPBOARD selection on a connection of its own
// (libxcb, no toolkit), the way the command-line clipboard tools do: it
// answers TARGETS, TIMESTAMP and the text targets, sends large texts in
// INCR chunks, and returns as soon as another client takes the selection.

#include <functional>
#include <string>

namespace x11 {

enum class ServeOutcome {
  kNoDisplay,             // $DISPLAY could not be opened
  kClipboardManagerRuns,  // a clipboard manager keeps the text; nothing taken
  kNotTaken,              // the server did not give us the selection
  kSelectionLost,         // another client took the selection: done
  kConnectionClosed,      // the X server went away
};

// Takes CLIPBOARD on $DISPLAY with utf8_text and serves it until the
// selection is lost or the connection ends. on_owned runs once, as soon as
// the selection is ours; it does not run for the first three outcomes.
ServeOutcome ServeClipboard(std::string utf8_text,
                            const std::function<void()>& on_owned);

}  // namespace x11
