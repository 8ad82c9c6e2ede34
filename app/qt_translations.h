#pragma once
// Qt's own texts (message-box buttons, file dialogs) in the user's language, like a native
// program's.

#include <QLocale>

class QCoreApplication;

namespace ethconf {

// Loads Qt's translation for the locale from Qt's translations folder and installs it for the
// application's lifetime. False when Qt has no translation for that language (the texts then
// stay English).
bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale = QLocale());

}  // namespace ethconf
