#pragma once
// Serves one text as a Wayland compositor's clipboard selection from a
// connection of its own (libwayland-client, no toolkit), the way the
// command-line clipboard tools do. It needs the data-control protocol, which
// lets a client without a window or keyboard focus own the selection: sway
// and the other wlroots compositors and KDE Plasma offer it; GNOME does not
// (its compositor keeps the selection itself).

#include <functional>
#include <string>

namespace wayland {

// Takes the selection of the compositor that $WAYLAND_DISPLAY names with
// utf8_text, offered as the usual text types, and serves it until another
// client takes the selection (transfers under way are still completed) or
// the connection ends. on_owned runs once, as soon as the selection is ours.
// Returns false at once, without running on_owned, when no compositor
// answers, it offers no data-control or no seat, or it did not give us the
// selection; true once the text has been served. Ignore SIGPIPE before
// calling: a reader may close its pipe before the text is through.
bool ServeClipboard(std::string utf8_text,
                    const std::function<void()>& on_owned);

}  // namespace wayland
