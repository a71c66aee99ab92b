// Program start: the real platform, the main window and the hidden wait window.

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <clocale>

#include "app/Platform.h"
#include "app/QtPlatform.h"
#include "app/Translation.h"
#include "app/Unit1.h"
#include "app/WaitExcel.h"
#include "reader/hid/HidapiLayer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // QApplication takes the user's locale for everything; numbers written to
    // files must keep the point as decimal separator.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("uroflow"));
    QCoreApplication::setApplicationName(QStringLiteral("uroflow"));
    if (!uroflow::installQtRussian(app)) {
        qWarning("Qt's Russian translation is missing in %s: dialog buttons stay English",
                 qPrintable(QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    }

    uroflow::QtDialogs dialogs;
    uroflow::SystemClock clock;
    uroflow::QtBeeper beeper;
    uroflow::HidapiLayer hid;
    const uroflow::Platform platform{
        dialogs,
        clock,
        beeper,
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        hid};

    uroflow::TTMForm TMForm(platform);
    dialogs.setOwner(&TMForm);
    uroflow::TFormWaitExcel FormWaitExcel(&TMForm);
    TMForm.show();

    if (argc > 1) {
        // Loaded once the window is on the screen, so an error box has its owner.
        const QString path = QString::fromLocal8Bit(argv[1]);
        QTimer::singleShot(0, &TMForm, [&TMForm, path] {
            TMForm.guard([&TMForm, path] { TMForm.LoadFileNamed(path); });
        });
    }

    const int code = app.exec();
    // The window's end writes the settings and may report an error after it has closed.
    dialogs.setOwner(nullptr);
    return code;
}
