// What every archive driver must do alike: keep each day once, list and search it, give the
// bytes back unchanged, migrate the first schema, refuse a newer one, and take two
// importing programs at once.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <map>

#include "archive/Archive.h"
#include "archive/ArchiveError.h"
#include "archive/DayOverviews.h"
#include "tests/archive/ArchivePlace.h"
#include "tests/archive/TestDays.h"

namespace uroflow::test {
namespace {

class ArchiveContract : public ::testing::Test {
  protected:
    void SetUp() override {
        QString skipReason;
        place_ = newArchivePlace(skipReason);
        if (!place_) GTEST_SKIP() << skipReason.toStdString();
    }

    ArchivePlace& place() { return *place_; }

    // Runs `work` on a connection of its own, closed and removed afterwards.
    template <typename Work>
    void withRaw(Work work) {
        {
            QSqlDatabase db = place().openRaw(QStringLiteral("raw"));
            work(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }

    QStringList names(const std::vector<KeptDay>& days) {
        QStringList result;
        for (const KeptDay& day : days) result << day.name;
        return result;
    }

  private:
    std::unique_ptr<ArchivePlace> place_;
};

TEST_F(ArchiveContract, KeepsEachDayOnceWithItsPassportAndBytes) {
    Archive archive(place().address());
    const auto day = std::make_unique<Image>(archiveTestDay("Петрова А.А."));
    const KeepResult first =
        archive.keep(*day, KeepSource::Download, QString(), QStringLiteral("Врачева В.В."));
    EXPECT_TRUE(first.added);
    const KeepResult again =
        archive.keep(*day, KeepSource::File, QStringLiteral("/tmp/x.txt"), QString());
    EXPECT_FALSE(again.added);
    EXPECT_EQ(again.id, first.id);

    const std::vector<KeptDay> days = archive.list();
    ASSERT_EQ(days.size(), 1u);
    const KeptDay& kept = days[0];
    EXPECT_EQ(kept.id, first.id);
    EXPECT_EQ(kept.sha256, imageSha256(*day));
    EXPECT_EQ(kept.sha256.size(), 64);
    EXPECT_EQ(kept.name, QStringLiteral("Петрова А.А."));
    EXPECT_EQ(kept.sex, QStringLiteral("М"));
    EXPECT_EQ(kept.age, QStringLiteral("64"));
    EXPECT_EQ(kept.date, QStringLiteral("09.02.26"));
    EXPECT_EQ(kept.calibrCoef, 50000);
    EXPECT_EQ(kept.studies, 7);
    EXPECT_EQ(kept.firstStart, QStringLiteral("06:40"));
    EXPECT_EQ(kept.lastStart, QStringLiteral("23:05"));
    // The second keep changed nothing: the first one's way and doctor stay.
    EXPECT_EQ(kept.source, QStringLiteral("download"));
    EXPECT_EQ(kept.fileName, QString());
    EXPECT_EQ(kept.doctor, QStringLiteral("Врачева В.В."));
    EXPECT_FALSE(kept.keptAt.isEmpty());

    const auto back = std::make_unique<Image>(archive.image(first.id));
    EXPECT_TRUE(std::equal(day->begin(), day->begin() + kMemorySize, back->begin()));
    EXPECT_TRUE(std::all_of(back->begin() + kMemorySize, back->end(),
                            [](std::uint8_t b) { return b == 0; }));
    ASSERT_TRUE(archive.day(first.id).has_value());
    EXPECT_EQ(archive.day(first.id)->name, QStringLiteral("Петрова А.А."));
    EXPECT_FALSE(archive.day(first.id + 1000).has_value());
    EXPECT_THROW(archive.image(first.id + 1000), ArchiveError);
}

TEST_F(ArchiveContract, SearchFindsAnyPartOfTheNameInAnyCase) {
    Archive archive(place().address());
    for (const char* name : {"Петрова А.А.", "Иванов И.И.", "ПЕТРОВ П.П.", "Smith_J%", "Smith J"}) {
        archive.keep(archiveTestDay(name), KeepSource::Import, QString(), QString());
    }
    EXPECT_EQ(names(archive.list(QStringLiteral("петров"))),
              (QStringList{QStringLiteral("Петрова А.А."), QStringLiteral("ПЕТРОВ П.П.")}));
    EXPECT_EQ(names(archive.list(QStringLiteral("ВАН"))),
              QStringList{QStringLiteral("Иванов И.И.")});
    EXPECT_EQ(names(archive.list(QStringLiteral("smith"))).size(), 2);
    // The wildcards of SQL are plain characters in a search.
    EXPECT_EQ(names(archive.list(QStringLiteral("_"))), QStringList{QStringLiteral("Smith_J%")});
    EXPECT_EQ(names(archive.list(QStringLiteral("%"))), QStringList{QStringLiteral("Smith_J%")});
    EXPECT_TRUE(archive.list(QStringLiteral("Сидоров")).empty());
    EXPECT_EQ(archive.list().size(), 5u);
}

TEST_F(ArchiveContract, ArchiveOfTheFirstSchemaIsMigratedWithItsDays) {
    const auto day = std::make_unique<Image>(archiveTestDay("Сидорова Е.Е."));
    const QByteArray bytes(reinterpret_cast<const char*>(day->data()), kMemorySize);
    withRaw([&](QSqlDatabase& db) {
        migrateSchemaTo(db, place().dialect(), 1);
        QSqlQuery query(db);
        query.prepare(QStringLiteral(
            "INSERT INTO days (sha256, sex, name, age, date, calibr_coef, studies, "
            "first_start, last_start, kept_at, source, file_name, doctor) VALUES "
            "(?, 'М', 'Сидорова Е.Е.', '64', '09.02.26', 50000, 7, '06:40', '23:05', "
            "'2025-01-02T03:04:05Z', 'file', 'old.txt', '')"));
        query.addBindValue(imageSha256(*day));
        ASSERT_TRUE(query.exec());
        query.prepare(
            QStringLiteral("INSERT INTO day_images (day_id, image) SELECT id, ? FROM days"));
        query.addBindValue(bytes);
        ASSERT_TRUE(query.exec());
        EXPECT_EQ(schemaVersion(db), 1);
    });

    Archive archive(place().address());
    const std::vector<KeptDay> found = archive.list(QStringLiteral("сидоР"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].keptAt, QStringLiteral("2025-01-02T03:04:05Z"));
    const auto back = std::make_unique<Image>(archive.image(found[0].id));
    EXPECT_TRUE(std::equal(day->begin(), day->begin() + kMemorySize, back->begin()));
    EXPECT_FALSE(archive.keep(*day, KeepSource::Import, QString(), QString()).added);
    withRaw([](QSqlDatabase& db) { EXPECT_EQ(schemaVersion(db), kSchemaVersion); });
}

TEST_F(ArchiveContract, NewerSchemaIsRefusedAndLeftAsItIs) {
    {
        Archive archive(place().address());
        archive.keep(archiveTestDay("Петрова А.А."), KeepSource::Import, QString(), QString());
    }
    withRaw([](QSqlDatabase& db) {
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(
            QStringLiteral("UPDATE schema_version SET version = %1").arg(kSchemaVersion + 1)));
    });
    Archive archive(place().address());
    try {
        archive.list();
        FAIL() << "a newer schema was used";
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find("более новой версией программы"),
                  std::string::npos)
            << error.what();
    }
    withRaw([](QSqlDatabase& db) {
        EXPECT_EQ(schemaVersion(db), kSchemaVersion + 1);
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*) FROM days")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toInt(), 1);
    });
}

TEST_F(ArchiveContract, BytesChangedBehindTheArchiveAreReportedNotShown) {
    Archive archive(place().address());
    const qint64 id =
        archive.keep(archiveTestDay("Петрова А.А."), KeepSource::Import, QString(), QString()).id;
    withRaw([&](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE day_images SET image = ? WHERE day_id = ?"));
        query.addBindValue(QByteArray(kMemorySize, '\0'));
        query.addBindValue(id);
        ASSERT_TRUE(query.exec());
    });
    try {
        archive.image(id);
        FAIL() << "a changed day was returned";
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find("поврежден"), std::string::npos) << error.what();
    }
}

