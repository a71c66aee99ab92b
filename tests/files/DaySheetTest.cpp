#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "files/DaySheet.h"
#include "nomogram/NomogramZone.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

TEST(DaySheet, DemoDayRowsCurvesAndScale) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    const DayReport report = buildDayReport(*device);
    // The passport as the window shows it wins over the image's.
    Passport shown = report.passport;
    shown.name = "Иванова А.А.";
    shown.sex = Sex::Female;
    const DaySheet sheet = buildDaySheet(report, shown, "Петров П.П.");

    EXPECT_EQ(sheet.name, "Иванова А.А.");
    EXPECT_EQ(sheet.sex, "Ж");
    EXPECT_EQ(sheet.age, "64");
    EXPECT_EQ(sheet.doctor, "Петров П.П.");
    ASSERT_EQ(sheet.rows.size(), 7u);
    ASSERT_EQ(sheet.curves.size(), 7u);
    double longest = 0;
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        SCOPED_TRACE(i);
        const StudyReport& study = report.studies[i];
        EXPECT_EQ(sheet.rows[i].start, *study.start);
        EXPECT_EQ(sheet.rows[i].texts.vml, reportTexts(study.indices).vml);
        EXPECT_EQ(sheet.curves[i].caption,
                  "№ " + std::to_string(i + 1) + "  " + study.start->substr(0, 5));
        longest = std::max(longest, sheet.curves[i].points.back().x);
    }
    // 06:40 to 23:05 holds no night: no row belongs to one.
    for (const SheetRow& row : sheet.rows) EXPECT_EQ(row.part, "");
    // One scale for all curves, in whole tens, covering the longest and the fastest.
    EXPECT_EQ(sheet.curveSeconds, 50);
    EXPECT_GE(sheet.curveSeconds, longest);
    EXPECT_EQ(sheet.curveFlow, 30);
    EXPECT_EQ(sheet.summary.front(), "Мочеиспусканий: 7");

    // A woman of 64: her nomogram, its zones, and every study's point on it.
    ASSERT_EQ(sheet.nomogram, NomogramKind::Woman);
    ASSERT_EQ(sheet.points.size(), 7u);
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        const SheetPoint& point = sheet.points[i];
        const auto zone = nomogramZone(NomogramKind::Woman, point.volume, point.qmax);
        EXPECT_EQ(sheet.rows[i].zone, zone ? zoneText(*zone) : "—") << i;
    }
    // The image's own passport (a man of 64) reads the 408 ml voiding beyond his bands.
    const DaySheet own = buildDaySheet(report, report.passport, "");
    EXPECT_EQ(own.nomogram, NomogramKind::Man51);
    EXPECT_EQ(own.rows[0].zone, "—");
    EXPECT_EQ(own.rows[1].zone, "L–M");
}

TEST(DaySheet, NomogramChosenOrTheMissingFieldNamed) {
    const struct {
        std::optional<Sex> sex;
        const char* age;
        std::optional<NomogramKind> kind;
        const char* missing;
    } cases[] = {
        {Sex::Male, "49", NomogramKind::Man49, ""},
        {Sex::Female, "2,5", NomogramKind::Girls, ""},
        {{}, "49", {}, "Номограмма не выбрана: не указан пол пациента"},
        {Sex::Male, " ", {}, "Номограмма не выбрана: не указан возраст пациента"},
        {{}, "", {}, "Номограмма не выбрана: не указаны пол и возраст пациента"},
        {Sex::Male,
         "\xC3\xBF\xC3\xBF",
         {},
         "Номограмма не выбрана: возраст пациента указан неверно (\"ÿÿ\")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.age);
        Passport shown;
        shown.sex = c.sex;
        shown.age = c.age;
        const NomogramChoice choice = sheetNomogram(shown);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.missing, c.missing);
    }
    // Without a chart the table has no zone column values at all.
    const auto device = std::make_unique<Image>(buildDemoDay());
    const DayReport report = buildDayReport(*device);
    const DaySheet sheet = buildDaySheet(report, Passport{}, "");
    EXPECT_FALSE(sheet.nomogram);
    for (const SheetRow& row : sheet.rows) EXPECT_EQ(row.zone, "");
}

