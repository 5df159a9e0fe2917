#pragma once
// What the program asks of the desktop session around it, before the
// application object exists and after it has gone.

#include <optional>
#include <string>

namespace ui {

// Whether Qt has somewhere to show the window: a platform other than X11
// named in QT_QPA_PLATFORM (Qt's to judge), a Wayland display, or an X11
// display that answers. Without one, Qt would abort with a core dump.
bool DisplayAvailable();

// One line telling the user why the program cannot start and what to do.
std::string NoDisplayMessage();

// The clipboard's text while this program owns the X11 clipboard, which
// would be lost with the program unless a clipboard manager takes it (Qt
// hands it to one at exit where one runs).
std::optional<std::string> OwnedX11ClipboardText();

// The clipboard's text while this program owns a Wayland compositor's
// clipboard, which would be lost with the program unless the compositor or
// a clipboard manager keeps it.
std::optional<std::string> OwnedWaylandClipboardText();

}  // namespace ui
