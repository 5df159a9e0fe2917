#include "desktop.h"

#include <xcb/xcb.h>

#include <QClipboard>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "fill_in.h"
#include "translation.h"

namespace qt {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool X11DisplayAnswers(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

// The window system of Qt's platform: "xcb", or "wayland" and its variants
// such as "wayland-egl".
std::optional<standby::Session> SessionOfPlatform() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb")) return standby::Session::kX11;
  if (platform.startsWith(QLatin1String("wayland"))) {
    return standby::Session::kWayland;
  }
  return std::nullopt;
}

}  // namespace

std::string X11DisplayName(int argc, const char* const argv[]) {
  const char* name = std::getenv("DISPLAY");
  for (int i = 1; i < argc - 1; ++i) {
    std::string_view option = argv[i];
    if (option.substr(0, 2) == "--") option.remove_prefix(1);
    if (option == "-display") name = argv[++i];
  }
  return name != nullptr ? name : "";
}

bool DisplayAvailable(const std::string& x11_display) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool x11_named =
      platform != nullptr && std::strncmp(platform, "xcb", 3) == 0;
  if (IsSet("QT_QPA_PLATFORM") && !x11_named) return true;
  if (!x11_named && IsSet("WAYLAND_DISPLAY")) return true;
  return !x11_display.empty() && X11DisplayAnswers(x11_display);
}

std::string NoDisplayMessage(const std::string& x11_display) {
  if (!x11_display.empty()) {
    // TRANSLATORS: {1} is the name of an X11 display, such as ":0".
    return basMD5::FillIn(
        ui::Translated("text-to-md5: cannot open the X11 display \"{1}\"; "
                       "start it from your desktop session, where DISPLAY "
                       "names a running X server."),
        {x11_display});
  }
  return ui::Translated(
      "text-to-md5: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
      "start it from a graphical desktop session.");
}

bool WaylandPossible() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return IsSet("WAYLAND_DISPLAY") &&
         (!IsSet("QT_QPA_PLATFORM") ||
          std::strncmp(platform, "wayland", 7) == 0);
}

bool OnWayland() { return SessionOfPlatform() == standby::Session::kWayland; }

std::optional<standby::HandOver> OwnedClipboardText() {
  const auto session = SessionOfPlatform();
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!session || !clipboard->ownsClipboard()) return std::nullopt;
  return standby::HandOver{*session, clipboard->text().toStdString()};
}

}  // namespace qt
