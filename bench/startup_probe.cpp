// Measures how long a program takes from exec to its first window mapped
// and to that window first drawn, and its resident set then. For the
// start-up benchmark; run it on an X server where nothing else maps windows.
// Usage: startup_probe COMMAND [ARG...]
// Prints: MAP_MS PAINT_MS RSS_KIB ANON_RSS_KIB

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "xcb_handles.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(30);
// The resident set is read once the program has settled after drawing.
constexpr auto kSettleTime = std::chrono::milliseconds(300);

using x11::XcbPtr;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "startup_probe: %s\n", what);
  std::exit(EXIT_FAILURE);
}

pid_t Spawn(char* argv[]) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[0], argv);
    _exit(127);
  }
  if (pid < 0) Fail("cannot fork");
  return pid;
}

// The first top-level window mapped from now on.
xcb_window_t WaitForMappedWindow(xcb_connection_t* connection,
                                 xcb_window_t root) {
  const auto deadline = Clock::now() + kPatience;
  while (Clock::now() < deadline) {
    XcbPtr<xcb_generic_event_t> event(xcb_poll_for_event(connection));
    if (!event) {
      pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
      poll(&descriptor, 1, 100);
      continue;
    }
    if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) continue;
    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
    if (map->event == root && !map->override_redirect) return map->window;
  }
  Fail("no window was mapped");
}

// Whether the window shows more than one colour, that is, has been drawn.
bool IsDrawn(xcb_connection_t* connection, xcb_window_t window) {
  XcbPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(
      connection, xcb_get_geometry(connection, window), nullptr));
  if (!geometry) return false;
  XcbPtr<xcb_get_image_reply_t> image(xcb_get_image_reply(
      connection,
      xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                    geometry->width, geometry->height, ~0u),
      nullptr));
  if (!image) return false;
  const auto* data =
      reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
  const int pixels = xcb_get_image_data_length(image.get()) / 4;
  for (int i = 1; i < pixels; ++i) {
    if (data[i] != data[0]) return true;
  }
  return false;
}

// A field of /proc/PID/status in KiB, such as "VmRSS:".
long StatusKib(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s COMMAND [ARG...]\n", argv[0]);
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) Fail("cannot open the display");
  const xcb_window_t root =
      xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);

  const auto start = Clock::now();
  const pid_t pid = Spawn(argv + 1);
  const xcb_window_t window = WaitForMappedWindow(connection, root);
  const double map_ms = MsSince(start);
  while (!IsDrawn(connection, window)) {
    if (Clock::now() - start > kPatience) Fail("the window was never drawn");
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  const double paint_ms = MsSince(start);
  std::this_thread::sleep_for(kSettleTime);
  const long rss_kib = StatusKib(pid, "VmRSS:");
  const long anon_kib = StatusKib(pid, "RssAnon:");

  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  xcb_disconnect(connection);
  std::printf("%.1f %.1f %ld %ld\n", map_ms, paint_ms, rss_kib, anon_kib);
}
