// Asks an X11 window to close as a window manager's close button does: a
// WM_DELETE_WINDOW client message. Usage: x11_close_window WINDOW_ID

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

#include "xcb_handles.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  message.type = x11::InternAtom(connection, "WM_PROTOCOLS");
  message.data.data32[0] = x11::InternAtom(connection, "WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  const xcb_void_cookie_t cookie = xcb_send_event_checked(
      connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
      reinterpret_cast<const char*>(&message));
  const x11::XcbPtr<xcb_generic_error_t> error(
      xcb_request_check(connection, cookie));
  const bool sent = error == nullptr;
  xcb_disconnect(connection);
  return sent ? 0 : 1;
}
