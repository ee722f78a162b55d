#include "resources/ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orv::ui {

QTranslator* InstallQtRussian(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // By its full name: the locale the program runs in plays no part.
    if (!translator->load(QString::fromLatin1(kQtRussianTranslation),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace orv::ui
