// Program start: the real platform, the main window and the hidden wait window.
// `uroflow --demo` hands the window the simulated uroflowmeter, plugged in and
// holding the demo day, in place of the USB reader; `uroflow --day-report OUT.pdf FILE`
// writes the day report of a study file without a window.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>
#include <span>

#include "app/DayReportCommand.h"
#include "app/DemoPacer.h"
#include "app/Platform.h"
#include "app/QtPlatform.h"
#include "app/QtPrinter.h"
#include "app/Translation.h"
#include "app/Unit1.h"
#include "archive/ArchiveAddress.h"
#include "app/WaitExcel.h"
#include "files/XlsxSpreadsheet.h"
#include "reader/SimulatedUroflowmeter.h"
#include "reader/hid/HidapiLayer.h"

namespace {

struct ReaderLink {
    std::unique_ptr<uroflow::HidLayer> layer;
    std::unique_ptr<uroflow::DemoPacer> pacer;  // demo mode only; destroyed before the layer
};

ReaderLink usbReader() {
    return {std::make_unique<uroflow::HidapiLayer>(), nullptr};
}

// The demo day is built into the program; the memory lives as long as it runs.
ReaderLink demoReader() {
    QFile day(QStringLiteral(":/samples/demo-day.txt"));
    if (!day.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = day.readAll();
    if (bytes.size() != static_cast<qsizetype>(uroflow::kMemorySize)) return {};
    auto device = std::make_unique<uroflow::SimulatedUroflowmeter>();
    device->loadMemory(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size())));
    device->plug();
    auto pacer = std::make_unique<uroflow::DemoPacer>(*device);
    return {std::move(device), std::move(pacer)};
}

}  // namespace

int main(int argc, char** argv) {
    // The day report for batch work needs no window.
    if (uroflow::isDayReportCommand(argc, argv)) return uroflow::runDayReportCommand(argc, argv);

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

    bool demo = false;
    QString studyFile;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument == QStringLiteral("--demo")) {
            demo = true;
        } else if (argument.startsWith(QStringLiteral("--")) || !studyFile.isEmpty()) {
            std::fprintf(stderr,
                         "usage: uroflow [--demo] [study file]\n"
                         "       uroflow --day-report OUT.pdf [--night HH:MM-HH:MM] FILE\n");
            return 2;
        } else {
            studyFile = argument;
        }
    }
    ReaderLink reader = demo ? demoReader() : usbReader();
    if (!reader.layer) {
        std::fprintf(stderr, "uroflow: the demo day is missing from the program\n");
        return 1;
    }

    uroflow::QtDialogs dialogs;
    uroflow::SystemClock clock;
    uroflow::QtBeeper beeper;
    uroflow::QtPrinter printer;
    dialogs.setPrinter(&printer.device());
    uroflow::XlsxSpreadsheet spreadsheet;
    const uroflow::Platform platform{
        dialogs,
        clock,
        beeper,
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        *reader.layer,
        printer,
        spreadsheet,
        QFileInfo(uroflow::defaultEmbeddedFile()).absolutePath()};

    uroflow::TTMForm TMForm(platform);
    dialogs.setOwner(&TMForm);
    uroflow::TFormWaitExcel FormWaitExcel(&TMForm);
    TMForm.useWaitWindow(FormWaitExcel);
    TMForm.show();

    if (!studyFile.isEmpty()) {
        // Loaded once the window is on the screen, so an error box has its owner.
        QTimer::singleShot(0, &TMForm, [&TMForm, studyFile] {
            TMForm.guard([&TMForm, studyFile] { TMForm.LoadFileNamed(studyFile); });
        });
    }

    const int code = app.exec();
    // The window's end writes the settings and may report an error after it has closed.
    dialogs.setOwner(nullptr);
    return code;
}
