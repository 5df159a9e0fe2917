// Text to MD5 on Linux: the main window on Qt 6 Widgets.

#include <iconv.h>
#include <langinfo.h>
#include <malloc.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "clipboard_holder.h"
#include "desktop.h"
#include "qt_form.h"
#include "qt_translation.h"

namespace {

// utf8 in the character set of the user's locale, which the terminal shows,
// with lookalikes for what the set lacks ("\"" for "„"); as it is where
// that cannot be had. Sets the process's locale from the environment.
std::string ForTerminal(std::string utf8) {
  std::setlocale(LC_ALL, "");
  const std::string target = std::string(nl_langinfo(CODESET)) + "//TRANSLIT";
  const iconv_t cd = iconv_open(target.c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return utf8;
  // Transliteration at most quadruples a character here ("…" to "...").
  std::string converted(utf8.size() * 4, '\0');
  char* in = utf8.data();
  std::size_t in_left = utf8.size();
  char* out = converted.data();
  std::size_t out_left = converted.size();
  const bool whole =
      iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!whole) return utf8;
  converted.resize(converted.size() - out_left);
  return converted;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string x11_display = qt::X11DisplayName(argc, argv);
  if (!qt::DisplayAvailable(x11_display)) {
    std::fprintf(stderr, "%s\n",
                 ForTerminal(qt::NoDisplayMessage(x11_display)).c_str());
    return EXIT_FAILURE;
  }
  standby::ClipboardHolder clipboard_holder(x11_display, qt::WaylandPossible());
  QApplication app(argc, argv);
  qt::InstallQtTranslation(app);
  qt::UseLanguageDirection();
  auto form = std::make_unique<qt::QtForm>();
  form->show();
  const int status = app.exec();
  if (form->clipboard().HandOver(clipboard_holder) ==
      qt::Keeper::kThisProcess) {
    // What lingers holds Qt's one copy of the clipboard's text: the window
    // and the typed text go, and the heap is given back. Elsewhere the
    // window stays until the process ends, as it always has: tearing it down
    // on Wayland would only add to an exit that skips Qt's own teardown.
    form.reset();
    malloc_trim(0);
    qt::KeepServingUntilReplaced();
  }
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
