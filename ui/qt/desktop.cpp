#include "desktop.h"

#include <xcb/xcb.h>

#include <QClipboard>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace ui {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool X11DisplayAnswers() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

// The clipboard's text while this program owns it on a Qt platform whose
// name starts with platform ("wayland" has variants such as "wayland-egl").
std::optional<std::string> OwnedClipboardTextOn(QLatin1String platform) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!QGuiApplication::platformName().startsWith(platform) ||
      !clipboard->ownsClipboard()) {
    return std::nullopt;
  }
  return clipboard->text().toStdString();
}

}  // namespace

bool DisplayAvailable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool x11_named =
      platform != nullptr && std::strncmp(platform, "xcb", 3) == 0;
  if (IsSet("QT_QPA_PLATFORM") && !x11_named) return true;
  if (!x11_named && IsSet("WAYLAND_DISPLAY")) return true;
  return IsSet("DISPLAY") && X11DisplayAnswers();
}

std::string NoDisplayMessage() {
  if (IsSet("DISPLAY")) {
    return std::string("text-to-md5: cannot open the X11 display \"") +
           std::getenv("DISPLAY") +
           "\"; start it from your desktop session, where DISPLAY names a "
           "running X server.";
  }
  return "text-to-md5: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
         "start it from a graphical desktop session.";
}

std::optional<std::string> OwnedX11ClipboardText() {
  return OwnedClipboardTextOn(QLatin1String("xcb"));
}

std::optional<std::string> OwnedWaylandClipboardText() {
  return OwnedClipboardTextOn(QLatin1String("wayland"));
}

}  // namespace ui
