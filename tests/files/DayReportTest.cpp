#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cerrno>
#include <cmath>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include "files/DayReport.h"
#include "files/StudyFile.h"
#include "tests/files/TempFolder.h"
#include "tests/support/ImageBuilder.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

using test::ImageBuilder;

// Parsed by Qt's own reader, so an escaping or number-format mistake shows up here.
QJsonObject parseJson(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(document.isObject());
    return document.object();
}

std::string text(const QJsonValue& value) {
    return value.toString().toStdString();
}

// Splits one CSV line at the separators outside quotes; quotes are kept.
std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

TEST(DayReport, DemoDayJsonHoldsEveryStudyAsTheWindowDecodesIt) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    const DayReport report = buildDayReport(*device);
    const QJsonObject json = parseJson(dayReportJson(report));

    const QJsonObject passport = json["passport"].toObject();
    EXPECT_EQ(text(passport["sex"]), "М");
    EXPECT_EQ(text(passport["name"]), "Иванов И.И.");
    EXPECT_EQ(text(passport["age"]), "64");
    EXPECT_EQ(text(passport["date"]), "05.03.26");
    EXPECT_EQ(text(json["battery"]), "Uбат > 2,7В");
    EXPECT_EQ(json["calibration"]["coefficient"].toInt(), 50000);
    EXPECT_TRUE(json["calibration"]["valid"].toBool());

    const QJsonArray studies = json["studies"].toArray();
    ASSERT_EQ(studies.size(), static_cast<qsizetype>(report.studies.size()));
    ASSERT_EQ(studies.size(), static_cast<qsizetype>(demoDayPlan().size()));
    for (qsizetype i = 0; i < studies.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject study = studies[i].toObject();
        const StudyIndices& indices = report.studies[i].indices.value();
        EXPECT_EQ(study["number"].toInt(), i + 1);
        EXPECT_EQ(study["offset"].toInt(), report.studies[i].offset);
        // Numbers read back as exactly the decoded doubles.
        EXPECT_EQ(study["Q2"].toDouble(), indices.qmax);
        EXPECT_EQ(study["Q1"].toDouble(), indices.qave.value());
        EXPECT_EQ(study["V2static"].toDouble(), indices.volumeStatic.value());
        EXPECT_TRUE(study["error"].isNull());
        const QJsonObject texts = study["text"].toObject();
        EXPECT_EQ(texts.size(), 8);
        EXPECT_NE(text(texts["Qmax"]).find(','), std::string::npos);
        EXPECT_NE(text(texts["Vml"]).find('/'), std::string::npos);
    }
    EXPECT_EQ(text(studies[0]["start"]), "06:40:00");

    // A man of 64: every study on the older men's nomogram, with the voided volume of
    // its uroflowgram and a zone from the published codes.
    const QJsonObject nomogram = json["nomogram"].toObject();
    EXPECT_EQ(text(nomogram["chart"]), "ChartNomMan51");
    EXPECT_TRUE(nomogram["error"].isNull());
    const QJsonArray points = nomogram["studies"].toArray();
    ASSERT_EQ(points.size(), studies.size());
    const std::vector<std::string> header = csvFields(lines(dayReportCsv(report))[0]);
    const std::vector<std::string> row = csvFields(lines(dayReportCsv(report))[2]);
    for (qsizetype i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject point = points[i].toObject();
        EXPECT_EQ(point["number"].toInt(), i + 1);
        EXPECT_EQ(point["volume"].toDouble(), report.studies[i].indices->volume);
        EXPECT_TRUE(point["included"].toBool());
        // The older men's bands span 61 to 380 ml: no zone beyond them.
        const double volume = point["volume"].toDouble();
        const std::string zone = text(point["zone"]);
        if (volume > 380) {
            EXPECT_TRUE(point["zone"].isNull());
        } else {
            EXPECT_TRUE(zone == "below-L" || zone == "L-M" || zone == "M-U" || zone == "above-U")
                << zone;
        }
    }
    ASSERT_EQ(header.size(), row.size());
    EXPECT_EQ(header[12], "volume");
    EXPECT_EQ(header[13], "qmax");
    EXPECT_EQ(header[14], "zone");
    EXPECT_EQ(std::stod(row[12]), points[1]["volume"].toDouble());
    EXPECT_EQ(row[14], "\"L-M\"");
}

