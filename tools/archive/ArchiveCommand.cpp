#include "tools/archive/ArchiveCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <memory>
#include <optional>

#include "archive/Archive.h"
#include "archive/ArchiveError.h"
#include "files/StudyFile.h"
#include "study/RuntimeError.h"
#include "tools/archive/ExportName.h"

namespace uroflow {

namespace {

constexpr char kUsage[] =
    "usage: uroflow-archive [--db URL] import [--doctor NAME] FILE...\n"
    "       uroflow-archive [--db URL] list [--patient TEXT]\n"
    "       uroflow-archive [--db URL] export ID OUT.txt\n"
    "       uroflow-archive [--db URL] export-all DIR\n"
    "       uroflow-archive --help | --version\n"
    "URL: postgresql://user@host:port/dbname?sslmode=... (the password from ~/.pgpass)\n"
    "     or the path of an SQLite archive; without --db the window's own archive.\n";

struct Output {
    std::ostream& out;
    std::ostream& err;

    void line(const QString& text) const { out << text.toStdString() << '\n'; }
    int fail(const QString& text) const {
        err << "uroflow-archive: " << text.toStdString() << '\n';
        return 1;
    }
    int usage() const {
        err << kUsage;
        return 2;
    }
};

std::unique_ptr<Image> readFile(const QString& path) {
    auto device = std::make_unique<Image>();
    readStudyFile(QFile::encodeName(path).toStdString(), *device);
    return device;
}

int importFiles(Archive& archive, const QStringList& files, const QString& doctor,
                const Output& io) {
    int failed = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        std::unique_ptr<Image> device;
        try {
            device = readFile(file);
        } catch (const RuntimeError& error) {
            io.line(QStringLiteral("%1: %2").arg(file, QString::fromStdString(error.what())));
            ++failed;
            continue;
        }
        try {
            const KeepResult result = archive.keep(*device, KeepSource::Import,
                                                   QFileInfo(file).absoluteFilePath(), doctor);
            io.line(QStringLiteral("%1: %2 (id %3)")
                        .arg(file,
                             result.added ? QStringLiteral("kept") : QStringLiteral("already kept"))
                        .arg(result.id));
        } catch (const ArchiveError& error) {
            // The archive itself failed: every further file would wait for it again.
            io.line(QStringLiteral("%1: %2").arg(file, QString::fromStdString(error.what())));
            return io.fail(
                QStringLiteral("stopped: %1 file(s) not tried").arg(files.size() - i - 1));
        }
    }
    return failed == 0 ? 0 : 1;
}

QJsonObject dayJson(const KeptDay& day) {
    return {{QStringLiteral("id"), day.id},           {QStringLiteral("sha256"), day.sha256},
            {QStringLiteral("name"), day.name},       {QStringLiteral("sex"), day.sex},
            {QStringLiteral("age"), day.age},         {QStringLiteral("date"), day.date},
            {QStringLiteral("studies"), day.studies}, {QStringLiteral("kept_at"), day.keptAt},
            {QStringLiteral("source"), day.source}};
}

int listDays(Archive& archive, const QString& patient, const Output& io) {
    QJsonArray days;
    for (const KeptDay& day : archive.list(patient)) days.append(dayJson(day));
    io.out << QJsonDocument(days).toJson(QJsonDocument::Indented).toStdString();
    return 0;
}

int exportDay(Archive& archive, const QString& idText, const QString& out, const Output& io) {
    bool number = false;
    const qint64 id = idText.toLongLong(&number);
    if (!number) return io.usage();
    const auto device = std::make_unique<Image>(archive.image(id));
    try {
        writeStudyFile(QFile::encodeName(out).toStdString(), *device);
    } catch (const RuntimeError& error) {
        return io.fail(QStringLiteral("%1: %2").arg(out, QString::fromStdString(error.what())));
    }
    return 0;
}

int exportAll(Archive& archive, const QString& folder, const Output& io) {
    if (!QDir().mkpath(folder)) return io.fail(QStringLiteral("%1: Path not found").arg(folder));
    const QDir dir(folder);
    QSet<QString> taken;
    for (const QString& existing : dir.entryList(QDir::Files)) taken.insert(existing);
    int failed = 0;
    for (const KeptDay& day : archive.list()) {
        const QString name = exportFileName(day, taken);
        taken.insert(name);
        const QString path = dir.filePath(name);
        try {
            const auto device = std::make_unique<Image>(archive.image(day.id));
            writeStudyFile(QFile::encodeName(path).toStdString(), *device);
            io.line(QStringLiteral("%1: %2").arg(day.id).arg(path));
        } catch (const std::runtime_error& error) {
            // A damaged day or a file that cannot be written: the others still go out.
            io.line(QStringLiteral("%1: %2: %3")
                        .arg(day.id)
                        .arg(path, QString::fromStdString(error.what())));
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

// --help and --version stand alone and never open the archive.
std::optional<int> aboutTheTool(const QStringList& args, const Output& io) {
    if (args.size() != 1) return std::nullopt;
    const QString& option = args[0];
    if (option == QStringLiteral("--help") || option == QStringLiteral("-h")) {
        io.out << kUsage;
        return 0;
    }
    if (option == QStringLiteral("--version") || option == QStringLiteral("-v")) {
        io.out << "uroflow-archive " UROFLOW_VERSION "\n";
        return 0;
    }
    return std::nullopt;
}

int run(const QStringList& args, const Output& io) {
    if (const std::optional<int> told = aboutTheTool(args, io)) return *told;
    QStringList rest = args;
    QString url;
    if (rest.size() >= 2 && rest[0] == QStringLiteral("--db")) {
        url = rest[1];
        rest = rest.mid(2);
        if (url.isEmpty()) return io.usage();
    }
    if (rest.isEmpty()) return io.usage();
    const QString command = rest.takeFirst();
    Archive archive(parseArchiveUrl(url));
    if (command == QStringLiteral("import")) {
        QString doctor;
        if (rest.size() >= 2 && rest[0] == QStringLiteral("--doctor")) {
            doctor = rest[1];
            rest = rest.mid(2);
        }
        if (rest.isEmpty()) return io.usage();
        return importFiles(archive, rest, doctor, io);
    }
    if (command == QStringLiteral("list")) {
        if (rest.isEmpty()) return listDays(archive, {}, io);
        if (rest.size() == 2 && rest[0] == QStringLiteral("--patient")) {
            return listDays(archive, rest[1], io);
        }
        return io.usage();
    }
    if (command == QStringLiteral("export") && rest.size() == 2) {
        return exportDay(archive, rest[0], rest[1], io);
    }
    if (command == QStringLiteral("export-all") && rest.size() == 1) {
        return exportAll(archive, rest[0], io);
    }
    return io.usage();
}

}  // namespace

int runArchiveCommand(const QStringList& args, std::ostream& out, std::ostream& err) {
    const Output io{out, err};
    try {
        const int code = run(args, io);
        out.flush();
        if (!out) return io.fail(QStringLiteral("cannot write the output"));
        return code;
    } catch (const ArchiveError& error) {
        return io.fail(QString::fromStdString(error.what()));
    }
}

}  // namespace uroflow
