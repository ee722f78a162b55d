#pragma once
// Qt's own texts (file and print dialogs, the edit fields' context menus, ...) in Russian, as the
// rest of the program speaks, whatever the locale the program runs in.

class QCoreApplication;
class QTranslator;

namespace orv::ui {

// The file name of Qt's Russian translation (Debian package qt6-translations-l10n).
inline constexpr const char* kQtRussianTranslation = "qtbase_ru.qm";

// Loads Qt's Russian translation from Qt's translations folder and installs it in `app`. Returns
// the translator (a child of `app`; deleting it takes the translation away again), or nullptr
// when the translation is not installed.
QTranslator* InstallQtRussian(QCoreApplication& app);

}  // namespace orv::ui
