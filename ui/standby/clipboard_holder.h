#pragma once
// Keeps a copied text on the clipboard after the program has ended, where
// nothing else would: on X11 without a clipboard manager (Qt hands the text
// to one where it runs), and on Wayland compositors without one that let a
// client without a window own the clipboard (see wayland_clipboard_server.h).
// The standby process that will hold it is forked when the holder is made,
// at start-up, before any thread, window or typed text exists, so that what
// lingers after the program holds nothing but the copied text.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace standby {

// The window system whose clipboard holds the text: the one the program's
// window is on.
enum class Session : char { kX11 = 'X', kWayland = 'W' };

class ClipboardHolder {
 public:
  // Forks the standby when the window may be on the X11 display named
  // x11_display (empty: none) or on Wayland. Make it before any thread
  // starts.
  ClipboardHolder(const std::string& x11_display, bool wayland);
  // Dismisses the standby unless Keep handed it a text.
  ~ClipboardHolder();
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

  // Hands utf8_text to the standby, which then takes the clipboard of
  // session over from this program and serves it until another client takes
  // it, unless a clipboard manager runs. Call it while this program still
  // owns the clipboard, so that it is never without an owner. Returns once
  // the standby owns it (true) or has given up or not answered within a few
  // seconds (false).
  bool Keep(Session session, std::string_view utf8_text);

  // The standby's process id, or -1 when none was forked. The standby is
  // not reaped here: it is meant to outlive this program.
  pid_t standby_pid() const { return standby_pid_; }

 private:
  void Dismiss();

  int socket_ = -1;
  pid_t standby_pid_ = -1;
};

// The hand-over of a text from the program to its standby over a stream
// socket. It carries the text's session and length, so that a program that
// dies halfway hands over nothing.
struct HandOver {
  Session session;
  std::string utf8_text;
};
bool SendHandOver(int socket, Session session, std::string_view utf8_text);
// What was handed over on socket, or nothing when the program ended without
// handing a text over whole.
std::optional<HandOver> ReceiveHandOver(int socket);

}  // namespace standby
