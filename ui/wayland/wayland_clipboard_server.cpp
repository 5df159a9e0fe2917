#include "wayland_clipboard_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "clipboard_text_types.h"
#include "ext_data_control_v1.h"
#include "served_text.h"
#include "wlr_data_control_unstable_v1.h"

// Both names of the protocol have the same messages at the same positions
// with the same signatures: the code below speaks through the standard
// name's declarations and takes the interfaces (what goes by name on the
// wire) from the name the compositor offers.

namespace wayland {
namespace {

using Clock = std::chrono::steady_clock;

// How often readers are checked against selection::kStalledReaderLimit.
constexpr int kStalledCheckIntervalMs = 1000;
// The X11 server's names, so that X11 programs under Xwayland find theirs.
using clipboard::kTextTypes;
// The first version of every interface holds all that is used here. (The
// standard name's first version already sends the primary selection too.)
constexpr std::uint32_t kBoundVersion = 1;

// One name of the data-control protocol.
struct DataControlNames {
  const wl_interface* manager;
  const wl_interface* device;
  const wl_interface* source;
};
// The standard name first: a compositor that offers both prefers it.
const std::array<DataControlNames, 2> kDataControlNames = {{
    {&ext_data_control_manager_v1_interface,
     &ext_data_control_device_v1_interface,
     &ext_data_control_source_v1_interface},
    {&zwlr_data_control_manager_v1_interface,
     &zwlr_data_control_device_v1_interface,
     &zwlr_data_control_source_v1_interface},
}};

template <auto destroy>
struct Destroyer {
  template <typename T>
  void operator()(T* object) const {
    destroy(object);
  }
};
template <typename T, auto destroy>
using Owned = std::unique_ptr<T, Destroyer<destroy>>;

using Display = Owned<wl_display, wl_display_disconnect>;
using Registry = Owned<wl_registry, wl_registry_destroy>;
using Seat = Owned<wl_seat, wl_seat_destroy>;
using Manager =
    Owned<ext_data_control_manager_v1, ext_data_control_manager_v1_destroy>;
using Device =
    Owned<ext_data_control_device_v1, ext_data_control_device_v1_destroy>;
using Source =
    Owned<ext_data_control_source_v1, ext_data_control_source_v1_destroy>;

// The globals this server binds, by their registry names.
struct Globals {
  std::optional<std::uint32_t> seat;
  // Each name's manager, where the compositor offers it.
  std::array<std::optional<std::uint32_t>, kDataControlNames.size()> managers;

  void Add(std::uint32_t name, std::string_view interface) {
    // The first seat: the one a desktop has, or its main one.
    if (!seat && interface == wl_seat_interface.name) seat = name;
    for (std::size_t i = 0; i < managers.size(); ++i) {
      if (interface == kDataControlNames[i].manager->name) managers[i] = name;
    }
  }
};

void OnGlobal(void* data, wl_registry*, std::uint32_t name,
              const char* interface, std::uint32_t) {
  static_cast<Globals*>(data)->Add(name, interface);
}
void OnGlobalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener = {&OnGlobal,
                                                    &OnGlobalRemoved};

// The registry keeps announcing globals (an output plugged in, a seat
// added) as long as the connection lasts, so globals must outlive it.
bool FindGlobals(wl_display* display, wl_registry* registry, Globals& globals) {
  wl_registry_add_listener(registry, &kRegistryListener, &globals);
  return wl_display_roundtrip(display) >= 0;
}

// Makes an object through a request of factory's with the interface that
// the compositor knows it by (the generated functions would always give the
// standard name's).
template <typename Made, typename Factory, typename... Arguments>
Made* Make(Factory* factory, std::uint32_t opcode,
           const wl_interface* interface, Arguments... arguments) {
  auto* proxy = reinterpret_cast<wl_proxy*>(factory);
  return reinterpret_cast<Made*>(wl_proxy_marshal_flags(
      proxy, opcode, interface, wl_proxy_get_version(proxy), 0, nullptr,
      arguments...));
}

// A reader's pipe and the part of the text it has yet to get.
struct Transfer {
  int fd;
  std::string_view rest;
  Clock::time_point last_progress;
};

class ClipboardServer {
 public:
  ClipboardServer(wl_display* display, std::string utf8_text)
      : display_(display), utf8_(std::move(utf8_text)) {}
  ~ClipboardServer() {
    for (const Transfer& transfer : transfers_) close(transfer.fd);
  }
  ClipboardServer(const ClipboardServer&) = delete;
  ClipboardServer& operator=(const ClipboardServer&) = delete;

  bool Run(wl_seat* seat, ext_data_control_manager_v1* manager,
           const DataControlNames& names,
           const std::function<void()>& on_owned) {
    Device device(Make<ext_data_control_device_v1>(
        manager, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE, names.device,
        seat));
    ext_data_control_device_v1_add_listener(device.get(), &kDeviceListener,
                                            this);
    Source source(Make<ext_data_control_source_v1>(
        manager, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE, names.source));
    ext_data_control_source_v1_add_listener(source.get(), &kSourceListener,
                                            this);
    for (const char* type : kTextTypes) {
      ext_data_control_source_v1_offer(source.get(), type);
    }
    ext_data_control_device_v1_set_selection(device.get(), source.get());
    // The selection is ours unless the compositor refused the request or
    // cancelled the source by the time it has answered.
    owned_ = true;
    if (wl_display_roundtrip(display_) < 0 || !owned_) return false;
    on_owned();
    ServeUntilDone();
    return true;
  }

