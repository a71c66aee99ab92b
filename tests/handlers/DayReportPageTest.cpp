// What the day report's page promises a doctor, read back from the PDF by its text.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "app/DayReportPdf.h"
#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "tests/handlers/PdfText.h"
#include "tests/support/ImageBuilder.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {
namespace {

// A4 in points, and the page's side margins.
constexpr double kPageWidthPt = 595.3;
constexpr double kMarginPt = 12 / 25.4 * 72;

class DayReportPage : public ::testing::Test {
  protected:
    // The page of `report` as the window writes it.
    QString write(const DayReport& report, const Passport& shown, const std::string& doctor = "",
                  const NightWindow& night = {}) {
        const QString path = QDir(folder_.path()).filePath(QStringLiteral("day.pdf"));
        writeDayReportPdf(buildDaySheet(report, shown, doctor, night),
                          QFile::encodeName(path).toStdString());
        return path;
    }
    QString write(const DayReport& report) { return write(report, report.passport); }

    static DayReport reportOf(const std::vector<DemoVoiding>& plan) {
        return buildDayReport(*std::make_unique<Image>(buildDemoDay(plan)));
    }

  private:
    QTemporaryDir folder_;
};

// The numbers drawn beside the nomogram's points: the numbers right of the summary,
// between the chart's title and its volume axis, that are no tick of the flow axis.
std::vector<PdfWord> pointLabels(const std::vector<PdfWord>& words) {
    double top = 0;
    double bottom = 0;
    double left = 0;
    for (const PdfWord& word : words) {
        if (word.text == QStringLiteral("Компьютерная")) top = word.box.bottom() + 12;
        if (word.text == QStringLiteral("Обьем") && word.box.left() > 250)
            bottom = word.box.top() - 9;
        if (word.text == QStringLiteral("Сводка")) left = word.box.left() + 250;
    }
    const QRectF area(left, top, kPageWidthPt - left, bottom - top);
    const QStringList ticks = {"0", "10", "20", "30", "40", "50"};
    std::vector<PdfWord> labels;
    for (const PdfWord& word : words) {
        bool number = false;
        word.text.toInt(&number);
        if (number && area.contains(word.box.center()) && !ticks.contains(word.text))
            labels.push_back(word);
    }
    return labels;
}

// The words of the table row that starts at `start`, left to right.
QString rowOf(const std::vector<PdfWord>& words, const QString& start) {
    double middle = -1;
    for (const PdfWord& word : words)
        if (word.text == start) middle = word.box.center().y();
    QStringList row;
    for (const PdfWord& word : words)
        if (std::abs(word.box.center().y() - middle) < 3) row.push_back(word.text);
    return row.join(QLatin1Char(' '));
}

TEST_F(DayReportPage, AVoidingLeftOutInTheWindowIsLeftOutOfTheNomogramAndTheSummary) {
    DayReport report = reportOf(demoDayPlan());
    report.nomogram.studies[2].included = false;
    const QString path = write(report);
    const QString page = pdfText(path, 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("Мочеиспусканий: 6"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("Исключены врачом из оценки: № 3")));
    EXPECT_TRUE(page.contains(QString::fromUtf8(kLeftOutText)));
    // The points' labels: every voiding's number but the third.
    const std::vector<PdfWord> words = pdfWords(path, 1);
    QStringList labels;
    for (const PdfWord& label : pointLabels(words)) labels.push_back(label.text);
    labels.sort();
    EXPECT_EQ(labels, QStringList({"1", "2", "4", "5", "6", "7"}));
}

TEST_F(DayReportPage, ACalibrationOutOfRangeIsWarnedAboutAtTheTop) {
    ImageBuilder builder;
    builder.calibration(39996).addDecodedStudy(99, 8, 0, std::vector<std::uint16_t>(200, 8000), 40);
    const QString path = write(buildDayReport(builder.image()));
    const std::vector<PdfWord> words = pdfWords(path, 1);
    const QString page = pdfText(path, 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral(
        "Внимание! Калибровка вне допустимых пределов: K = 39996 (допустимо 40000–60000)")))
        << page.toStdString();
    double warning = 0;
    double patient = 0;
    for (const PdfWord& word : words) {
        if (word.text == QStringLiteral("Внимание!")) warning = word.box.top();
        if (word.text == QStringLiteral("ФИО")) patient = word.box.top();
    }
    EXPECT_GT(warning, 0);
    EXPECT_LT(warning, patient);  // above everything but the title
    // With K out of range there are no standard figures to print.
    EXPECT_FALSE(buildDayReport(builder.image()).studies[0].ics);
}

TEST_F(DayReportPage, EveryRowHasTheStandardFiguresBesideTheDevicesAndItsValidity) {
    const DayReport demo = reportOf(demoDayPlan());
    const QString demoPage = pdfText(write(demo), 1).simplified();
    for (const QString& title :
         {QStringLiteral("Показатели урофлоуметра"), QStringLiteral("Стандартный анализ"),
          QStringLiteral("Qmax"), QStringLiteral("Qср"), QStringLiteral("Tпот"),
          QStringLiteral("Tмоч"), QStringLiteral("TQmax")})
        EXPECT_TRUE(demoPage.contains(title)) << title.toStdString();
    // The first voiding's row: the device's Q2 17,4 and T3 33,3, the standard Qmax 16,5,
    // average 10,1, flow time 40,5 (flow and voiding time alike) and 17,0 s to Qmax.
    EXPECT_TRUE(demoPage.contains(
        QStringLiteral("1 06:40:00 4,8 21,8 33,3 49,9 11,6 17,4 189 408/410 — 16,5 10,1 "
                       "40,5 40,5 17,0")))
        << demoPage.toStdString();

    // A small voiding, and one with a pause of 2 s.
    ImageBuilder builder;
    builder.calibration(kDemoCalibration).sex(1).age("45");
    std::vector<std::uint16_t> small(120, 4000);  // 8 ml/s for 15 s: 119 ml
    builder.addDecodedStudy(99, 8, 0, small, 40);
    std::vector<std::uint16_t> paused(160, 6000);  // 12 ml/s, 2 s without flow inside
    std::fill(paused.begin() + 72, paused.begin() + 88, 0);
    builder.addDecodedStudy(99 + ImageBuilder::decodedStudyLength(small.size(), true), 12, 0,
                            paused, 40);
    const std::vector<PdfWord> words = pdfWords(write(buildDayReport(builder.image())), 1);
    const QString small119 = rowOf(words, QStringLiteral("08:00:00"));
    EXPECT_TRUE(small119.endsWith(QStringLiteral("< 150 мл"))) << small119.toStdString();
    const QString intermittent = rowOf(words, QStringLiteral("12:00:00"));
    EXPECT_TRUE(intermittent.endsWith(QStringLiteral("прерывистое"))) << intermittent.toStdString();
}

TEST_F(DayReportPage, TheNightBlockGivesWhatTheRecordingHoldsAndTheSleepPeriodAssumed) {
    // 06:40 to 23:05: no night.
    const QString day = pdfText(write(reportOf(demoDayPlan())), 1).simplified();
    EXPECT_TRUE(day.contains(QStringLiteral("Период сна: 23:00–07:00")));
    EXPECT_TRUE(day.contains(
        QStringLiteral("Индекс ночной полиурии: не определено (запись не охватывает ночь)")));
    EXPECT_FALSE(day.contains(QStringLiteral("ноктурия): 2")));

    // From 07:30 through the night to 07:20: 200 + 150 + 350 ml of 1 490 ml after the
    // first voiding.
    std::vector<DemoVoiding> plan;
    const std::pair<int, int> times[] = {{7, 30},  {11, 0}, {15, 0}, {19, 0},
                                         {22, 30}, {2, 0},  {5, 0},  {7, 20}};
    const double volumes[] = {300, 250, 300, 200, 140, 200, 150, 350};
    for (std::size_t i = 0; i < std::size(times); ++i) {
        plan.push_back({static_cast<std::uint8_t>(times[i].first),
                        static_cast<std::uint8_t>(times[i].second), 3, volumes[i], 15, false});
    }
    const DayReport night = reportOf(plan);
    const QString page = pdfText(write(night, night.passport), 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("Ночных мочеиспусканий (ноктурия): 2")))
        << page.toStdString();
    const DaySummary summary = summarizeDay(night);
    ASSERT_TRUE(summary.night.npi);
    const QString npi = QString::number(qRound(*summary.night.npi * 100)) + QStringLiteral(" %");
    EXPECT_TRUE(page.contains(QStringLiteral("Индекс ночной полиурии: ") + npi));

    // Another sleep period is printed as assumed.
    const QString moved =
        pdfText(write(night, night.passport, "", *parseNightWindow("22:00-06:00")), 1).simplified();
    EXPECT_TRUE(moved.contains(QStringLiteral("Период сна: 22:00–06:00")));
}

TEST_F(DayReportPage, OneArtefactDoesNotFlattenTheCurvesAndAClippedCurveIsMarked) {
    ImageBuilder builder;
    builder.calibration(kDemoCalibration).sex(1).age("45");
    std::vector<std::uint16_t> plain(160, 9000);  // 18 ml/s for 20 s
    std::vector<std::uint16_t> knocked = plain;
    // A knock that rises over three samples, so the artefact cut lets it through.
    knocked[80] = 25000;
    knocked[81] = 60000;
    knocked[82] = 25000;
    builder.addDecodedStudy(99, 8, 0, plain, 40);
    builder.addDecodedStudy(99 + ImageBuilder::decodedStudyLength(plain.size(), true), 12, 0,
                            knocked, 40);
    const DayReport report = buildDayReport(builder.image());
    ASSERT_GT(report.studies[1].indices->qmax, 70);  // the device takes the knock for Qmax
    const QString path = write(report);
    const std::vector<PdfWord> words = pdfWords(path, 1);
    // The curves' flow scale, written at each curve: 2 s of the knock and plain flow give
    // 30 ml/s, 40 with room.
    double curvesTop = 0;
    for (const PdfWord& word : words)
        if (word.text == QStringLiteral("Урофлоуграммы")) curvesTop = word.box.bottom();
    ASSERT_GT(curvesTop, 0);
    int scales = 0;
    for (const PdfWord& word : words)
        if (word.box.top() > curvesTop && word.text == QStringLiteral("40")) ++scales;
    EXPECT_EQ(scales, 2);
    EXPECT_EQ(pdfText(path, 1).simplified().count(QStringLiteral("▲ выше шкалы")), 1);
}

TEST_F(DayReportPage, PointsBeyondTheAxesAreCountedAndLabelsOfCrowdedPointsDoNotOverlap) {
    std::vector<DemoVoiding> plan;
    // Six voidings alike, crowding one place, and one beyond the volume axis.
    for (int i = 0; i < 6; ++i)
        plan.push_back({static_cast<std::uint8_t>(8 + 2 * i), 0, 3, 250, 15, false});
    plan.push_back({22, 0, 3, 640, 24, false});
    const QString path = write(reportOf(plan));
    const QString page = pdfText(path, 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("За пределами осей (1): № 7"))) << page.toStdString();

    const std::vector<PdfWord> words = pdfWords(path, 1);
    std::vector<QRectF> labels;
    std::set<QString> numbers;
    for (const PdfWord& label : pointLabels(words)) {
        numbers.insert(label.text);
        labels.push_back(label.box);
    }
    EXPECT_EQ(numbers.size(), 7u);
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            EXPECT_FALSE(labels[i].intersects(labels[j])) << i << " and " << j;
}

TEST_F(DayReportPage, ALegendExplainsTheZonesAndThePoints) {
    const QString page = pdfText(write(reportOf(demoDayPlan())), 1).simplified();
    for (const QString& entry :
         {QStringLiteral("Зоны:"), QStringLiteral("L–M"), QStringLiteral("M–U"),
          QStringLiteral("«ниже L»"), QStringLiteral("«выше U»"),
          QStringLiteral("исследования дня"), QStringLiteral("архивный день"),
          QStringLiteral("за пределами осей")})
        EXPECT_TRUE(page.contains(entry)) << entry.toStdString();
}

TEST_F(DayReportPage, LongNamesWrapAndVolumesArePlainNumbers) {
    DayReport report = reportOf(demoDayPlan());
    Passport shown = report.passport;
    shown.name = "Константинопольская-Ибрагимова Александра Вольдемаровна";
    const std::string doctor =
        "Преображенский-Рождественский Филипп Филиппович, заведующий "
        "урологическим отделением";
    const QString path = write(report, shown, doctor);
    for (const PdfWord& word : pdfWords(path, 1))
        EXPECT_LE(word.box.right(), kPageWidthPt - kMarginPt + 1) << word.text.toStdString();
    const QString page = pdfText(path, 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("урологическим отделением")));
    EXPECT_TRUE(page.contains(QStringLiteral("Вольдемаровна")));
    EXPECT_TRUE(page.contains(QStringLiteral("Общий объем: 1 988 мл"))) << page.toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("E+")));
}

TEST_F(DayReportPage, ErrorRowsReadInRussian) {
    for (const SampleDay& day : sampleDays()) {
        if (day.name != "invalid-start-time") continue;
        const QString page =
            pdfText(write(buildDayReport(buildDemoDay(day.plan, day.end))), 1).simplified();
        EXPECT_TRUE(page.contains(QStringLiteral("время начала записано неверно (25:07)")))
            << page.toStdString();
        EXPECT_FALSE(page.contains(QStringLiteral("is not a valid time")));
    }
}

// Every golden day's every page: nothing drawn over anything else, nothing off the page.
TEST_F(DayReportPage, NoWordOfAGoldenDayCoversAnother) {
    for (const SampleDay& day : sampleDays()) {
        SCOPED_TRACE(day.name);
        const DayReport report = buildDayReport(buildDemoDay(day.plan, day.end));
        const QString path = write(report);
        for (int page = 1; page <= pdfPages(path); ++page) {
            SCOPED_TRACE(page);
            std::vector<PdfWord> words = pdfWords(path, page);
            // The flow axis title is set upright; its words stand in one column.
            std::erase_if(words, [](const PdfWord& w) {
                return w.box.height() > w.box.width() * 1.5 && w.text.size() > 1;
            });
            for (std::size_t i = 0; i < words.size(); ++i) {
                EXPECT_LE(words[i].box.right(), kPageWidthPt - kMarginPt + 1)
                    << words[i].text.toStdString();
                for (std::size_t j = i + 1; j < words.size(); ++j) {
                    const QRectF common = words[i].box.intersected(words[j].box);
                    EXPECT_FALSE(common.width() > 0.5 && common.height() > 0.5)
                        << words[i].text.toStdString() << " / " << words[j].text.toStdString();
                }
            }
        }
    }
}

}  // namespace
}  // namespace uroflow::test
