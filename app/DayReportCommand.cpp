#include "app/DayReportCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStandardPaths>
#include <clocale>
#include <cstdio>
#include <memory>

#include "app/DayReportPdf.h"
#include "app/Settings.h"
#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "files/ExportTarget.h"
#include "files/StudyFile.h"
#include "study/Passport.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

void fail(const std::string& path, const char* text) {
    std::fprintf(stderr, "uroflow: %s: %s\n", path.c_str(), text);
}

}  // namespace

int runDayReportCommand(const DayReportRequest& request, int& argc, char** argv) {
    // No window and no display: fonts and the PDF need only the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("uroflow"));
    QCoreApplication::setApplicationName(QStringLiteral("uroflow"));
    auto device = std::make_unique<Image>();
    try {
        refuseOutputOverInput(request.out, request.file);
    } catch (const RuntimeError& error) {
        fail(request.out, error.what());
        return 1;
    }
    try {
        readStudyFile(request.file, *device);
    } catch (const RuntimeError& error) {
        fail(request.file, error.what());
        return 1;
    }
    // The doctor's name the window would show.
    QString doctor =
        readDoctorName(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    if (doctor == QString::fromUtf8(kDefaultDoctorName)) doctor.clear();
    const DayReport report = buildDayReport(*device);
    try {
        writeDayReportPdf(
            buildDaySheet(report, report.passport, doctor.toStdString(), request.night),
            request.out);
    } catch (const RuntimeError& error) {
        fail(request.out, error.what());
        return 1;
    }
    return 0;
}

}  // namespace uroflow
