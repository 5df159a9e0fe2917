// Text to MD5 on Linux: the main window on Qt 6 Widgets.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "clipboard_holder.h"
#include "desktop.h"
#include "qt_form.h"
#include "qt_translation.h"

int main(int argc, char* argv[]) {
  const std::string x11_display = qt::X11DisplayName(argc, argv);
  if (!qt::DisplayAvailable(x11_display)) {
    std::fprintf(stderr, "%s\n", qt::NoDisplayMessage(x11_display).c_str());
    return EXIT_FAILURE;
  }
  standby::ClipboardHolder clipboard_holder(x11_display, qt::WaylandPossible());
  QApplication app(argc, argv);
  qt::InstallQtTranslation(app);
  qt::QtForm form;
  form.show();
  const int status = app.exec();
  form.clipboard().HandOver(clipboard_holder);
  // Qt 6.4's Wayland plugin can hang for good while it closes its connection
  // (its event thread waits for a read that the main thread never ends).
  // Nothing of the program's waits on that teardown there, so it is skipped;
  // on X11 it hands the clipboard to a clipboard manager and must run.
  if (qt::OnWayland()) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