// The archive window reads a patient's days in one go: each day's own bytes and overview,
// in the order asked, however many days (more than one query's worth included).
TEST_F(ArchiveContract, ManyDaysAreReadAtOnceEachWithItsOwnBytes) {
    Archive archive(place().address());
    const auto demo = std::make_unique<Image>(archiveTestDay("Петрова А.А."));
    std::map<qint64, QString> shaOf;
    for (int i = 0; i < 1003; ++i) {
        auto day = std::make_unique<Image>(*demo);
        (*day)[kMemorySize - 1] = static_cast<std::uint8_t>(i);
        (*day)[kMemorySize - 2] = static_cast<std::uint8_t>(i >> 8);
        // Two without a calibration: nothing can be measured of them.
        if (i % 500 == 9) std::fill_n(day->begin() + kCalibrationAOffset, 4, std::uint8_t{0});
        const KeepResult kept = archive.keep(*day, KeepSource::Import, QString(), QString());
        shaOf[kept.id] = imageSha256(*day);
    }
    std::vector<KeptDay> days = archive.list();
    ASSERT_EQ(days.size(), 1003u);
    std::reverse(days.begin(), days.end());
    std::vector<qint64> ids;
    for (const KeptDay& day : days) ids.push_back(day.id);
    ids.push_back(ids.front());  // asked twice, handed over once
    std::map<qint64, int> seen;
    archive.forEachImage(ids, [&](qint64 id, const Image& device) {
        ++seen[id];
        EXPECT_EQ(imageSha256(device), shaOf.at(id));
    });
    EXPECT_EQ(seen.size(), 1003u);
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](const auto& s) { return s.second == 1; }));

    const std::vector<DayOverview> overviews = dayOverviews(archive, days);
    ASSERT_EQ(overviews.size(), days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        const bool uncalibrated = (1002 - i) % 500 == 9;
        EXPECT_EQ(overviews[i].voidings, uncalibrated ? 0 : 7) << i;
    }

    // A day that is not there names itself.
    try {
        archive.forEachImage({days[0].id, 999999}, [](qint64, const Image&) {});
        FAIL() << "a missing day went unnoticed";
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find("999999"), std::string::npos) << error.what();
    }
}

