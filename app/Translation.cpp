// Loading of Qt's Russian translation at start.

#include "app/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

namespace uroflow {

QTranslator* installQtRussian(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // qtbase holds the texts of the dialogs and the standard buttons.
    if (!translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace uroflow
