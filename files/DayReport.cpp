#include "files/DayReport.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>

#include "files/DaySummary.h"
#include "files/ExcelExport.h"
#include "files/ExportTarget.h"
#include "files/StudyFile.h"
#include "files/XlsxSpreadsheet.h"
#include "nomogram/NomogramChoice.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kJsonIndent = 2;  // one value a line, so a moved number is a one-line diff

constexpr char kUsage[] =
    "usage: uroflow-report [--csv] [--night HH:MM-HH:MM] FILE\n"
    "       uroflow-report --xlsx OUT.xlsx FILE\n"
    "       uroflow-report --help | --version\n"
    "Prints the studies of a study file and the day's summary as one JSON object, or the\n"
    "studies as CSV with --csv; --night sets the summary's night (23:00-07:00). With\n"
    "--xlsx writes the raw samples to the Excel workbook OUT.xlsx instead.\n";

// Shortest text that reads back as the same double, for the CSV.
std::string number(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// JSON has no NaN or infinity: they are null. A whole value is written as an integer
// ("17", not "17.0"), as the shortest text of the double reads.
Json jsonNumber(double value) {
    if (!std::isfinite(value)) return nullptr;
    constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
    const bool negativeZero = value == 0 && std::signbit(value);
    if (value == std::trunc(value) && std::fabs(value) < kExactIntegers && !negativeZero) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

Json jsonNumber(const std::optional<double>& value) {
    return value ? jsonNumber(*value) : Json(nullptr);
}

Json jsonText(const std::optional<std::string>& text) {
    return text ? Json(*text) : Json(nullptr);
}

// The ordered map behind an object copies its members whenever it grows (their names are
// const, so they cannot move): every object is made with room for all of them.
Json objectWithRoom(std::size_t members) {
    Json out = Json::object();
    out.get_ref<Json::object_t&>().reserve(members);
    return out;
}

// A member after the others: the names of an object made here are distinct, and the
// ordered map's operator[] would compare the new name with every one before it.
void append(Json& object, const char* name, Json value) {
    object.get_ref<Json::object_t&>().emplace_back(name, std::move(value));
}

// The CSV is appended to one text: a study has some thirty cells.
void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendNumber(std::string& out, const std::optional<double>& value) {
    if (value && std::isfinite(*value)) out += number(*value);
}

std::string sexText(const std::optional<Sex>& sex) {
    if (!sex) return "";
    return *sex == Sex::Male ? "М" : "Ж";
}

// One study's values in a fixed order, shared by the JSON and the CSV writers.
struct Field {
    const char* name;
    std::optional<double> value;
};

// The nomogram's view of one study, in the same fixed-order style.
struct NomogramFields {
    std::optional<double> volume;
    std::optional<double> qmax;
    std::optional<std::string> zone;
};

NomogramFields nomogramFields(const NomogramReport& nomogram, std::size_t index) {
    if (index >= nomogram.studies.size()) return {};
    const NomogramStudyReport& study = nomogram.studies[index];
    std::optional<std::string> zone;
    if (study.zone) zone = zoneCode(*study.zone);
    return {study.volume, study.qmax, zone};
}

std::optional<NomogramKind> passportNomogram(const Passport& passport) {
    if (!passport.sex || passport.age.empty()) return std::nullopt;
    try {
        return chooseNomogram(passport.sex, ageInWholeYears(passport.age));
    } catch (const RuntimeError&) {
        return std::nullopt;  // an age that is no number: no chart, as in the window
    }
}

NomogramReport evaluateNomogram(Day& day, const Passport& passport) {
    NomogramReport report;
    report.chart = passportNomogram(passport);
    try {
        const std::vector<EvaluatedStudy>& studies = day.evaluateNomogram();
        for (std::size_t i = 0; i < studies.size(); ++i) {
            NomogramStudyReport study;
            study.number = static_cast<int>(i) + 1;
            study.volume = studies[i].volume;
            study.qmax = studies[i].qmax;
            study.included = day.included(i);
            if (report.chart) study.zone = nomogramZone(*report.chart, study.volume, study.qmax);
            report.studies.push_back(study);
        }
    } catch (const RuntimeError& error) {
        report.error = error.what();
    }
    return report;
}

Json nomogramJson(const NomogramReport& nomogram) {
    Json studies = Json::array();
    for (std::size_t i = 0; i < nomogram.studies.size(); ++i) {
        const NomogramStudyReport& study = nomogram.studies[i];
        studies.push_back({{"number", study.number},
                           {"volume", jsonNumber(study.volume)},
                           {"qmax", jsonNumber(study.qmax)},
                           {"included", study.included},
                           {"zone", jsonText(nomogramFields(nomogram, i).zone)}});
    }
    const std::optional<std::string> chart =
        nomogram.chart ? std::optional(nomogramChartName(*nomogram.chart)) : std::nullopt;
    Json out = objectWithRoom(3);
    append(out, "chart", jsonText(chart));
    append(out, "studies", std::move(studies));
    append(out, "error", jsonText(nomogram.error));
    return out;
}

std::vector<Field> indexFields(const std::optional<StudyIndices>& indices) {
    std::vector<Field> fields;
    for (const IndexField& field : kIndexFields)
        fields.push_back({field.caption, indices ? field.value(*indices) : std::nullopt});
    fields.push_back({"V2static", indices ? indices->volumeStatic : std::nullopt});
    return fields;
}

// The standard analysis, numbers first and the validity last.
constexpr const char* kIcsValidity = "validity";
std::vector<Field> icsFields(const std::optional<VoidingAnalysis>& ics) {
    if (!ics) {
        return {{"voided_ml", {}}, {"flow_time_s", {}},    {"voiding_time_s", {}}, {"qmax", {}},
                {"qave", {}},      {"time_to_qmax_s", {}}, {"episodes", {}}};
    }
    return {{"voided_ml", ics->voidedMl},
            {"flow_time_s", ics->flowTime},
            {"voiding_time_s", ics->voidingTime},
            {"qmax", ics->qmax},
            {"qave", ics->qave},
            {"time_to_qmax_s", ics->timeToQmax},
            {"episodes", static_cast<double>(ics->episodes)}};
}

Json icsJson(const std::optional<VoidingAnalysis>& ics) {
    if (!ics) return nullptr;
    const std::vector<Field> fields = icsFields(ics);
    Json out = objectWithRoom(fields.size() + 1);
    for (const Field& field : fields) append(out, field.name, jsonNumber(field.value));
    append(out, kIcsValidity, validityCode(ics->validity));
    return out;
}

struct TextField {
    const char* name;
    std::string text;
};

std::vector<TextField> textFields(const IndexTexts& t) {
    std::vector<TextField> fields;
    for (const IndexField& field : kIndexFields) fields.push_back({field.control, t.*field.text});
    return fields;
}

Json studyJson(const StudyReport& study) {
    const std::vector<Field> indices = indexFields(study.indices);
    const std::vector<TextField> texts = textFields(reportTexts(study.indices));
    // number, offset, start, the indices, text, ics, error
    Json out = objectWithRoom(indices.size() + 6);
    append(out, "number", study.number);
    append(out, "offset", study.offset);
    append(out, "start", jsonText(study.start));
    for (const Field& field : indices) append(out, field.name, jsonNumber(field.value));
    Json text = objectWithRoom(texts.size());
    for (const TextField& field : texts) append(text, field.name, field.text);
    append(out, "text", std::move(text));
    append(out, "ics", icsJson(study.ics));
    append(out, "error", jsonText(study.error));
    return out;
}

Json summaryJson(const DaySummary& summary) {
    const NightFigures& night = summary.night;
    return {{"voidings", summary.counted},
            {"total", jsonNumber(summary.total)},
            {"largest", jsonNumber(summary.largest)},
            {"qmax_mean", jsonNumber(summary.qmaxMean)},
            {"qmax_highest", jsonNumber(summary.qmaxHighest)},
            {"night",
             {{"from", clockText(night.sleep.from)},
              {"to", clockText(night.sleep.to)},
              {"covered", night.covered},
              {"voidings", night.voidings ? Json(*night.voidings) : Json(nullptr)},
              {"volume", jsonNumber(night.volume)},
              {"volume_24h", jsonNumber(night.volume24h)},
              {"npi", jsonNumber(night.npi)}}},
            {"reason", jsonText(summary.notSummed)}};
}

}  // namespace

std::string batteryText(std::uint8_t batteryByte) {
    if (batteryByte == kBatteryHigh) return "Uбат > 2,7В";
    if (batteryByte == kBatteryLow) return "Uбат < 2,7В";
    return "";
}

IndexTexts reportTexts(const std::optional<StudyIndices>& indices) {
    return indices ? formatIndices(*indices, ",") : IndexTexts{};
}

DayReport buildDayReport(Day& day) {
    DayReport report;
    report.passport = day.passport();
    report.battery = batteryText(day.deviceImage()[kBatteryOffset]);
    report.calibrCoef = day.calibrCoef();
    report.calibrationValid = calibrationValid(report.calibrCoef);
    report.nomogram = evaluateNomogram(day, report.passport);

    for (std::uint16_t i = 0; i < day.studyCount(); ++i) {
        const DecodeResult& result = day.decode(i);
        StudyReport study;
        study.number = i + 1;
        study.offset = day.studyStart(i);
        study.start = result.startTime;
        study.indices = result.indices;
        study.error = result.error;
        study.ics = analyzeStudy(result);
        study.flowTime = result.flowTime;
        report.studies.push_back(std::move(study));
    }
    return report;
}

DayReport buildDayReport(const Image& device) {
    const auto day = std::make_unique<Day>();
    day->loadImage(device);
    day->scan(kFileScan);
    return buildDayReport(*day);
}

std::string dayReportJson(const DayReport& report, const NightWindow& night) {
    const Passport& p = report.passport;
    Json studies = Json::array();
    studies.get_ref<Json::array_t&>().reserve(report.studies.size());
    for (const StudyReport& study : report.studies) studies.push_back(studyJson(study));
    // Member by member: a value in a braced list is copied, and the studies are most of it.
    Json document = objectWithRoom(6);
    append(document, "passport",
           {{"sex", sexText(p.sex)}, {"name", p.name}, {"age", p.age}, {"date", p.date}});
    append(document, "battery", report.battery);
    append(document, "calibration",
           {{"coefficient", report.calibrCoef}, {"valid", report.calibrationValid}});
    append(document, "studies", std::move(studies));
    append(document, "nomogram", nomogramJson(report.nomogram));
    append(document, "summary", summaryJson(summarizeDay(report, night)));
    // A byte that is no UTF-8 in a text becomes U+FFFD instead of failing the report.
    return document.dump(kJsonIndent, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string dayReportCsv(const DayReport& report) {
    std::string out = "number;offset;start";
    for (const Field& field : indexFields(std::nullopt)) out += ";" + std::string(field.name);
    out += ";volume;qmax;zone";
    for (const TextField& field : textFields({})) out += ";" + std::string(field.name);
    for (const Field& field : icsFields(std::nullopt)) out += ";ics_" + std::string(field.name);
    out += ";ics_" + std::string(kIcsValidity) + ";error\n";

    for (std::size_t i = 0; i < report.studies.size(); ++i) {
        const StudyReport& study = report.studies[i];
        out += std::to_string(study.number);
        out += ';';
        out += std::to_string(study.offset);
        out += ';';
        if (study.start) appendQuoted(out, *study.start);
        for (const Field& field : indexFields(study.indices)) {
            out += ';';
            appendNumber(out, field.value);
        }
        const NomogramFields nomogram = nomogramFields(report.nomogram, i);
        for (const std::optional<double>& value : {nomogram.volume, nomogram.qmax}) {
            out += ';';
            appendNumber(out, value);
        }
        out += ';';
        if (nomogram.zone) appendQuoted(out, *nomogram.zone);
        for (const TextField& field : textFields(reportTexts(study.indices))) {
            out += ';';
            appendQuoted(out, field.text);
        }
        for (const Field& field : icsFields(study.ics)) {
            out += ';';
            appendNumber(out, field.value);
        }
        out += ';';
        if (study.ics) appendQuoted(out, validityCode(study.ics->validity));
        out += ';';
        if (study.error) appendQuoted(out, *study.error);
        out += '\n';
    }
    return out;
}

void exportDayWorkbook(const Day& day, const std::string& out) {
    const ExportValues values = buildExportValues(day.deviceImage(), day.calibrCoef());
    XlsxSpreadsheet writer;
    const std::unique_ptr<SpreadsheetSession> session = writer.connect();
    if (!session) throw RuntimeError(kSpreadsheetUnavailableText);
    writeExportWorkbook(*session, values, out);
}

int runDayReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    bool csv = false;
    std::optional<std::string> xlsx;
    NightWindow night;
    std::vector<std::string> files;
    bool usable = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--csv") {
            csv = true;
        } else if (args[i] == "--xlsx" && hasValue) {
            xlsx = args[++i];
        } else if (args[i] == "--night" && hasValue) {
            const std::optional<NightWindow> parsed = parseNightWindow(args[++i]);
            if (!parsed) {
                err << "uroflow-report: the night must be given as HH:MM-HH:MM with two "
                       "different times, not '"
                    << args[i] << "'\n";
                return 2;
            }
            night = *parsed;
        } else if (args[i].starts_with("-")) {
            usable = false;
        } else {
            files.push_back(args[i]);
        }
    }
    if (!usable || files.size() != 1 || (csv && xlsx)) {
        err << kUsage;
        return 2;
    }
    const std::string& path = files.front();
    auto device = std::make_unique<Image>();
    std::string failing = path;
    std::string text;
    try {
        if (xlsx) {
            failing = *xlsx;
            refuseOutputOverInput(*xlsx, path);
            failing = path;
        }
        readStudyFile(path, *device);
        // The day as the window holds it after loading the file.
        const auto day = std::make_unique<Day>();
        day->loadImage(*device);
        day->scan(kFileScan);
        if (xlsx) {
            failing = *xlsx;
            exportDayWorkbook(*day, *xlsx);
            return 0;
        }
        const DayReport report = buildDayReport(*day);
        text = csv ? dayReportCsv(report) : dayReportJson(report, night);
    } catch (const RuntimeError& error) {
        err << "uroflow-report: " << failing << ": " << error.what() << "\n";
        return 1;
    }
    // A report lost on a full disk or a closed pipe must not look like success.
    errno = 0;
    out << text << std::flush;
    if (!out) {
        const int error = errno;
        err << "uroflow-report: cannot write the report";
        if (error != 0) err << ": " << fileErrorText(error, FileAccess::Write);
        err << "\n";
        return 1;
    }
    return 0;
}

}  // namespace uroflow
