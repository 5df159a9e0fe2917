#include "qt_translation.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "translation.h"

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

// Set for good: a translation that Qt loads later (its LanguageChange)
// leaves a direction once set alone.
void UseLanguageDirection() {
  QGuiApplication::setLayoutDirection(ui::RightToLeft() ? Qt::RightToLeft
                                                        : Qt::LeftToRight);
}

}  // namespace qt
