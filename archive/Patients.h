#pragma once
// The kept days grouped by patient, as the archive window lists them.

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "archive/Archive.h"

namespace uroflow {

struct Patient {
    QString name;               // as the latest day spells it
    QString sex;                // "М", "Ж" or ""
    QString age;                // of the latest day
    std::vector<KeptDay> days;  // by date, the latest last; days without a date first
};

// One patient per name (in any letter case, spaces trimmed) and sex; sorted by name.
std::vector<Patient> groupPatients(std::vector<KeptDay> days);

// The passport's "dd.mm.yy" as a date of this century; empty for any other text.
std::optional<QDate> passportDate(const QString& text);

}  // namespace uroflow