// The command-line tool as an administrator runs it.
class ArchiveTool : public ArchiveContract {
  protected:
    QProcess* start(const QStringList& args) {
        auto* process = new QProcess;
        processes_.emplace_back(process);
        process->start(QStringLiteral(UROFLOW_ARCHIVE_TOOL),
                       QStringList{QStringLiteral("--db"), place().url()} + args);
        return process;
    }
    // Runs to the end; the output's lines.
    QStringList run(const QStringList& args, int expectedCode = 0) {
        QProcess* process = start(args);
        EXPECT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), expectedCode)
            << process->readAllStandardError().toStdString();
        return QString::fromUtf8(process->readAllStandardOutput())
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString file(const QString& name) const { return folder_.filePath(name); }

  private:
    QTemporaryDir folder_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(ArchiveTool, ImportsListsAndExportsByteForByte) {
    writeDayFile(file(QStringLiteral("a.txt")), archiveTestDay("Петрова А.А."));
    writeDayFile(file(QStringLiteral("b.txt")), archiveTestDay("Петрова А.А.", "100226", 1));
    QFile shortFile(file(QStringLiteral("short.txt")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(1000, '\0'));
    shortFile.close();

    const QStringList lines = run(
        {QStringLiteral("import"), file(QStringLiteral("a.txt")), file(QStringLiteral("short.txt")),
         file(QStringLiteral("b.txt")), file(QStringLiteral("a.txt"))},
        1);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(": kept (id 1)"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(": Read beyond end of file")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(": kept (id 2)")));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(": already kept (id 1)")));

    const QString listed =
        run({QStringLiteral("list"), QStringLiteral("--patient"), QStringLiteral("ПЕТРОВА")})
            .join(QLatin1Char('\n'));
    EXPECT_TRUE(listed.contains(QStringLiteral("\"name\": \"Петрова А.А.\"")))
        << listed.toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("\"source\": \"import\"")));
    EXPECT_TRUE(listed.contains(QStringLiteral("\"date\": \"10.02.26\"")));

    run({QStringLiteral("export"), QStringLiteral("2"), file(QStringLiteral("out.txt"))});
    EXPECT_EQ(fileBytes(file(QStringLiteral("out.txt"))), fileBytes(file(QStringLiteral("b.txt"))));

    run({QStringLiteral("export-all"), file(QStringLiteral("all"))});
    EXPECT_EQ(fileBytes(file(QStringLiteral("all/Петрова А.А. 09.02.26.txt"))),
              fileBytes(file(QStringLiteral("a.txt"))));
    EXPECT_EQ(fileBytes(file(QStringLiteral("all/Петрова А.А. 10.02.26.txt"))),
              fileBytes(file(QStringLiteral("b.txt"))));
}

TEST_F(ArchiveTool, TwoProgramsImportingAtOnceKeepEveryDayOnce) {
    constexpr int kDays = 16;
    QStringList files;
    for (int i = 0; i < kDays; ++i) {
        files << file(QStringLiteral("day%1.txt").arg(i));
        writeDayFile(files.back(),
                     archiveTestDay("Петрова А.А.", "090226", static_cast<std::uint8_t>(i)));
    }
    QStringList reversed = files;
    std::reverse(reversed.begin(), reversed.end());
    // Both start on an archive that does not exist yet, so they also race to create it.
    QProcess* first = start(QStringList{QStringLiteral("import")} + files);
    QProcess* second = start(QStringList{QStringLiteral("import")} + reversed);
    int added = 0;
    for (QProcess* process : {first, second}) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(process->readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), kDays);
        for (const QString& line : lines) {
            if (line.contains(QStringLiteral(": kept (id"))) {
                ++added;
            } else {
                EXPECT_TRUE(line.contains(QStringLiteral(": already kept (id")))
                    << line.toStdString();
            }
        }
    }
    EXPECT_EQ(added, kDays);
    Archive archive(place().address());
    const std::vector<KeptDay> days = archive.list();
    QSet<QString> hashes;
    for (const KeptDay& day : days) hashes.insert(day.sha256);
    EXPECT_EQ(days.size(), static_cast<std::size_t>(kDays));
    EXPECT_EQ(hashes.size(), kDays);
}

}  // namespace
}  // namespace uroflow::test