TEST(DayReport, ZeroCalibrationGivesNoIndicesAndEmptyTexts) {
    auto device = std::make_unique<Image>(buildDemoDay());
    (*device)[kCalibrationBOffset] = (*device)[kCalibrationAOffset];
    (*device)[kCalibrationBOffset + 1] = (*device)[kCalibrationAOffset + 1];
    const DayReport report = buildDayReport(*device);
    const QJsonObject json = parseJson(dayReportJson(report));

    EXPECT_EQ(json["calibration"]["coefficient"].toInt(), 0);
    EXPECT_FALSE(json["calibration"]["valid"].toBool());
    const QJsonArray studies = json["studies"].toArray();
    ASSERT_EQ(studies.size(), 7);
    for (const QJsonValue& value : studies) {
        const QJsonObject study = value.toObject();
        for (const char* key : {"T1", "T2", "T3", "T4", "Q1", "Q2", "V1", "V2", "V2static"}) {
            EXPECT_TRUE(study[key].isNull()) << key;
        }
        for (const QJsonValue& field : study["text"].toObject()) EXPECT_EQ(text(field), "");
    }

    // The CSV leaves the same fields empty, and every row keeps the header's width.
    const std::vector<std::string> rows = lines(dayReportCsv(report));
    ASSERT_EQ(rows.size(), 8u);
    const std::vector<std::string> header = csvFields(rows[0]);
    const std::vector<std::string> first = csvFields(rows[1]);
    ASSERT_EQ(first.size(), header.size());
    EXPECT_EQ(header[3], "T1");
    EXPECT_EQ(first[3], "");
    EXPECT_EQ(first[header.size() - 2], "\"\"");  // Vml

    // Nothing can be scaled: the evaluation stops with the division error.
    EXPECT_EQ(text(json["nomogram"]["error"]), "Floating point division by zero");
    EXPECT_TRUE(json["nomogram"]["studies"].toArray().isEmpty());
    EXPECT_EQ(first[12], "");
}

TEST(DayReport, DecodingErrorsAndOddPassportsStayValidJson) {
    // Name bytes with a quote, a backslash and a control character; no sex, no battery.
    ImageBuilder builder;
    builder.sex(7)
        .name(std::string("A\"B\\C\x01", 6))
        .age(std::string("5\0", 2))
        .battery(0)
        .calibration(50000);
    const std::vector<std::uint16_t> flow(40, 3000);
    builder.addDecodedStudy(99, 8, 30, flow, 200);
    // Second study with an impossible start time.
    builder.addDecodedStudy(99 + ImageBuilder::decodedStudyLength(40, true), 25, 7, flow, 200);
    const DayReport report = buildDayReport(builder.image());
    const QJsonObject json = parseJson(dayReportJson(report));

    EXPECT_EQ(text(json["passport"]["name"]), "A\"B\\C\x01");
    EXPECT_EQ(text(json["passport"]["sex"]), "");
    EXPECT_EQ(text(json["battery"]), "");
    EXPECT_EQ(batteryText(kBatteryLow), "Uбат < 2,7В");
    const QJsonArray studies = json["studies"].toArray();
    ASSERT_EQ(studies.size(), 2);
    EXPECT_TRUE(studies[0]["error"].isNull());
    // 39 samples of 3000 raw (the scan clears sample 2) and a reading of 200.
    EXPECT_EQ(text(studies[0]["text"]["Vml"]), "29/51");
    EXPECT_EQ(text(studies[1]["error"]), "'25:07' is not a valid time");
    EXPECT_TRUE(studies[1]["T4"].isNull());
    EXPECT_EQ(text(studies[1]["text"]["Ttotal"]), "");
    // Without a sex there is no chart and so no zone; the values are still there.
    EXPECT_TRUE(json["nomogram"]["chart"].isNull());
    const QJsonArray points = json["nomogram"]["studies"].toArray();
    ASSERT_EQ(points.size(), 2);
    EXPECT_TRUE(points[0]["zone"].isNull());
    EXPECT_EQ(points[0]["volume"].toDouble(), report.studies[0].indices->volume);

    const std::vector<std::string> rows = lines(dayReportCsv(report));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(csvFields(rows[2]).back(), "\"'25:07' is not a valid time\"");
}

