#include "archive/Archive.h"

#include <openssl/evp.h>

#include <QAtomicInteger>
#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <array>
#include <memory>
#include <set>

#include "archive/ArchiveError.h"
#include "archive/Connection.h"
#include "archive/DayFacts.h"
#include "archive/Schema.h"
#include "archive/SqlCall.h"

namespace uroflow {

namespace {

QString nextConnectionName() {
    static QAtomicInteger<int> counter;
    return QStringLiteral("uroflow-archive-%1").arg(counter.fetchAndAddRelaxed(1));
}

QByteArray memoryBytes(const Image& device) {
    return QByteArray(reinterpret_cast<const char*>(device.data()),
                      static_cast<qsizetype>(kMemorySize));
}

// OpenSSL's SHA-256 uses the processor's own instructions: every day read back is checked,
// and Qt's portable one took most of the time of drawing a patient's trend.
QString sha256Of(const QByteArray& bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.constData(), static_cast<std::size_t>(bytes.size()), digest.data(),
                   &length, EVP_sha256(), nullptr) != 1) {
        throw ArchiveError(archiveFailureText(QStringLiteral("SHA-256 не вычислен")).toStdString());
    }
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest.data()), static_cast<qsizetype>(length))
            .toHex());
}

// Qt binds a null QString as SQL NULL; an empty text is still a text.
QString nonNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QVariant textOrNull(const std::optional<std::string>& text) {
    return text ? QVariant(QString::fromStdString(*text)) : QVariant(QMetaType(QMetaType::QString));
}

// "a%b" finds names holding "a%b" literally: LIKE's wildcards are escaped.
QString containsPattern(const QString& filter) {
    QString escaped = nameKey(filter);
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

// SQLite takes 32,766 bound values in a statement, PostgreSQL 65,535.
constexpr std::size_t kImagesPerQuery = 1000;

const QString kDayColumns = QStringLiteral(
    "id, sha256, sex, name, age, date, calibr_coef, studies, first_start, last_start, kept_at, "
    "source, file_name, doctor");

KeptDay keptDayFrom(const QSqlQuery& query) {
    KeptDay day;
    day.id = query.value(0).toLongLong();
    day.sha256 = query.value(1).toString();
    day.sex = query.value(2).toString();
    day.name = query.value(3).toString();
    day.age = query.value(4).toString();
    day.date = query.value(5).toString();
    day.calibrCoef = query.value(6).toInt();
    day.studies = query.value(7).toInt();
    day.firstStart = query.value(8).toString();
    day.lastStart = query.value(9).toString();
    day.keptAt = query.value(10).toString();
    day.source = query.value(11).toString();
    day.fileName = query.value(12).toString();
    day.doctor = query.value(13).toString();
    return day;
}

// A failed call closes the connection: the next one connects afresh, so an archive
// that was away for a while is used again as soon as it is back.
template <typename Work>
auto closingOnFailure(Archive& archive, Work work) {
    try {
        return work();
    } catch (...) {
        archive.close();
        throw;
    }
}

}  // namespace

QString keepSourceText(KeepSource source) {
    switch (source) {
        case KeepSource::Download:
            return QStringLiteral("download");
        case KeepSource::File:
            return QStringLiteral("file");
        case KeepSource::Import:
            break;
    }
    return QStringLiteral("import");
}

QString imageSha256(const Image& device) {
    return sha256Of(memoryBytes(device));
}

Archive::Archive(ArchiveAddress address, ArchiveOptions options)
    : address_(std::move(address)), options_(options), connectionName_(nextConnectionName()) {}

Archive::~Archive() {
    close();
    QSqlDatabase::removeDatabase(connectionName_);
}

void Archive::close() {
    ready_ = false;
    if (QSqlDatabase::contains(connectionName_)) {
        QSqlDatabase::database(connectionName_, false).close();
    }
}

QSqlDatabase Archive::database() {
    if (ready_) return QSqlDatabase::database(connectionName_, false);
    QSqlDatabase db;
    if (address_.kind == ArchiveAddress::Kind::Embedded) {
        db = openEmbedded(connectionName_, address_.file, options_.timeoutMs);
        migrateSchema(db, sqliteDialect());
    } else {
        db = openServer(connectionName_, address_, options_.timeoutMs);
        migrateSchema(db, postgresDialect());
    }
    ready_ = true;
    return db;
}

void Archive::open() {
    closingOnFailure(*this, [this] { database(); });
}