 private:
  static void OnDataOffer(void*, ext_data_control_device_v1*,
                          ext_data_control_offer_v1*) {}
  // Every new selection, ours included, and every new primary selection
  // comes as an offer that we do not read.
  static void OnSelection(void*, ext_data_control_device_v1*,
                          ext_data_control_offer_v1* offer) {
    if (offer != nullptr) ext_data_control_offer_v1_destroy(offer);
  }
  // The seat has gone, and the selection with it.
  static void OnFinished(void* data, ext_data_control_device_v1*) {
    static_cast<ClipboardServer*>(data)->owned_ = false;
  }
  static constexpr ext_data_control_device_v1_listener kDeviceListener = {
      &OnDataOffer, &OnSelection, &OnFinished, &OnSelection};

  static void OnSend(void* data, ext_data_control_source_v1*,
                     const char* mime_type, std::int32_t fd) {
    static_cast<ClipboardServer*>(data)->StartTransfer(mime_type, fd);
  }
  static void OnCancelled(void* data, ext_data_control_source_v1*) {
    static_cast<ClipboardServer*>(data)->owned_ = false;
  }
  static constexpr ext_data_control_source_v1_listener kSourceListener = {
      &OnSend, &OnCancelled};

  void StartTransfer(std::string_view mime_type, int fd) {
    const bool offered = std::find(kTextTypes.begin(), kTextTypes.end(),
                                   mime_type) != kTextTypes.end();
    const int flags = fcntl(fd, F_GETFL);
    if (!offered || flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
      close(fd);
      return;
    }
    transfers_.push_back({fd, utf8_, Clock::now()});
  }

  void ServeUntilDone() {
    while (true) {
      // Events already read first: they may end the serving or add readers.
      if (wl_display_dispatch_pending(display_) < 0) return;
      WriteToReaders();
      if (!owned_ && transfers_.empty()) return;
      if (wl_display_prepare_read(display_) != 0) continue;
      if (!WaitAndReadEvents()) return;
    }
  }

  // Waits until the compositor sends something, a reader's pipe has room or
  // it is time to look for stalled readers. False when the connection ends.
  bool WaitAndReadEvents() {
    const bool flushed = wl_display_flush(display_) >= 0;
    if (!flushed && errno != EAGAIN) {
      wl_display_cancel_read(display_);
      return false;
    }
    std::vector<pollfd> descriptors;
    descriptors.push_back(
        {wl_display_get_fd(display_),
         static_cast<short>(flushed ? POLLIN : POLLIN | POLLOUT), 0});
    for (const Transfer& transfer : transfers_) {
      descriptors.push_back({transfer.fd, POLLOUT, 0});
    }
    const int timeout_ms = transfers_.empty() ? -1 : kStalledCheckIntervalMs;
    if (poll(descriptors.data(), descriptors.size(), timeout_ms) > 0 &&
        (descriptors.front().revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
      return wl_display_read_events(display_) >= 0;
    }
    wl_display_cancel_read(display_);
    return true;
  }

  // Writes what each reader's pipe takes; closes it once the text is through,
  // the reader has gone, or it has taken nothing for too long.
  void WriteToReaders() {
    const auto now = Clock::now();
    std::erase_if(transfers_, [now](Transfer& transfer) {
      const ssize_t written =
          transfer.rest.empty()
              ? 0
              : write(transfer.fd, transfer.rest.data(), transfer.rest.size());
      if (written > 0) {
        transfer.rest.remove_prefix(static_cast<std::size_t>(written));
        transfer.last_progress = now;
      }
      const bool waiting = written < 0 && (errno == EAGAIN || errno == EINTR);
      const bool done =
          transfer.rest.empty() || (written < 0 && !waiting) ||
          now - transfer.last_progress > selection::kStalledReaderLimit;
      if (done) close(transfer.fd);
      return done;
    });
  }

  wl_display* const display_;
  const std::string utf8_;
  bool owned_ = false;
  std::vector<Transfer> transfers_;
};

}  // namespace

bool ServeClipboard(std::string utf8_text,
                    const std::function<void()>& on_owned) {
  Globals globals;
  Display display(wl_display_connect(nullptr));
  if (!display) return false;
  Registry registry(wl_display_get_registry(display.get()));
  if (!FindGlobals(display.get(), registry.get(), globals) || !globals.seat) {
    return false;
  }
  const auto offered =
      std::find_if(globals.managers.begin(), globals.managers.end(),
                   [](const auto& manager) { return manager.has_value(); });
  if (offered == globals.managers.end()) return false;
  const DataControlNames& names = kDataControlNames[static_cast<std::size_t>(
      offered - globals.managers.begin())];
  Seat seat(static_cast<wl_seat*>(wl_registry_bind(
      registry.get(), *globals.seat, &wl_seat_interface, kBoundVersion)));
  Manager manager(static_cast<ext_data_control_manager_v1*>(wl_registry_bind(
      registry.get(), **offered, names.manager, kBoundVersion)));
  return ClipboardServer(display.get(), std::move(utf8_text))
      .Run(seat.get(), manager.get(), names, on_owned);
}

}  // namespace wayland
