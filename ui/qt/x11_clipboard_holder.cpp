#include "x11_clipboard_holder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <utility>

#include "x11_clipboard_server.h"

namespace x11 {
namespace {

// The first byte of a hand-over; a standby that reads anything else, or
// nothing before the end of the stream, has no text to keep.
constexpr char kTextFollows = 'T';
constexpr char kOwned = 'O';
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

// The standby must not hold the terminal, its session or the working
// directory: it may outlive all of them.
void Detach() {
  setsid();
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO) close(null);
  }
  if (chdir("/") != 0) _exit(EXIT_FAILURE);
  std::signal(SIGPIPE, SIG_IGN);
}

// Waits for the program to end or hand over its text, then holds the text.
[[noreturn]] void RunStandby(int socket) {
  Detach();
  std::string message = ReceiveAll(socket);
  if (message.empty() || message.front() != kTextFollows) _exit(EXIT_SUCCESS);
  message.erase(0, 1);
  ServeClipboard(std::move(message), [socket] {
    SendAll(socket, std::string_view(&kOwned, 1));
    close(socket);
  });
  _exit(EXIT_SUCCESS);
}

}  // namespace

ClipboardHolder::ClipboardHolder() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return;
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
  } else {
    close(ends[0]);
  }
}

ClipboardHolder::~ClipboardHolder() { Dismiss(); }

bool ClipboardHolder::Keep(std::string_view utf8_text) {
  if (socket_ < 0) return false;
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
