#pragma once
// What the program asks of the desktop session around it, before the
// application object exists and after it has gone.

#include <QString>
#include <optional>
#include <string>

#include "clipboard_holder.h"

namespace qt {

// The X11 display that Qt will open: the one named by the last "-display
// NAME" (or "--display NAME") among the program's arguments, read the way
// Qt's X11 plugin reads them, else $DISPLAY; empty when neither names one.
// Read from the arguments rather than asked of Qt, because the display
// check and the clipboard standby (forked before any thread exists) both
// need it before Qt starts, and Qt tells its display's name only through
// Xlib, which it may be built without.
std::string X11DisplayName(int argc, const char* const argv[]);

// Whether Qt has somewhere to show the window: a platform other than X11
// named in QT_QPA_PLATFORM (Qt's to judge), a Wayland display, or the X11
// display x11_display that answers. Without one, Qt would abort with a core
// dump.
bool DisplayAvailable(const std::string& x11_display);

// One line telling the user why the program cannot start and what to do.
std::string NoDisplayMessage(const std::string& x11_display);

// Whether Qt may show the window on Wayland: a compositor is named in
// WAYLAND_DISPLAY and QT_QPA_PLATFORM names no other platform.
bool WaylandPossible();

// Whether Qt shows the window on Wayland.
bool OnWayland();

// Waits until a Wayland compositor has acted on every request made so far
// and Qt has handled every event it sent in return, among them the requests
// to send the clipboard's text, which Qt writes in full as it handles them.
// Does nothing on other platforms, where nothing needs it.
void CatchUpWithCompositor();

// Who keeps a copy on the clipboard once the window has gone.
enum class Keeper {
  // Nobody: nothing confirmed, or the clipboard holds something else now.
  kNobody,
  // The standby, which took the selection over.
  kStandby,
  // The window system: a compositor that read the text as soon as it was
  // set, to keep it itself (GNOME's, Weston's), or on X11 Qt's hand-over to
  // a clipboard manager, which follows when the program ends.
  kWindowSystem,
  // This process, windowless, through KeepServingUntilReplaced: nobody else
  // can take the selection over here.
  kThisProcess,
};

// This program's side of the clipboard. Qt cannot tell whether the window
// system took a text set on its clipboard: it believes it owns the
// selection whether or not the window system agreed (a Wayland compositor
// ignores a request whose input serial is stale, an X server one whose time
// is older than the selection's), and goes on believing it. So a copy counts
// here only once the window system has confirmed it, and only a confirmed
// copy that the clipboard still shows is ever handed on when the program
// ends.
class Clipboard {
 public:
  // Empties the clipboard and waits for the compositor's answer, so that the
  // empty selection it announces is not taken for the answer to a copy.
  void Clear();

  // Sets text as the clipboard's plain text; true once the window system
  // has confirmed it as this program's selection. On X11 the selection's
  // owner must then be a window of this program's connection; on Wayland
  // the compositor must have announced a new selection in answer and not
  // cancelled ours. Elsewhere (the offscreen platform) the clipboard is Qt's
  // own, and reading text back suffices.
  bool Copy(const QString& text);

  // Keeps the last confirmed copy on the clipboard once the window has
  // gone, if the clipboard still shows it as this program's (not a later
  // copy of the user's from a text box, nor another program's): serves the
  // reads asked for before, hands the text to the standby (which takes the
  // selection over where the compositor lets it), and, where the window
  // system keeps a copy itself, serves the reads asked for within a short
  // grace. Ends the process if a reader stalls the rest past the limit that
  // the standby gives a stalled reader. Says who keeps the copy from then
  // on; nothing else is ever handed on.
  Keeper HandOver(standby::ClipboardHolder& holder) const;

 private:
  // Whether the window system confirms text, just set, as this program's
  // selection.
  bool Confirmed(const QString& text);
  // Whether the clipboard still shows the confirmed copy as ours.
  bool StillShown(standby::Session session) const;

  std::optional<QString> confirmed_;
  // Whether, while the copy was being confirmed, someone read it: on
  // Wayland, with the window focused, only the compositor itself or a
  // clipboard manager can, and both do so to keep it.
  bool read_when_set_ = false;
};

// The last resort on a Wayland compositor that keeps nothing and lets no
// other client take the selection over (no data-control, or none for a
// sandboxed client): serves the selection that this process still owns,
// with no window, until another client takes it or the connection to the
// compositor ends, as the command-line clipboard tools do. A reader that
// stalls a transfer past the standby's limit ends the process.
void KeepServingUntilReplaced();

}  // namespace qt
