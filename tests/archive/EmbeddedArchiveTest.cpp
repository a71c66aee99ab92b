// The embedded archive's own promises: a private file, a damaged file reported and left
// alone, a locked file given up after the time-out, the same file for window and tool.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "archive/Archive.h"
#include "archive/ArchiveError.h"
#include "archive/Connection.h"
#include "tests/archive/TestDays.h"

namespace uroflow::test {
namespace {

std::string errorOf(Archive& archive) {
    try {
        archive.open();
    } catch (const ArchiveError& error) {
        return error.what();
    }
    return {};
}

TEST(EmbeddedArchive, FileIsTheUsersAloneAndWritesAhead) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("new/archive.sqlite"));
    Archive archive(parseArchiveUrl(file));
    archive.keep(archiveTestDay("Петрова А.А."), KeepSource::Download, QString(), QString());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(folder.filePath(QStringLiteral("new"))).constData(), &info),
              0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    {
        QSqlDatabase db = openEmbedded(QStringLiteral("probe"), file, 1000);
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA journal_mode")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), QStringLiteral("wal"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
}

TEST(EmbeddedArchive, DamagedFileIsReportedAndLeftUnchanged) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("archive.sqlite"));
    writeDayFile(file, archiveTestDay("x"));  // a study file is no archive either
    const QByteArray before = fileBytes(file);
    Archive archive(parseArchiveUrl(file));
    const std::string error = errorOf(archive);
    EXPECT_NE(error.find("Архив пациентов недоступен"), std::string::npos) << error;
    EXPECT_NE(error.find("файл поврежден или не является архивом"), std::string::npos) << error;
    EXPECT_EQ(fileBytes(file), before);
    // Asked again, it fails again the same way: no half-made archive in between.
    EXPECT_EQ(errorOf(archive), error);
}

TEST(EmbeddedArchive, LockedFileIsGivenUpAfterTheTimeOutAndUsedOnceFree) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("archive.sqlite"));
    Archive archive(parseArchiveUrl(file), ArchiveOptions{100});
    archive.open();
    {
        QSqlDatabase other = openEmbedded(QStringLiteral("holder"), file, 100);
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
        try {
            archive.keep(archiveTestDay("Петрова А.А."), KeepSource::Download, QString(),
                         QString());
            ADD_FAILURE() << "kept into a locked archive";
        } catch (const ArchiveError& error) {
            EXPECT_NE(std::string(error.what()).find("locked"), std::string::npos) << error.what();
        }
        ASSERT_TRUE(hold.exec(QStringLiteral("COMMIT")));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    EXPECT_TRUE(
        archive.keep(archiveTestDay("Петрова А.А."), KeepSource::Download, QString(), QString())
            .added);
}

TEST(EmbeddedArchive, WindowAndToolShareTheUsersDataFolder) {
    QCoreApplication::setOrganizationName(QStringLiteral("uroflow"));
    QCoreApplication::setApplicationName(QStringLiteral("uroflow"));
    EXPECT_EQ(defaultEmbeddedFile(),
              QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                  .filePath(QStringLiteral("archive.sqlite")));
    EXPECT_EQ(parseArchiveUrl(QString()).file, defaultEmbeddedFile());
    // The tool is named otherwise and still finds the window's archive.
    QCoreApplication::setApplicationName(QStringLiteral("uroflow-archive"));
    EXPECT_EQ(parseArchiveUrl(QString()).file,
              QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                  .filePath(QStringLiteral("uroflow/uroflow/archive.sqlite")));
}

TEST(ArchiveUrl, ServerUrlGivesItsPartsAndNeverAPassword) {
    const ArchiveAddress address = parseArchiveUrl(
        QStringLiteral("postgresql://doctor@db.clinic.local:5433/uroflow?sslmode=verify-full"));
    EXPECT_EQ(address.kind, ArchiveAddress::Kind::Server);
    EXPECT_EQ(address.user, QStringLiteral("doctor"));
    EXPECT_EQ(address.host, QStringLiteral("db.clinic.local"));
    EXPECT_EQ(address.port, 5433);
    EXPECT_EQ(address.database, QStringLiteral("uroflow"));
    EXPECT_EQ(address.options, QStringList{QStringLiteral("sslmode=verify-full")});
    EXPECT_EQ(describeArchive(address),
              QStringLiteral(
                  "Сервер PostgreSQL db.clinic.local:5433, база uroflow, пользователь doctor"));
    EXPECT_EQ(parseArchiveUrl(QStringLiteral("postgres:///?service=clinic")).options,
              QStringList{QStringLiteral("service=clinic")});

    for (const char* refused :
         {"postgresql://doctor:secret@db/uroflow", "postgresql://doctor@db/uroflow?password=secret",
          "postgresql://doctor@db/uroflow?sslmode=require%20host=evil", "mysql://doctor@db/uroflow",
          "sqlite://"}) {
        EXPECT_THROW(parseArchiveUrl(QString::fromUtf8(refused)), ArchiveError) << refused;
    }
    EXPECT_EQ(parseArchiveUrl(QStringLiteral("sqlite:///var/a.sqlite")).file,
              QStringLiteral("/var/a.sqlite"));
    EXPECT_EQ(parseArchiveUrl(QStringLiteral("/var/b.sqlite")).kind,
              ArchiveAddress::Kind::Embedded);
}

}  // namespace
}  // namespace uroflow::test
