#pragma once
// Learns from a Wayland compositor what the seat's clipboard selection
// offers, on a connection that a toolkit holds: through a data device of its
// own on an event queue of its own, so that the toolkit's objects and their
// handling are left alone. The compositor announces the selection to the
// client whose window has the keyboard focus, when the focus arrives and
// whenever the selection changes.

#include <memory>
#include <string_view>

struct wl_display;

namespace wayland {

class SelectionWatch {
 public:
  // Watches the first seat of the compositor that display is connected to.
  // Make it before the window gets the focus, which is when the compositor
  // tells the selection. Waits for one answer of the compositor's.
  explicit SelectionWatch(wl_display* display);
  ~SelectionWatch();
  SelectionWatch(const SelectionWatch&) = delete;
  SelectionWatch& operator=(const SelectionWatch&) = delete;

  // Waits until the compositor has acted on every request made so far on
  // the connection, and tells whether the selection that it announced last
  // offers type. False when it announced none or has no seat or data device
  // manager, or when the connection has failed.
  bool SelectionOffers(std::string_view type);

 private:
  struct Watched;
  std::unique_ptr<Watched> watched_;
};

}  // namespace wayland