KeepResult Archive::keep(const Image& device, KeepSource source, const QString& fileName,
                         const QString& doctor) {
    const QByteArray bytes = memoryBytes(device);
    const QString sha = sha256Of(bytes);
    const DayFacts facts = dayFacts(device);
    const QString name = QString::fromStdString(facts.passport.name);
    return closingOnFailure(*this, [&] {
        QSqlDatabase db = database();
        // The day and its bytes go in together or not at all.
        WriteTransaction transaction(db, address_.kind == ArchiveAddress::Kind::Server,
                                     WriteTransaction::Lock::Rows);
        QSqlQuery query(db);
        // Two programs keeping the same day at once: the unique key lets one in and the
        // other finds the day already there.
        runSql(query,
               QStringLiteral("INSERT INTO days (sha256, sex, name, name_key, age, date, "
                              "calibr_coef, studies, first_start, last_start, kept_at, source, "
                              "file_name, doctor) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                              "?) ON CONFLICT (sha256) DO NOTHING RETURNING id"),
               {sha, nonNull(QString::fromStdString(sexText(facts.passport.sex))), nonNull(name),
                nonNull(nameKey(name)), nonNull(QString::fromStdString(facts.passport.age)),
                nonNull(QString::fromStdString(facts.passport.date)), facts.calibrCoef,
                facts.studies, textOrNull(facts.firstStart), textOrNull(facts.lastStart),
                QDateTime::currentDateTimeUtc().toString(Qt::ISODate), keepSourceText(source),
                nonNull(fileName), nonNull(doctor)});
        KeepResult result;
        if (query.next()) {
            result = {query.value(0).toLongLong(), true};
            query.finish();
            runSql(query, QStringLiteral("INSERT INTO day_images (day_id, image) VALUES (?, ?)"),
                   {result.id, bytes});
        } else {
            query.finish();
            runSql(query, QStringLiteral("SELECT id FROM days WHERE sha256 = ?"), {sha});
            if (!query.next()) {
                throw ArchiveError(
                    archiveFailureText(QStringLiteral("день не сохранен и не найден"))
                        .toStdString());
            }
            result = {query.value(0).toLongLong(), false};
        }
        query.finish();
        transaction.commit();
        return result;
    });
}

std::vector<KeptDay> Archive::list(const QString& nameFilter) {
    return closingOnFailure(*this, [&] {
        QSqlDatabase db = database();
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (nameFilter.isEmpty()) {
            runSql(query, QStringLiteral("SELECT %1 FROM days ORDER BY id").arg(kDayColumns));
        } else {
            runSql(query,
                   QStringLiteral("SELECT %1 FROM days WHERE name_key LIKE ? ESCAPE '\\' "
                                  "ORDER BY id")
                       .arg(kDayColumns),
                   {containsPattern(nameFilter)});
        }
        std::vector<KeptDay> days;
        while (query.next()) days.push_back(keptDayFrom(query));
        return days;
    });
}

std::optional<KeptDay> Archive::day(qint64 id) {
    return closingOnFailure(*this, [&]() -> std::optional<KeptDay> {
        QSqlDatabase db = database();
        QSqlQuery query(db);
        runSql(query, QStringLiteral("SELECT %1 FROM days WHERE id = ?").arg(kDayColumns), {id});
        if (!query.next()) return std::nullopt;
        return keptDayFrom(query);
    });
}

Image Archive::image(qint64 id) {
    auto device = std::make_unique<Image>();
    forEachImage({id}, [&](qint64, const Image& kept) { *device = kept; });
    return *device;
}

void Archive::forEachImage(const std::vector<qint64>& ids,
                           const std::function<void(qint64, const Image&)>& use) {
    // Each id once, in chunks well below the drivers' limits on bound values.
    std::vector<qint64> wanted = ids;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    if (wanted.empty()) return;
    closingOnFailure(*this, [&] {
        QSqlDatabase db = database();
        auto device = std::make_unique<Image>();
        for (std::size_t first = 0; first < wanted.size(); first += kImagesPerQuery) {
            const std::size_t count = std::min(kImagesPerQuery, wanted.size() - first);
            QSqlQuery query(db);
            query.setForwardOnly(true);
            QStringList marks;
            QVariantList values;
            for (std::size_t i = first; i < first + count; ++i) {
                marks << QStringLiteral("?");
                values << wanted[i];
            }
            runSql(query,
                   QStringLiteral("SELECT d.id, d.sha256, i.image FROM days d JOIN day_images i "
                                  "ON i.day_id = d.id WHERE d.id IN (%1)")
                       .arg(marks.join(QLatin1Char(','))),
                   values);
            std::set<qint64> missing(wanted.begin() + static_cast<std::ptrdiff_t>(first),
                                     wanted.begin() + static_cast<std::ptrdiff_t>(first + count));
            while (query.next()) {
                const qint64 id = query.value(0).toLongLong();
                const QByteArray bytes = query.value(2).toByteArray();
                if (bytes.size() != static_cast<qsizetype>(kMemorySize) ||
                    sha256Of(bytes) != query.value(1).toString()) {
                    throw ArchiveError(QStringLiteral("День %1 в архиве поврежден: его байты не "
                                                      "совпадают с сохраненными")
                                           .arg(id)
                                           .toStdString());
                }
                device->fill(0);
                std::copy(bytes.cbegin(), bytes.cend(), device->begin());
                use(id, *device);
                missing.erase(id);
            }
            if (!missing.empty()) {
                throw ArchiveError(
                    QStringLiteral("В архиве нет дня %1").arg(*missing.begin()).toStdString());
            }
        }
    });
}

}  // namespace uroflow
