#include "qt_translation.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qt {

void InstallQtTranslation(QCoreApplication& application) {
  auto* translator = new QTranslator(&application);
  if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

}  // namespace qt
