// The archive window's grouping of kept days into patients and its reading of their dates.

#include <gtest/gtest.h>

#include "archive/Patients.h"

namespace uroflow::test {
namespace {

KeptDay keptDay(qint64 id, const QString& name, const QString& date,
                const QString& sex = QStringLiteral("М")) {
    KeptDay day;
    day.id = id;
    day.name = name;
    day.date = date;
    day.sex = sex;
    return day;
}

TEST(PassportDate, OnlyARealDateOfThisCenturyInTheDevicesForm) {
    EXPECT_EQ(passportDate(QStringLiteral("09.02.26")), QDate(2026, 2, 9));
    EXPECT_EQ(passportDate(QStringLiteral("29.02.24")), QDate(2024, 2, 29));
    for (const char* text : {"29.02.25", "00.01.26", "09.13.26", "9.02.26", "09.02.2026",
                             "09-02-26", "09.02.2a", " 9.02.26", "", "........"}) {
        EXPECT_FALSE(passportDate(QString::fromLatin1(text))) << text;
    }
    EXPECT_FALSE(passportDate(QStringLiteral("٠٩.٠٢.٢٦")));  // digits of another script
}

TEST(GroupPatients, OnePatientPerNameInAnyCaseAndSexDaysByDate) {
    const std::vector<KeptDay> days{
        keptDay(1, QStringLiteral("Петрова А.А."), QStringLiteral("12.02.26"), QStringLiteral("Ж")),
        keptDay(2, QStringLiteral("ПЕТРОВА  А.А. "), QStringLiteral("09.02.26"),
                QStringLiteral("Ж")),
        keptDay(3, QStringLiteral("Петрова А.А."), QStringLiteral("??.??.??"), QStringLiteral("Ж")),
        keptDay(4, QStringLiteral("Петрова А.А."), QStringLiteral("01.01.26"), QStringLiteral("М")),
        keptDay(5, QStringLiteral("Иванов И.И."), QStringLiteral("01.01.26")),
    };
    const std::vector<Patient> patients = groupPatients(days);
    ASSERT_EQ(patients.size(), 3u);
    EXPECT_EQ(patients[0].name, QStringLiteral("Иванов И.И."));
    const Patient& woman = patients[1].sex == QStringLiteral("Ж") ? patients[1] : patients[2];
    ASSERT_EQ(woman.days.size(), 3u);
    // The day without a date first, then by date; the name as the latest day spells it.
    EXPECT_EQ(woman.days[0].id, 3);
    EXPECT_EQ(woman.days[1].id, 2);
    EXPECT_EQ(woman.days[2].id, 1);
    EXPECT_EQ(woman.name, QStringLiteral("Петрова А.А."));
}

}  // namespace
}  // namespace uroflow::test
