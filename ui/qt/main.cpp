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
  std::optional<std::string> copied_text;
  int status;
  {
    QApplication app(argc, argv);
    ui::QtForm form;
    form.show();
    status = app.exec();
    copied_text = ui::OwnedX11ClipboardText();
  }
  if (copied_text) clipboard_holder.Keep(*copied_text);
  return status;
}