TEST(DayReport, JsonNumbersKeepTheirShortestTextAndOddBytesDoNotStopTheReport) {
    DayReport report;
    report.passport.name = "Ив\xff";  // a byte that is no UTF-8
    StudyReport study;
    study.number = 1;
    study.indices = StudyIndices{.twait = 17,
                                 .tqmax = -0.0,
                                 .flowTime = std::nan(""),
                                 .ttotal = 1e300,
                                 .qave = 0.1,
                                 .qmax = -2.5,
                                 .vqmax = 123456789012,
                                 .volume = 0,
                                 .volumeStatic = std::nullopt};
    report.studies.push_back(study);

    const std::string json = dayReportJson(report);
    for (const char* expected :
         {"\"T1\": 17,", "\"T2\": -0.0,", "\"T3\": null,", "\"T4\": 1e+300,", "\"Q1\": 0.1,",
          "\"Q2\": -2.5,", "\"V1\": 123456789012,", "\"V2\": 0,", "\"V2static\": null,"}) {
        EXPECT_NE(json.find(expected), std::string::npos) << expected;
    }
    const QJsonObject parsed = parseJson(json);
    EXPECT_EQ(text(parsed["passport"]["name"]), "Ив\uFFFD");
}

TEST(DayReport, CommandLineExitCodes) {
    test::TempFolder folder;
    const std::string good = folder.file("day.txt");
    writeStudyFile(good, buildDemoDay());
    const std::string shortFile = folder.file("short.txt");
    test::writeBytes(shortFile, std::vector<char>(kMemorySize - 1, 0));

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;  // start of stdout
        std::string err;  // start of stderr
    };
    const Case cases[] = {
        {{good}, 0, "{\n  \"passport\"", ""},
        {{"--csv", good}, 0, "number;offset;start;T1", ""},
        {{shortFile}, 1, "", "uroflow-report: " + shortFile + ": Read beyond end of file\n"},
        {{folder.file("none.txt")},
         1,
         "",
         "uroflow-report: " + folder.file("none.txt") + ": File not found\n"},
        {{}, 2, "", "usage: uroflow-report"},
        {{"--json", good}, 2, "", "usage: uroflow-report"},
        {{good, good}, 2, "", "usage: uroflow-report"},
        {{"--help"}, 0, "usage: uroflow-report", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        std::ostringstream out, err;
        EXPECT_EQ(runDayReport(c.args, out, err), c.code);
        EXPECT_EQ(out.str().substr(0, c.out.size()), c.out);
        EXPECT_EQ(err.str().substr(0, c.err.size()), c.err);
        if (c.out.empty()) {
            EXPECT_EQ(out.str(), "");
        }
        if (c.err.empty()) {
            EXPECT_EQ(err.str(), "");
        }
    }
}

// Output that takes nothing, as standard output on a full disk.
class FullDisk : public std::streambuf {
  protected:
    int_type overflow(int_type) override {
        errno = ENOSPC;
        return traits_type::eof();
    }
};

TEST(DayReport, ReportThatCannotBeWrittenFailsWithAMessage) {
    test::TempFolder folder;
    const std::string good = folder.file("day.txt");
    writeStudyFile(good, buildDemoDay());
    FullDisk full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(runDayReport({good}, out, err), 1);
    EXPECT_EQ(err.str(), "uroflow-report: cannot write the report: Disk full\n");
}

}  // namespace
}  // namespace uroflow
