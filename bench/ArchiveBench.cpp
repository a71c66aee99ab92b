// Timings of the patient archive on both drivers: keeping a day (target under 20 ms on
// SQLite), listing and searching 10,000 kept days (under 100 ms), and a patient's trend over
// 100 days as the archive window makes it, from the kept bytes to the drawn chart (under
// 100 ms). The server runs are skipped, with a line, where PostgreSQL is not installed.

#include <benchmark/benchmark.h>

#include <QDate>
#include <QPixmap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <memory>
#include <stdexcept>

#include "app/PatientTrend.h"
#include "archive/Archive.h"
#include "archive/DayFacts.h"
#include "archive/DayOverviews.h"
#include "archive/Patients.h"
#include "archive/Schema.h"
#include "charts/TrendChart.h"
#include "study/Passport.h"
#include "tests/archive/ArchivePlace.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

using test::ArchivePlace;

enum class Driver { Embedded, Server };

constexpr int kListedDays = 10000;
constexpr int kDaysPerPatient = 20;
constexpr int kTrendDays = 100;

// A fresh archive of the driver; null where the server cannot run here.
std::unique_ptr<ArchivePlace> freshArchive(Driver driver) {
    QString skipReason;
    return driver == Driver::Embedded ? ArchivePlace::embedded()
                                      : ArchivePlace::onServer(skipReason);
}

// The demo day as patient `patient`'s day `day`: distinct bytes, a date per day.
Image benchDay(int patient, int day) {
    static const auto demo = std::make_unique<Image>(buildDemoDay());
    Image image = *demo;
    const std::string name = utf8ToCp1251("Пациентов-" + std::to_string(patient) + " А.А.");
    std::fill_n(image.begin() + kNameOffset, kNameLength, std::uint8_t{0});
    std::copy_n(name.begin(), std::min(name.size(), kNameLength), image.begin() + kNameOffset);
    const QDate date = QDate(2020, 1, 1).addDays(day);
    const std::string text = date.toString(QStringLiteral("ddMMyy")).toStdString();
    std::copy(text.begin(), text.end(), image.begin() + kDateOffset);
    image[kMemorySize - 1] = static_cast<std::uint8_t>(day);
    image[kMemorySize - 2] = static_cast<std::uint8_t>(day >> 8);
    image[kMemorySize - 3] = static_cast<std::uint8_t>(patient);
    image[kMemorySize - 4] = static_cast<std::uint8_t>(patient >> 8);
    return image;
}