TEST(DaySheet, SummaryLinesSayWhatIsMissing) {
    DaySummary none;
    none.notSummed = kNoCalibrationText;
    EXPECT_EQ(summaryLines(none), std::vector<std::string>{std::string("Сводка не составлена: ") +
                                                           kNoCalibrationText + "."});

    DaySummary small;
    small.counted = 1;
    small.total = 1234.56;
    small.largest = 99.5;
    small.voidings.resize(2);
    small.voidings[0].counted = true;
    small.voidings[1].number = 2;
    const std::vector<std::string> lines = summaryLines(small);
    const std::vector<std::string> expected = {
        "Мочеиспусканий: 1",
        "Общий объем: 1 235 мл",
        "Наибольший объем: 100 мл",
        "Qmax: нет мочеиспусканий объемом от 150 мл",
        "Период сна: 23:00–07:00",
        "Ночных мочеиспусканий (ноктурия): не определено (запись не охватывает ночь)",
        "Ночной объем (с первым утренним): не определено (запись не охватывает ночь)",
        "Суточный объем: не определено (запись не охватывает ночь)",
        "Индекс ночной полиурии: не определено (запись не охватывает ночь)",
        "Не вошли в сводку: № 2",
    };
    EXPECT_EQ(lines, expected);

    small.qmaxMean = 17.25;
    small.qmaxHighest = 22.04;
    small.total = 10780.4;
    small.night.covered = true;
    small.night.voidings = 2;
    small.night.volume = 812;
    small.night.nightUnknown.reset();
    small.night.dayUnknown = kNotStartedInTheMorningText;
    const std::vector<std::string> evening = summaryLines(small);
    EXPECT_EQ(evening[1], "Общий объем: 10 780 мл");  // never "1,078E+004"
    EXPECT_EQ(evening[3], "Средняя Qmax (объем от 150 мл): 17,3 мл/сек");
    EXPECT_EQ(evening[4], "Наибольшая Qmax (объем от 150 мл): 22,0 мл/сек");
    EXPECT_EQ(evening[6], "Ночных мочеиспусканий (ноктурия): 2");
    EXPECT_EQ(evening[7], "Ночной объем (с первым утренним): 812 мл");
    EXPECT_EQ(evening[8], "Суточный объем: не определено (запись начата не утром)");
    EXPECT_EQ(evening[9], "Индекс ночной полиурии: не определено (запись начата не утром)");

    small.night.volume24h = 1868;
    small.night.npi = 0.4346;
    small.night.dayUnknown.reset();
    const std::vector<std::string> full = summaryLines(small);
    EXPECT_EQ(full[8], "Суточный объем: 1 868 мл");
    EXPECT_EQ(full[9], "Индекс ночной полиурии: 43 %");
}

TEST(DaySheet, PagesAndFileNames) {
    const std::pair<std::size_t, std::size_t> pages[] = {{0, 1},  {1, 1},  {10, 1},
                                                         {11, 2}, {20, 2}, {21, 3}};
    for (const auto& [voidings, expected] : pages)
        EXPECT_EQ(sheetPages(voidings), expected) << voidings;

    const struct {
        const char* name;
        const char* date;
        const char* file;
    } names[] = {
        {"Иванов И.И.", "05.03.26", "Иванов И.И. 05.03.26.pdf"},
        {"  Иванов  ", "", "Иванов.pdf"},
        {"", "05.03.26", "05.03.26.pdf"},
        {"", "", "Отчет.pdf"},
        {"a/b\\c:d*e?f\"g<h>i|j\tk", "1/2", "a_b_c_d_e_f_g_h_i_j_k 1_2.pdf"},
    };
    for (const auto& n : names) EXPECT_EQ(dayReportFileName(n.name, n.date), n.file) << n.name;
}

}  // namespace
}  // namespace uroflow
