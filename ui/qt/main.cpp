// Text to MD5 on Linux: the main window on Qt 6 Widgets.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "desktop.h"
#include "qt_form.h"
#include "x11_clipboard_holder.h"

int main(int argc, char* argv[]) {
  if (!ui::DisplayAvailable()) {
    std::fprintf(stderr, "%s\n", ui::NoDisplayMessage().c_str());
    return EXIT_FAILURE;
  }
  x11::ClipboardHolder clipboard_holder;
  QApplication app(argc, argv);
  ui::QtForm form;
  form.show();
  const int status = app.exec();
  if (const auto copied = ui::OwnedX11ClipboardText()) {
    clipboard_holder.Keep(*copied);
  } else if (const auto on_wayland = ui::OwnedWaylandClipboardText()) {
    clipboard_holder.Keep(*on_wayland, x11::ClipboardHolder::Session::kWayland);
  }
  return status;
}