// Fills the archive with `patients` x `days` days in one transaction, as the archive itself
// would keep them one by one.
void fill(const ArchivePlace& place, int patients, int days) {
    Archive(place.address()).open();  // the tables
    {
        QSqlDatabase db = place.openRaw(QStringLiteral("fill"));
        {
            QSqlQuery query(db);
            QSqlQuery bytes(db);
            query.exec(QStringLiteral("BEGIN"));
            query.prepare(QStringLiteral(
                "INSERT INTO days (sha256, sex, name, name_key, age, date, calibr_coef, "
                "studies, first_start, last_start, kept_at, source, file_name, doctor) VALUES "
                "(?, 'М', ?, ?, '64', ?, ?, ?, ?, ?, '2026-01-01T00:00:00Z', 'import', '', '') "
                "RETURNING id"));
            bytes.prepare(QStringLiteral("INSERT INTO day_images (day_id, image) VALUES (?, ?)"));
            for (int p = 0; p < patients; ++p) {
                for (int d = 0; d < days; ++d) {
                    const auto image = std::make_unique<Image>(benchDay(p, d));
                    const DayFacts facts = dayFacts(*image);
                    const QString name = QString::fromStdString(facts.passport.name);
                    query.addBindValue(imageSha256(*image));
                    query.addBindValue(name);
                    query.addBindValue(nameKey(name));
                    query.addBindValue(QString::fromStdString(facts.passport.date));
                    query.addBindValue(facts.calibrCoef);
                    query.addBindValue(facts.studies);
                    query.addBindValue(QString::fromStdString(facts.firstStart.value_or("")));
                    query.addBindValue(QString::fromStdString(facts.lastStart.value_or("")));
                    if (!query.exec() || !query.next()) throw std::runtime_error("fill failed");
                    bytes.addBindValue(query.value(0));
                    query.finish();
                    bytes.addBindValue(QByteArray(reinterpret_cast<const char*>(image->data()),
                                                  static_cast<qsizetype>(kMemorySize)));
                    if (!bytes.exec()) throw std::runtime_error("fill failed");
                }
            }
            query.exec(QStringLiteral("COMMIT"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

bool skipWithoutServer(benchmark::State& state, const ArchivePlace* place) {
    if (place) return false;
    state.SkipWithError(test::PostgresServer::kMissingText);
    return true;
}

void BM_KeepDay(benchmark::State& state, Driver driver) {
    const std::unique_ptr<ArchivePlace> place = freshArchive(driver);
    if (skipWithoutServer(state, place.get())) return;
    Archive archive(place->address());
    archive.open();
    int day = 0;
    auto image = std::make_unique<Image>(benchDay(0, 0));
    for (auto _ : state) {
        ++day;
        (*image)[kMemorySize - 1] = static_cast<std::uint8_t>(day);
        (*image)[kMemorySize - 2] = static_cast<std::uint8_t>(day >> 8);
        (*image)[kMemorySize - 3] = static_cast<std::uint8_t>(day >> 16);
        if (!archive.keep(*image, KeepSource::Download, QString(), QString()).added)
            state.SkipWithError("a day was not kept");
    }
}

// One archive of 10,000 days per driver, filled once.
const ArchivePlace* listedArchive(Driver driver) {
    static std::unique_ptr<ArchivePlace> places[2];
    std::unique_ptr<ArchivePlace>& place = places[static_cast<int>(driver)];
    if (!place) {
        place = freshArchive(driver);
        if (place) fill(*place, kListedDays / kDaysPerPatient, kDaysPerPatient);
    }
    return place.get();
}

// The archive window's list: every day, grouped into patients.
void BM_List10000Days(benchmark::State& state, Driver driver) {
    const ArchivePlace* place = listedArchive(driver);
    if (skipWithoutServer(state, place)) return;
    Archive archive(place->address());
    for (auto _ : state) {
        const std::vector<Patient> patients = groupPatients(archive.list());
        if (patients.size() != kListedDays / kDaysPerPatient)
            state.SkipWithError("not every patient listed");
    }
}

// A search as the doctor types it: part of the name in another letter case.
void BM_Search10000Days(benchmark::State& state, Driver driver) {
    const ArchivePlace* place = listedArchive(driver);
    if (skipWithoutServer(state, place)) return;
    Archive archive(place->address());
    for (auto _ : state) {
        const std::vector<Patient> found =
            groupPatients(archive.list(QStringLiteral("ПАЦИЕНТОВ-42")));
        // "-42", "-420".."-429": eleven patients.
        if (found.size() != 11) state.SkipWithError("the search found other patients");
    }
}

// The archive window's trend, as choosing the patient makes it: the 100 days' bytes read in
// one query, each day evaluated once, the points drawn.
void BM_Trend100Days(benchmark::State& state, Driver driver) {
    const std::unique_ptr<ArchivePlace> place = freshArchive(driver);
    if (skipWithoutServer(state, place.get())) return;
    fill(*place, 1, kTrendDays);
    Archive archive(place->address());
    const std::vector<Patient> patients = groupPatients(archive.list());
    TrendChartView view(nullptr);
    view.resize(900, 300);
    QPixmap canvas(view.size());
    for (auto _ : state) {
        const Patient& patient = patients.at(0);
        const std::vector<TrendPoint> points =
            patientTrend(patient, dayOverviews(archive, patient.days));
        view.setPoints(points);
        canvas = view.grab();
        if (points.size() != kTrendDays * demoDayPlan().size())
            state.SkipWithError("not every voiding in the trend");
    }
}

BENCHMARK_CAPTURE(BM_KeepDay, sqlite, Driver::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_KeepDay, postgresql, Driver::Server)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_List10000Days, sqlite, Driver::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_List10000Days, postgresql, Driver::Server)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search10000Days, sqlite, Driver::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search10000Days, postgresql, Driver::Server)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Trend100Days, sqlite, Driver::Embedded)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Trend100Days, postgresql, Driver::Server)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow
