#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
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

// The night rule itself is tested in NightFiguresTest; here: the summary feeds it the
// counted voidings and marks the rows from its answer.
TEST(DaySummary, MarksTheNightAndItsMorningOnlyWhereTheRecordingHoldsThem) {
    const DayReport night = dayOf({{"07:30", 300}, {"21:00", 200}, {"23:30", 150}, {"02:10", 100},
                                   {"06:50", 100}, {"07:40", 400}, {"10:00", 250}});
    const DaySummary summary = summarizeDay(night);
    EXPECT_EQ(marks(summary), "--NNNM-");
    std::vector<int> days;
    for (const SummaryVoiding& v : summary.voidings) days.push_back(v.day);
    EXPECT_EQ(days, (std::vector<int>{0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(summary.night.voidings, 3);
    EXPECT_EQ(summary.night.volume, 750.0);
    EXPECT_EQ(summary.night.volume24h, 950.0);

    // Another sleep period moves the split.
    const DaySummary moved = summarizeDay(night, *parseNightWindow("22:30-06:30"));
    EXPECT_EQ(marks(moved), "--NNM--");
    EXPECT_EQ(moved.night.volume, 350.0);

    // A waking day has no night to mark and no figures of it.
    const DaySummary waking = summarizeDay(dayOf({{"06:40", 300}, {"14:00", 300}, {"23:05", 100}}));
    EXPECT_EQ(marks(waking), "---");
    EXPECT_FALSE(waking.night.covered);
    EXPECT_FALSE(waking.night.voidings);
    EXPECT_FALSE(waking.night.npi);
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
    EXPECT_EQ(summary.voidings[2].day, 1);  // 03:00 after 08:00 still rolls over
    // 03:00 lies in the night, but no morning follows it: nothing is marked.
    EXPECT_EQ(marks(summary), "---");
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
        EXPECT_FALSE(none.night.covered);
        EXPECT_FALSE(none.night.npi);
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
        // 06:40 to 23:05 holds no night: nothing of it is known, nothing is 0.
        EXPECT_EQ(night["covered"], QJsonValue(false));
        for (const char* key : {"voidings", "volume", "volume_24h", "npi"})
            EXPECT_TRUE(night[key].isNull()) << key;
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
