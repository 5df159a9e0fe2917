#pragma once
// Keeps a copied text on the X11 clipboard after the program has ended, for
// desktops without a clipboard manager (Qt hands the text to one where it
// runs), and likewise on Wayland compositors that let a client without a
// window own the clipboard (see wayland_clipboard_server.h). The standby
// process that will hold it is forked when the holder is made, at start-up,
// before any thread, window or typed text exists, so that what lingers after
// the program holds nothing but the copied text.

#include <sys/types.h>

#include <string_view>

namespace x11 {

class ClipboardHolder {
 public:
  // Forks the standby on an X11 or Wayland session. Make it before any
  // thread starts.
  ClipboardHolder();
  // Dismisses the standby unless Keep handed it a text.
  ~ClipboardHolder();
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

  // The window system whose clipboard holds the text: the one the program's
  // window is on.
  enum class Session { kX11, kWayland };

  // Hands utf8_text to the standby, which then takes CLIPBOARD over from
  // this program and serves it until another client takes the selection,
  // unless a clipboard manager runs. Call it while this program still owns
  // the selection, so that the clipboard is never without an owner. Returns
  // once the standby owns the selection (true) or has given up or not
  // answered within a few seconds (false).
  bool Keep(std::string_view utf8_text, Session session = Session::kX11);

  // The standby's process id, or -1 when none was forked. The standby is
  // not reaped here: it is meant to outlive this program.
  pid_t standby_pid() const { return standby_pid_; }

 private:
  void Dismiss();

  int socket_ = -1;
  pid_t standby_pid_ = -1;
};

}  // namespace x11
