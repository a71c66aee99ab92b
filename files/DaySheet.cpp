#include "files/DaySheet.h"

#include <algorithm>
#include <cmath>

#include "nomogram/NomogramChoice.h"
#include "nomogram/NomogramZone.h"
#include "study/IndexFormat.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

constexpr char kSeparator[] = ",";
// The curves' common scale grows in these steps, from one step on.
constexpr double kSecondsStep = 10;
constexpr double kFlowStep = 10;

std::string ml(double value) {
    return formatIndex(value, 0, kSeparator) + " мл";
}

std::string mlPerSecond(double value) {
    return formatIndex(value, 1, kSeparator) + " мл/сек";
}

std::string sexText(const std::optional<Sex>& sex) {
    if (!sex) return "";
    return *sex == Sex::Male ? "М" : "Ж";
}

double scaleUp(double value, double step) {
    return std::max(step, std::ceil(value / step) * step);
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

NomogramChoice sheetNomogram(const Passport& shown) {
    const std::string none = "Номограмма не выбрана: ";
    const bool noAge = trimmed(shown.age).empty();
    if (!shown.sex && noAge) return {{}, none + "не указаны пол и возраст пациента"};
    if (!shown.sex) return {{}, none + "не указан пол пациента"};
    if (noAge) return {{}, none + "не указан возраст пациента"};
    try {
        return {chooseNomogram(shown.sex, ageInWholeYears(shown.age)), ""};
    } catch (const RuntimeError&) {
        return {{}, none + "возраст пациента указан неверно (\"" + shown.age + "\")"};
    }
}

std::size_t sheetPages(std::size_t voidings) {
    return std::max<std::size_t>(1, (voidings + kVoidingsPerPage - 1) / kVoidingsPerPage);
}

std::vector<std::string> summaryLines(const DaySummary& summary) {
    if (summary.notSummed) return {"Сводка не составлена: " + *summary.notSummed + "."};

    std::vector<std::string> lines = {
        "Мочеиспусканий: " + std::to_string(summary.counted),
        "Общий объем: " + ml(summary.total),
        "Наибольший объем: " + ml(*summary.largest),
    };
    const std::string meaningful = formatIndex(kMeaningfulFlowVolume, 0, kSeparator) + " мл";
    if (summary.qmaxMean) {
        lines.push_back("Средняя Qmax (объем от " + meaningful +
                        "): " + mlPerSecond(*summary.qmaxMean));
        lines.push_back("Наибольшая Qmax (объем от " + meaningful +
                        "): " + mlPerSecond(*summary.qmaxHighest));
    } else {
        lines.push_back("Qmax: нет мочеиспусканий объемом от " + meaningful);
    }
    std::string night =
        "Ночь: " + clockText(summary.window.from) + "–" + clockText(summary.window.to);
    if (summary.nights == 0) night += ", в записи нет ночного времени";
    lines.push_back(night);
    lines.push_back("Ночных мочеиспусканий (ноктурия): " + std::to_string(summary.nightVoidings));
    lines.push_back("Ночной объем (с первым утренним): " + ml(summary.nocturnalVolume));
    lines.push_back("Индекс ночной полиурии: " +
                    (summary.npi ? formatIndex(*summary.npi * 100, 0, kSeparator) + " %"
                                 : std::string("не вычислен")));

    std::string left;
    for (const SummaryVoiding& voiding : summary.voidings) {
        if (voiding.counted) continue;
        left += (left.empty() ? "" : ", ") + std::string("№ ") + std::to_string(voiding.number);
    }
    if (!left.empty()) lines.push_back("Не вошли в сводку: " + left);
    return lines;
}

DaySheet buildDaySheet(const DayReport& report, const Passport& shown, const std::string& doctor,
                       const NightWindow& night) {
    DaySheet sheet;
    sheet.name = shown.name;
    sheet.sex = sexText(shown.sex);
    sheet.age = shown.age;
    sheet.date = shown.date;
    sheet.doctor = doctor;

    const NomogramChoice choice = sheetNomogram(shown);
    sheet.nomogram = choice.kind;
    sheet.nomogramMissing = choice.missing;
    // Only the studies the doctor left on the nomogram.
    for (const NomogramStudyReport& point : report.nomogram.studies)
        if (point.included) sheet.points.push_back({point.number, point.volume, point.qmax});

    const DaySummary summary = summarizeDay(report, night, sheet.nomogram);
    sheet.summary = summaryLines(summary);

    double seconds = 0;
    double flow = 0;
    for (std::size_t i = 0; i < report.studies.size(); ++i) {
        const StudyReport& study = report.studies[i];
        const SummaryVoiding& voiding = summary.voidings[i];
        SheetRow row;
        row.number = study.number;
        row.start = study.start.value_or("");
        row.part = voiding.night ? "ночь" : voiding.morning ? "утро" : "";
        row.texts = reportTexts(study.indices);
        // A point on the chart but beyond the bands' volumes lies in no zone.
        if (voiding.zone) {
            row.zone = zoneText(*voiding.zone);
        } else if (sheet.nomogram && study.indices) {
            row.zone = "—";
        }
        row.error = study.error;
        sheet.rows.push_back(std::move(row));

        if (study.flowTime.empty()) continue;
        SheetCurve curve;
        curve.number = study.number;
        curve.caption = "№ " + std::to_string(study.number);
        if (study.start) curve.caption += "  " + study.start->substr(0, 5);
        curve.points = study.flowTime;
        for (const CurvePoint& p : curve.points) {
            seconds = std::max(seconds, p.x);
            if (std::isfinite(p.y)) flow = std::max(flow, p.y);
        }
        sheet.curves.push_back(std::move(curve));
    }
    sheet.curveSeconds = scaleUp(seconds, kSecondsStep);
    sheet.curveFlow = scaleUp(flow, kFlowStep);
    return sheet;
}

std::string dayReportFileName(const std::string& name, const std::string& date) {
    std::string base = trimmed(trimmed(name) + " " + trimmed(date));
    if (base.empty()) base = "Отчет";
    for (char& c : base) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return base + ".pdf";
}

}  // namespace uroflow
