#pragma once
// Qt's own words, such as the text boxes' context menus, in the user's
// language.

#include <QCoreApplication>

namespace qt {

// Installs Qt's translation of its base module for the user's language in
// application, from Qt's translations folder, where it is installed (Debian:
// qt6-translations-l10n). Without one Qt's words stay English.
void InstallQtTranslation(QCoreApplication& application);

// Lays the application's windows out in the direction of the user's language
// as its translation gives it: mirrored where it is written right to left,
// as Qt mirrors its own dialogs for such a language. Before any window.
void UseLanguageDirection();

}  // namespace qt
