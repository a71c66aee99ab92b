#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <sstream>

#include "files/DaySummary.h"
#include "files/StudyFile.h"
#include "tests/files/TempFolder.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

// One decoded voiding: its start "hh:mm" and its volume (Qmax = volume / 10).
struct Voiding {
    const char* start;
    double volume;
};

DayReport dayOf(std::initializer_list<Voiding> voidings) {
    DayReport report;
    report.calibrCoef = kDemoCalibration;
    int number = 0;
    for (const Voiding& v : voidings) {
        StudyReport study;
        study.number = ++number;
        study.start = std::string(v.start) + ":00";
        StudyIndices indices;
        indices.volume = v.volume;
        indices.qmax = v.volume / 10;
        indices.flowTime = 20;
        study.indices = indices;
        report.studies.push_back(study);
    }
    return report;
}

// "N" for a night voiding, "M" for the first after a night, "-" for the day.
std::string marks(const DaySummary& summary) {
    std::string out;
    for (const SummaryVoiding& v : summary.voidings) out += v.night ? 'N' : v.morning ? 'M' : '-';
    return out;
}

TEST(DaySummary, NightsAsAVoidingDiaryCountsThem) {
    struct Case {
        const char* name;
        DayReport day;
        std::string marks;
        int nocturia;
        double nocturnal;
        std::vector<int> days;
    };
    const Case cases[] = {
        {"past midnight",
         dayOf({{"21:00", 300},
                {"23:30", 200},
                {"02:10", 150},
                {"06:50", 100},
                {"07:40", 400},
                {"10:00", 250}}),
         "-NNNM-",
         3,
         850,
         {0, 0, 1, 1, 1, 1}},
        // The night lies inside the recording without a voiding: the morning one is its urine.
        {"no night voiding",
         dayOf({{"09:00", 200}, {"18:00", 300}, {"22:00", 100}, {"07:30", 450}}),
         "---M",
         0,
         450,
         {0, 0, 0, 1}},
        // The recording never reaches a night.
        {"day only",
         dayOf({{"08:00", 200}, {"14:00", 300}, {"22:00", 100}}),
         "---",
         0,
         0,
         {0, 0, 0}},
        {"only night",
         dayOf({{"23:10", 200}, {"01:00", 300}, {"04:00", 100}}),
         "NNN",
         3,
         600,
         {0, 1, 1}},
        // From is inside the night, to is the first minute after it.
        {"edges",
         dayOf({{"22:59", 100}, {"23:00", 200}, {"06:59", 300}, {"07:00", 400}, {"07:01", 50}}),
         "-NNM-",
         2,
         900,
         {0, 0, 1, 1, 1}},
        // A recording that starts inside a night takes that night and its morning.
        {"starts at night",
         dayOf({{"06:40", 300}, {"09:00", 200}, {"23:05", 100}}),
         "NMN",
         2,
         600,
         {0, 0, 0}},
        // Two days: both nights, each with its own morning.
        {"two nights",
         dayOf({{"20:00", 100},
                {"03:00", 200},
                {"08:00", 300},
                {"12:00", 50},
                {"02:00", 60},
                {"09:00", 70}}),
         "-NM-NM",
         2,
         630,
         {0, 1, 1, 1, 2, 2}},
        // A voiding after a night that comes only once the next night has begun is no
        // morning voiding of the first.
        {"no morning before the next night",
         dayOf({{"01:00", 100}, {"23:30", 200}}),
         "NN",
         2,
         300,
         {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DaySummary summary = summarizeDay(c.day);
        EXPECT_EQ(marks(summary), c.marks);
        EXPECT_EQ(summary.nightVoidings, c.nocturia);
        EXPECT_DOUBLE_EQ(summary.nocturnalVolume, c.nocturnal);
        // Without a night in the recording there is no index to give.
        if (c.marks == "---") {
            EXPECT_EQ(summary.nights, 0);
            EXPECT_FALSE(summary.npi);
        } else {
            ASSERT_TRUE(summary.npi);
            EXPECT_DOUBLE_EQ(*summary.npi, c.nocturnal / summary.total);
        }
        std::vector<int> days;
        for (const SummaryVoiding& v : summary.voidings) days.push_back(v.day);
        EXPECT_EQ(days, c.days);
    }
}

TEST(DaySummary, AnotherNightWindowMovesTheSplit) {
    const DayReport day = dayOf({{"22:40", 100}, {"06:20", 200}, {"06:40", 300}, {"12:00", 400}});
    EXPECT_EQ(marks(summarizeDay(day)), "-NNM");
    const DaySummary moved = summarizeDay(day, *parseNightWindow("22:30-06:30"));
    EXPECT_EQ(marks(moved), "NNM-");
    EXPECT_DOUBLE_EQ(moved.nocturnalVolume, 600);
    // A window that does not run through midnight.
    EXPECT_EQ(marks(summarizeDay(day, *parseNightWindow("1:00-6:30"))), "-NM-");
}

TEST(DaySummary, FlowRatesOnlyFromVoidingsOfAtLeast150Ml) {
    const DaySummary small = summarizeDay(dayOf({{"08:00", 149.9}, {"12:00", 90}}));
    EXPECT_EQ(small.counted, 2);
    EXPECT_DOUBLE_EQ(small.total, 239.9);
    EXPECT_DOUBLE_EQ(*small.largest, 149.9);
    EXPECT_FALSE(small.qmaxMean);
    EXPECT_FALSE(small.qmaxHighest);

    const DaySummary mixed = summarizeDay(dayOf({{"08:00", 150}, {"12:00", 90}, {"15:00", 350}}));
    EXPECT_DOUBLE_EQ(*mixed.qmaxMean, 25);  // (15 + 35) / 2
    EXPECT_DOUBLE_EQ(*mixed.qmaxHighest, 35);
    EXPECT_DOUBLE_EQ(*mixed.largest, 350);
}

TEST(DaySummary, UndecodedStudiesAreListedAndLeftOut) {
    DayReport day = dayOf({{"08:00", 200}, {"23:30", 300}, {"03:00", 100}});
    // The second study's time is invalid: no start, no indices, its error.
    day.studies[1].start.reset();
    day.studies[1].indices.reset();
    day.studies[1].error = "'25:07' is not a valid time";
    const DaySummary summary = summarizeDay(day);
    ASSERT_EQ(summary.voidings.size(), 3u);
    EXPECT_FALSE(summary.voidings[1].counted);
    EXPECT_EQ(summary.voidings[1].error, "'25:07' is not a valid time");
    EXPECT_EQ(summary.counted, 2);
    EXPECT_DOUBLE_EQ(summary.total, 300);
    EXPECT_EQ(marks(summary), "--N");
    EXPECT_EQ(summary.voidings[2].day, 1);  // 03:00 after 08:00 still rolls over
    EXPECT_FALSE(summary.notSummed);

    struct Case {
        const char* name;
        DayReport day;
        const char* reason;
    };
    DayReport noCalibration = dayOf({{"08:00", 200}});
    noCalibration.calibrCoef = 0;
    noCalibration.studies[0].indices.reset();
    DayReport allInvalid = dayOf({{"08:00", 200}});
    allInvalid.studies[0] = day.studies[1];
    const Case empty[] = {{"no studies", DayReport{}, kNoStudiesText},
                          {"K = 0", noCalibration, kNoCalibrationText},
                          {"nothing decoded", allInvalid, kNothingDecodedText}};
    for (const Case& c : empty) {
        SCOPED_TRACE(c.name);
        const DaySummary none = summarizeDay(c.day);
        EXPECT_EQ(none.notSummed, c.reason);
        EXPECT_EQ(none.counted, 0);
        EXPECT_EQ(none.total, 0);
        EXPECT_FALSE(none.largest);
        EXPECT_FALSE(none.npi);
        EXPECT_EQ(none.voidings.size(), c.day.studies.size());
    }
}

TEST(DaySummary, NightWindowTexts) {
    const std::pair<const char*, std::optional<std::pair<int, int>>> cases[] = {
        {"23:00-07:00", {{1380, 420}}},
        {"0:00-6:30", {{0, 390}}},
        {"22:30-06:30", {{1350, 390}}},
        {"23:00-23:00", {}},
        {"24:00-07:00", {}},
        {"23:60-07:00", {}},
        {"23:00", {}},
        {"23:00-7", {}},
        {"a3:00-07:00", {}},
        {"123:00-07:00", {}},
        {"-23:00-07:00", {}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const std::optional<NightWindow> window = parseNightWindow(text);
        ASSERT_EQ(window.has_value(), expected.has_value());
        if (window) {
            EXPECT_EQ(window->from, expected->first);
            EXPECT_EQ(window->to, expected->second);
        }
    }
    EXPECT_EQ(clockText(7 * 60), "07:00");
    EXPECT_EQ(clockText(23 * 60 + 5), "23:05");
}

// The demo day through the file and the command line, as a script reads it.
TEST(DaySummary, ReportToolWritesTheSummary) {
    test::TempFolder folder;
    const std::string path = folder.file("day.txt");
    writeStudyFile(path, buildDemoDay());
    const auto device = std::make_unique<Image>(buildDemoDay());
    const DayReport report = buildDayReport(*device);
    double total = 0;
    for (const StudyReport& study : report.studies) total += study.indices->volume;

    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved);
        std::ostringstream out, err;
        std::vector<std::string> args = {path};
        if (moved) args = {"--night", "22:30-06:30", path};
        ASSERT_EQ(runDayReport(args, out, err), 0) << err.str();
        const QJsonObject summary =
            QJsonDocument::fromJson(QByteArray::fromStdString(out.str()))["summary"].toObject();
        EXPECT_EQ(summary["voidings"].toInt(), 7);
        EXPECT_EQ(summary["total"].toDouble(), total);
        EXPECT_TRUE(summary["reason"].isNull());
        const QJsonObject night = summary["night"].toObject();
        EXPECT_EQ(night["from"].toString(), moved ? "22:30" : "23:00");
        EXPECT_EQ(night["to"].toString(), moved ? "06:30" : "07:00");
        // 06:40 and 23:05 lie in the default night; the moved one keeps only 23:05.
        EXPECT_EQ(night["voidings"].toInt(), moved ? 1 : 2);
        EXPECT_GT(night["npi"].toDouble(), 0);
        EXPECT_LT(night["npi"].toDouble(), 1);
    }

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--night", "7-23", path}, {"--night"}, {path, "--night"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(runDayReport(bad, out, err), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_NE(err.str(), "");
    }
}

}  // namespace
}  // namespace uroflow
