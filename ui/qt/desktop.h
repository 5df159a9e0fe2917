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

// The clipboard's text, with the window system it is on, while this program
// owns the X11 clipboard or a Wayland compositor's: it would be lost with the
// program unless a clipboard manager or the compositor keeps it (Qt hands it
// to an X11 clipboard manager at exit where one runs).
std::optional<standby::HandOver> OwnedClipboardText();

// Waits until a Wayland compositor has acted on every request made so far
// and Qt has handled every event it sent in return, among them the requests
// to send the clipboard's text, which Qt writes in full as it handles them.
// Does nothing on other platforms, where nothing needs it.
void CatchUpWithCompositor();

// Whether the window system took the text that was just set on Qt's
// clipboard as this program's selection. Qt cannot tell: it believes it owns
// the selection whether or not the window system agreed (a Wayland
// compositor ignores a request whose input serial is stale; an X server one
// whose time is older than the selection's). On X11 the selection's owner
// must be a window of this program's connection; on Wayland the compositor
// must have announced a new selection in answer and not cancelled ours.
// Elsewhere (the offscreen platform) the clipboard is Qt's own, and reading
// expected back suffices.
bool ClipboardTaken(const QString& expected);

// Keeps the text that this program owns on the clipboard, if any, once its
// window has gone: serves the reads asked for before, hands the text to the
// standby (which takes the selection over where the compositor lets it),
// and, while the selection is still this program's (GNOME's compositor keeps
// a copy of it itself, when the owner ends), serves the reads asked for
// within a short grace. Ends the process if a reader stalls the rest past
// the limit that the standby gives a stalled reader.
void HandOverClipboard(standby::ClipboardHolder& holder);

}  // namespace qt
