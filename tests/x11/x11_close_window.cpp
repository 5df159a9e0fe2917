// Asks an X11 window to close as a window manager's close button does: a
// WM_DELETE_WINDOW client message. Usage: x11_close_window WINDOW_ID

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(
          connection,
          xcb_intern_atom(connection, 0,
                          static_cast<std::uint16_t>(std::strlen(name)), name),
          nullptr),
      &std::free);
  return reply ? reply->atom : 0;
}

}  // namespace

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
  message.type = Atom(connection, "WM_PROTOCOLS");
  message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  const xcb_void_cookie_t cookie = xcb_send_event_checked(
      connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
      reinterpret_cast<const char*>(&message));
  std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
      xcb_request_check(connection, cookie), &std::free);
  const bool sent = error == nullptr;
  xcb_disconnect(connection);
  return sent ? 0 : 1;
}
