// Opens a socket on the compositor of $WAYLAND_DISPLAY whose clients run
// under a security context, as a sandbox (Flatpak) opens one for the
// programs it starts: the compositor may hide its privileged globals, such
// as data-control, from them. Prints "ready" once the compositor accepts
// clients there, and keeps the socket open until it is killed.
// Usage: sandbox_socket SOCKET_PATH
// Prints "unsupported" and exits with 77 when the compositor offers no
// security context.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

// The protocol's interface tables are C, and compile as C++ after the
// header's extern declarations, as the standby's do. So the header first:
#include "security-context-v1.h"
// and then the tables:
#include "security-context-v1.c"

namespace {

constexpr int kNoSecurityContext = 77;

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name,
              const char* interface, std::uint32_t) {
  if (std::string_view(interface) ==
      wp_security_context_manager_v1_interface.name) {
    *static_cast<wp_security_context_manager_v1**>(data) =
        static_cast<wp_security_context_manager_v1*>(wl_registry_bind(
            registry, name, &wp_security_context_manager_v1_interface, 1));
  }
}
void OnGlobalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kRegistryListener = {&OnGlobal,
                                                    &OnGlobalRemoved};

[[noreturn]] void Fail(const char* what) {
  std::perror(what);
  std::exit(EXIT_FAILURE);
}

// A listening socket at path.
int Listen(const char* path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (std::strlen(path) >= sizeof address.sun_path) Fail("socket path");
  std::strcpy(address.sun_path, path);
  const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listening < 0 ||
      bind(listening, reinterpret_cast<const sockaddr*>(&address),
           sizeof address) != 0 ||
      listen(listening, SOMAXCONN) != 0) {
    Fail(path);
  }
  return listening;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SOCKET_PATH\n", argv[0]);
    return EXIT_FAILURE;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) Fail("wl_display_connect");
  wp_security_context_manager_v1* manager = nullptr;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &manager);
  if (wl_display_roundtrip(display) < 0) Fail("wl_display_roundtrip");
  if (manager == nullptr) {
    std::puts("unsupported");
    std::fflush(stdout);
    // Everything freed, so that a leak checker has nothing to say.
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return kNoSecurityContext;
  }
  // The compositor serves the socket until the pipe's other end, ours,
  // closes: when this process ends.
  int close_pipe[2];
  if (pipe(close_pipe) != 0) Fail("pipe");
  const int listening = Listen(argv[1]);
  wp_security_context_v1* context =
      wp_security_context_manager_v1_create_listener(manager, listening,
                                                     close_pipe[0]);
  close(listening);
  close(close_pipe[0]);
  wp_security_context_v1_set_sandbox_engine(context, "org.texttomd5.test");
  wp_security_context_v1_set_app_id(context, "org.texttomd5.TextToMD5");
  wp_security_context_v1_set_instance_id(context, "test");
  wp_security_context_v1_commit(context);
  wp_security_context_v1_destroy(context);
  if (wl_display_roundtrip(display) < 0) Fail("wl_display_roundtrip");
  std::puts("ready");
  std::fflush(stdout);
  while (wl_display_dispatch(display) >= 0) {
  }
  return EXIT_SUCCESS;
}
