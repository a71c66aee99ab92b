#include "archive/Patients.h"

#include <QMap>
#include <QPair>
#include <QRegularExpression>
#include <algorithm>

#include "archive/Schema.h"

namespace uroflow {

namespace {

// Days without a date sort first, then by date, then in the order they were kept.
bool earlier(const KeptDay& a, const KeptDay& b) {
    const std::optional<QDate> da = passportDate(a.date);
    const std::optional<QDate> db = passportDate(b.date);
    if (da.has_value() != db.has_value()) return !da.has_value();
    if (da && *da != *db) return *da < *db;
    return a.id < b.id;
}

}  // namespace

std::optional<QDate> passportDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return std::nullopt;
    // The device was made in this century (Qt's own "yy" would read 19yy).
    const QDate date(2000 + match.captured(3).toInt(), match.captured(2).toInt(),
                     match.captured(1).toInt());
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::vector<Patient> groupPatients(const std::vector<KeptDay>& days) {
    QMap<QPair<QString, QString>, Patient> byKey;
    for (const KeptDay& day : days) {
        Patient& patient = byKey[{nameKey(day.name.simplified()), day.sex}];
        patient.days.push_back(day);
    }
    std::vector<Patient> patients;
    for (Patient& patient : byKey) {
        std::sort(patient.days.begin(), patient.days.end(), earlier);
        const KeptDay& latest = patient.days.back();
        patient.name = latest.name;
        patient.sex = latest.sex;
        patient.age = latest.age;
        patients.push_back(std::move(patient));
    }
    return patients;
}

}  // namespace uroflow
