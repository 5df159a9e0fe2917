#pragma once
// Plain xcb as the clipboard server, its test and the start-up probe use it:
// replies and events that free themselves, atoms by name, and a window of
// one's own to receive selections and property changes on.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace x11 {

struct FreeDeleter {
  void operator()(void* pointer) const { std::free(pointer); }
};
// A reply or an event, which xcb leaves to its caller to free.
template <typename T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

// The atom named name, or XCB_ATOM_NONE when the server gives no answer.
inline xcb_atom_t InternAtom(xcb_connection_t* connection,
                             std::string_view name) {
  const XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()),
                      name.data()),
      nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// An unmapped 1x1 input-only window on the first screen that reports changes
// of its properties, which is how converted selections arrive.
inline xcb_window_t CreatePropertyWindow(xcb_connection_t* connection) {
  const xcb_screen_t* screen =
      xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_window_t window = xcb_generate_id(connection);
  const std::uint32_t event_mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0,
                    0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &event_mask);
  return window;
}

}  // namespace x11
