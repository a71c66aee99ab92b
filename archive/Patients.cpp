#include "archive/Patients.h"

#include <QMap>
#include <QPair>
#include <algorithm>

#include "archive/Schema.h"

namespace uroflow {

namespace {

struct DatedDay {
    std::optional<QDate> date;
    KeptDay* day;
};

// Days without a date sort first, then by date, then in the order they were kept.
bool earlier(const DatedDay& a, const DatedDay& b) {
    if (a.date.has_value() != b.date.has_value()) return !a.date.has_value();
    if (a.date && *a.date != *b.date) return *a.date < *b.date;
    return a.day->id < b.day->id;
}

}  // namespace

std::optional<QDate> passportDate(const QString& text) {
    // "dd.mm.yy" read by hand: it is asked for every kept day each time the list is made.
    const auto twoDigits = [&text](qsizetype at) -> std::optional<int> {
        const char16_t tens = text[at].unicode();
        const char16_t ones = text[at + 1].unicode();
        if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9') return std::nullopt;
        return (tens - u'0') * 10 + (ones - u'0');
    };
    if (text.size() != 8 || text[2] != QLatin1Char('.') || text[5] != QLatin1Char('.'))
        return std::nullopt;
    const std::optional<int> day = twoDigits(0);
    const std::optional<int> month = twoDigits(3);
    const std::optional<int> year = twoDigits(6);
    if (!day || !month || !year) return std::nullopt;
    // The device was made in this century (Qt's own "yy" would read 19yy).
    const QDate date(2000 + *year, *month, *day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::vector<Patient> groupPatients(std::vector<KeptDay> days) {
    // Each day's date read once, not at every comparison of the sort.
    QMap<QPair<QString, QString>, std::vector<DatedDay>> byKey;
    for (KeptDay& day : days) {
        byKey[{nameKey(day.name.simplified()), day.sex}].push_back({passportDate(day.date), &day});
    }
    std::vector<Patient> patients;
    patients.reserve(static_cast<std::size_t>(byKey.size()));
    for (std::vector<DatedDay>& dated : byKey) {
        std::sort(dated.begin(), dated.end(), earlier);
        Patient patient;
        patient.days.reserve(dated.size());
        // Each day moves once, from the list into its patient.
        for (const DatedDay& entry : dated) patient.days.push_back(std::move(*entry.day));
        const KeptDay& latest = patient.days.back();
        patient.name = latest.name;
        patient.sex = latest.sex;
        patient.age = latest.age;
        patients.push_back(std::move(patient));
    }
    return patients;
}

}  // namespace uroflow
