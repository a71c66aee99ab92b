#include "app/DayReportCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QStringList>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

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

constexpr char kOption[] = "--day-report";
constexpr char kUsage[] =
    "usage: uroflow --day-report OUT.pdf [--night HH:MM-HH:MM] FILE\n"
    "Writes the day report of the study file FILE to OUT.pdf without opening a window.\n";

struct Request {
    QString out;
    QString file;
    NightWindow night;
};

std::optional<Request> parse(const QStringList& args) {
    Request request;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String(kOption) && hasValue && request.out.isEmpty()) {
            request.out = args[++i];
        } else if (arg == QStringLiteral("--night") && hasValue) {
            const auto night = parseNightWindow(args[++i].toStdString());
            if (!night) return std::nullopt;
            request.night = *night;
        } else if (arg.startsWith(QLatin1Char('-')) || !request.file.isEmpty()) {
            return std::nullopt;
        } else {
            request.file = arg;
        }
    }
    if (request.out.isEmpty() || request.file.isEmpty()) return std::nullopt;
    return request;
}

void fail(const QString& path, const char* text) {
    std::fprintf(stderr, "uroflow: %s: %s\n", QFile::encodeName(path).constData(), text);
}

}  // namespace

bool isDayReportCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kOption) == 0) return true;
    }
    return false;
}

int runDayReportCommand(int argc, char** argv) {
    // No window and no display: fonts and the PDF need only the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("uroflow"));
    QCoreApplication::setApplicationName(QStringLiteral("uroflow"));

    const std::optional<Request> request = parse(QCoreApplication::arguments().mid(1));
    if (!request) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto device = std::make_unique<Image>();
    try {
        refuseOutputOverInput(QFile::encodeName(request->out).toStdString(),
                              QFile::encodeName(request->file).toStdString());
    } catch (const RuntimeError& error) {
        fail(request->out, error.what());
        return 1;
    }
    try {
        readStudyFile(QFile::encodeName(request->file).toStdString(), *device);
    } catch (const RuntimeError& error) {
        fail(request->file, error.what());
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
            buildDaySheet(report, report.passport, doctor.toStdString(), request->night),
            request->out);
    } catch (const RuntimeError& error) {
        fail(request->out, error.what());
        return 1;
    }
    return 0;
}

}  // namespace uroflow
