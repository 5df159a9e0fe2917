#include "x11_clipboard_holder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "wayland_clipboard_server.h"
#include "x11_clipboard_server.h"

namespace x11 {
namespace {

// The first byte of a hand-over; a standby that reads anything else, or
// nothing before the end of the stream, has no text to keep.
constexpr char kTextFollows = 'T';
constexpr char kOwned = 'O';
// Sent ahead of a hand-over when the text is on a Wayland compositor's
// clipboard rather than on X11's.
constexpr char kOnWayland = 'W';
constexpr int kHandOverTimeoutMs = 5000;

bool SendAll(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::string ReceiveAll(int socket) {
  std::string bytes;
  char buffer[16384];
  ssize_t received;
  while ((received = recv(socket, buffer, sizeof buffer, 0)) > 0) {
    bytes.append(buffer, static_cast<std::size_t>(received));
  }
  return bytes;
}

// Closes every descriptor from 3 up except kept (>= 3).
void CloseInheritedDescriptors(int kept) {
  const auto kept_descriptor = static_cast<unsigned>(kept);
  constexpr unsigned kFirst = STDERR_FILENO + 1;
  if (kept_descriptor > kFirst) close_range(kFirst, kept_descriptor - 1, 0);
  close_range(kept_descriptor + 1, ~0U, 0);
}

// The standby must not hold the terminal, its session, the working directory
// or any descriptor it inherited: it may outlive all of them, and whoever
// waits for the end of a pipe that it holds would wait as long. Returns the
// socket, moved above the standard streams in case it was one of them.
int Detach(int socket) {
  setsid();
  const int kept = fcntl(socket, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (kept < 0) _exit(EXIT_FAILURE);
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
  CloseInheritedDescriptors(kept);
  if (chdir("/") != 0) _exit(EXIT_FAILURE);
  std::signal(SIGPIPE, SIG_IGN);
  return kept;
}

// Whether the program may show its window on X11, or on Wayland: where
// WAYLAND_DISPLAY is set and Qt is not told to use another platform.
bool WindowSystemAvailable() {
  const auto set = [](const char* value) {
    return value != nullptr && *value != '\0';
  };
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool wayland_platform =
      !set(platform) || std::strncmp(platform, "wayland", 7) == 0;
  return set(std::getenv("DISPLAY")) ||
         (set(std::getenv("WAYLAND_DISPLAY")) && wayland_platform);
}

// Removes the Wayland mark from the front of message; whether it was there.
bool TakeWaylandMark(std::string& message) {
  if (message.empty() || message.front() != kOnWayland) return false;
  message.erase(0, 1);
  return true;
}

// Serves the text on the clipboard it was copied to.
void Serve(bool on_wayland, std::string text,
           const std::function<void()>& on_owned) {
  if (on_wayland) {
    wayland::ServeClipboard(std::move(text), on_owned);
  } else {
    ServeClipboard(std::move(text), on_owned);
  }
}

// Waits for the program to end or hand over its text, then holds the text.
[[noreturn]] void RunStandby(int program_socket) {
  const int socket = Detach(program_socket);
  std::string message = ReceiveAll(socket);
  const bool on_wayland = TakeWaylandMark(message);
  if (message.empty() || message.front() != kTextFollows) _exit(EXIT_SUCCESS);
  message.erase(0, 1);
  Serve(on_wayland, std::move(message), [socket] {
    SendAll(socket, std::string_view(&kOwned, 1));
    close(socket);
  });
  _exit(EXIT_SUCCESS);
}

}  // namespace

ClipboardHolder::ClipboardHolder() {
  if (!WindowSystemAvailable()) return;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) {
    close(ends[0]);
    RunStandby(ends[1]);
  }
  close(ends[1]);
  if (pid > 0) {
    socket_ = ends[0];
    standby_pid_ = pid;
  } else {
    close(ends[0]);
  }
}

ClipboardHolder::~ClipboardHolder() { Dismiss(); }

bool ClipboardHolder::Keep(std::string_view utf8_text, Session session) {
  if (socket_ < 0) return false;
  // Should it fail, so does the hand-over after it.
  if (session == Session::kWayland) SendAll(socket_, {&kOnWayland, 1});
  const bool sent = SendAll(socket_, std::string(1, kTextFollows)) &&
                    SendAll(socket_, utf8_text);
  shutdown(socket_, SHUT_WR);
  pollfd answer{socket_, POLLIN, 0};
  char reply = 0;
  const bool owned = sent && poll(&answer, 1, kHandOverTimeoutMs) == 1 &&
                     recv(socket_, &reply, 1, 0) == 1 && reply == kOwned;
  Dismiss();
  return owned;
}

void ClipboardHolder::Dismiss() {
  if (socket_ < 0) return;
  close(socket_);
  socket_ = -1;
}

}  // namespace x11
