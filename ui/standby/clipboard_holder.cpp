#include "clipboard_holder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "wayland_clipboard_server.h"
#include "x11_clipboard_server.h"

namespace standby {
namespace {

using Clock = std::chrono::steady_clock;

// A hand-over is the Session, the text's length in bytes as a TextLength in
// the machine's byte order (both ends are the same program), then the text.
// A standby that reads anything else, or the end of the stream before the
// last byte, has no text to keep. It answers kOwned once the selection is
// its own.
using TextLength = std::uint64_t;
using HandOverHeader = std::array<char, 1 + sizeof(TextLength)>;
constexpr char kOwned = 'O';
constexpr auto kHandOverTimeout = std::chrono::seconds(5);

bool SendAll(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Fills size bytes from socket; false when the stream ends or fails first.
bool ReceiveExactly(int socket, char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t received = recv(socket, bytes, size, 0);
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0) return false;
    bytes += received;
    size -= static_cast<std::size_t>(received);
  }
  return true;
}

// Whether the standby reports, within kHandOverTimeout, that it owns the
// selection.
bool AwaitOwned(int socket) {
  const auto deadline = Clock::now() + kHandOverTimeout;
  pollfd answer{socket, POLLIN, 0};
  int ready = 0;
  do {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - Clock::now());
    const auto wait_ms =
        std::max<std::chrono::milliseconds::rep>(left.count(), 0);
    ready = poll(&answer, 1, static_cast<int>(wait_ms));
  } while (ready < 0 && errno == EINTR);
  char reply = 0;
  return ready == 1 && ReceiveExactly(socket, &reply, 1) && reply == kOwned;
}

// Closes the descriptors first to last: in one call where the kernel has
// close_range (Linux 5.9 on), else one by one up to the highest number that
// the process may open.
void CloseDescriptors(unsigned first, unsigned last) {
#ifdef SYS_close_range
  if (syscall(SYS_close_range, first, last, 0U) == 0) return;
#endif
  const long open_max = sysconf(_SC_OPEN_MAX);
  if (open_max > 0 && static_cast<unsigned long>(open_max - 1) < last) {
    last = static_cast<unsigned>(open_max - 1);
  }
  // 64 bits, so that the loop ends when last is the largest unsigned.
  for (std::uint64_t descriptor = first; descriptor <= last; ++descriptor) {
    close(static_cast<int>(descriptor));
  }
}

// Closes every descriptor from 3 up except kept (>= 3).
void CloseInheritedDescriptors(int kept) {
  const auto kept_descriptor = static_cast<unsigned>(kept);
  constexpr unsigned kFirst = STDERR_FILENO + 1;
  if (kept_descriptor > kFirst) CloseDescriptors(kFirst, kept_descriptor - 1);
  CloseDescriptors(kept_descriptor + 1, ~0U);
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

bool IsSession(char mark) {
  return mark == static_cast<char>(Session::kX11) ||
         mark == static_cast<char>(Session::kWayland);
}

// Waits for the program to end or hand over its text, then holds the text on
// the clipboard it was copied to: on the X11 display x11_display, or on the
// Wayland compositor of $WAYLAND_DISPLAY. Never returns: below it on the
// stack lies the program's own main, which must not go on a second time in
// this process, so an exception (no memory for a huge text) ends the
// standby here.
[[noreturn]] void RunStandby(const std::string& x11_display,
                             int program_socket) {
  try {
    const int socket = Detach(program_socket);
    std::optional<HandOver> hand_over = ReceiveHandOver(socket);
    if (!hand_over) _exit(EXIT_SUCCESS);
    const auto report_owned = [socket] {
      SendAll(socket, std::string_view(&kOwned, 1));
      close(socket);
    };
    if (hand_over->session == Session::kWayland) {
      wayland::ServeClipboard(std::move(hand_over->utf8_text), report_owned);
    } else {
      x11::ServeClipboard(x11_display, std::move(hand_over->utf8_text),
                          report_owned);
    }
    _exit(EXIT_SUCCESS);
  } catch (...) {
    _exit(EXIT_FAILURE);
  }
}

}  // namespace

bool SendHandOver(int socket, Session session, std::string_view utf8_text) {
  HandOverHeader header{static_cast<char>(session)};
  const TextLength length = utf8_text.size();
  std::memcpy(header.data() + 1, &length, sizeof length);
  return SendAll(socket, std::string_view(header.data(), header.size())) &&
         SendAll(socket, utf8_text);
}

std::optional<HandOver> ReceiveHandOver(int socket) {
  HandOverHeader header{};
  if (!ReceiveExactly(socket, header.data(), header.size()) ||
      !IsSession(header[0])) {
    return std::nullopt;
  }
  TextLength length = 0;
  std::memcpy(&length, header.data() + 1, sizeof length);
  std::string text;
  if (length > text.max_size()) return std::nullopt;
  text.resize(static_cast<std::size_t>(length));
  if (!ReceiveExactly(socket, text.data(), text.size())) return std::nullopt;
  return HandOver{static_cast<Session>(header[0]), std::move(text)};
}

ClipboardHolder::ClipboardHolder(const std::string& x11_display, bool wayland) {
  if (x11_display.empty() && !wayland) return;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) {
    close(ends[0]);
    RunStandby(x11_display, ends[1]);
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

bool ClipboardHolder::Keep(Session session, std::string_view utf8_text) {
  if (socket_ < 0) return false;
  const bool owned =
      SendHandOver(socket_, session, utf8_text) && AwaitOwned(socket_);
  Dismiss();
  return owned;
}

void ClipboardHolder::Dismiss() {
  if (socket_ < 0) return;
  close(socket_);
  socket_ = -1;
}

}  // namespace standby
