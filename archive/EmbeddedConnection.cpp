#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <cstring>

#include "archive/ArchiveError.h"
#include "archive/Connection.h"

namespace uroflow {

namespace {

[[noreturn]] void unavailable(const QString& file, const QString& why) {
    throw ArchiveError(QStringLiteral("Архив пациентов недоступен (%1): %2")
                           .arg(QDir::toNativeSeparators(file), why.simplified())
                           .toStdString());
}

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Patients' data: readable by the user alone, from the first byte on. SQLite gives its
// -wal and -shm files the mode of the database file.
void createPrivately(const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder)) unavailable(file, QStringLiteral("папка не создается"));
        ::chmod(QFile::encodeName(folder).constData(), S_IRWXU);
    }
    const int fd = ::open(QFile::encodeName(file).constData(), O_CREAT | O_RDWR | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) unavailable(file, systemText(errno));
    ::close(fd);
}

}  // namespace

QSqlDatabase openEmbedded(const QString& connectionName, const QString& file, int timeoutMs) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        unavailable(file, QStringLiteral("нет драйвера Qt SQLite (пакет libqt6sql6-sqlite)"));
    }
    if (QFileInfo(file).exists() && !QFileInfo(file).isFile()) {
        unavailable(file, QStringLiteral("это не файл"));
    }
    createPrivately(file);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(timeoutMs));
    if (!db.open()) unavailable(file, db.lastError().text());
    QSqlQuery query(db);
    // The first statement reads the header: a file that is no archive fails here.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
        const QString why = query.lastError().text();
        query.finish();
        db.close();
        unavailable(file, why.contains(QStringLiteral("not a database"))
                              ? QStringLiteral("файл поврежден или не является архивом")
                              : why);
    }
    return db;
}

}  // namespace uroflow
