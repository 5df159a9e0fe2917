#pragma once
// Keeps a copied text on the X11 clipboard after the program has ended, for
// desktops without a clipboard manager (Qt hands the text to one where it
// runs). The standby process that will hold it is forked when the holder is
// made, at start-up, before any thread, window or typed text exists, so that
// what lingers after the program holds nothing but the copied text.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace x11 {

class ClipboardHolder {
 public:
  // Forks the standby that will serve on the X11 display named display;
  // an empty name forks none. Make it before any thread starts.
  explicit ClipboardHolder(const std::string& display);
  // Dismisses the standby unless Keep handed it a text.
  ~ClipboardHolder();
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

  // Hands utf8_text to the standby, which then takes CLIPBOARD over from
  // this program and serves it until another client takes the selection,
  // unless a clipboard manager runs. Call it while this program still owns
  // the selection, so that the clipboard is never without an owner. Returns
  // once the standby owns the selection (true) or has given up or not
  // answered within a few seconds (false).
  bool Keep(std::string_view utf8_text);

  // The standby's process id, or -1 when none was forked. The standby is
  // not reaped here: it is meant to outlive this program.
  pid_t standby_pid() const { return standby_pid_; }

 private:
  void Dismiss();

  int socket_ = -1;
  pid_t standby_pid_ = -1;
};

// The hand-over of a text from the program to its standby over a stream
// socket, whatever the standby then serves it on. It carries the text's
// length, so that a program that dies halfway hands over nothing.
bool SendHandOver(int socket, std::string_view utf8_text);
// The text handed over on socket, or nothing when the program ended without
// handing one over whole.
std::optional<std::string> ReceiveHandOver(int socket);

}  // namespace x11
