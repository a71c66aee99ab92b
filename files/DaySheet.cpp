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

// Whole millilitres, thousands set apart: "10 780 мл".
std::string ml(double value) {
    std::string digits = std::to_string(std::llround(std::fabs(value)));
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, " ");
    return (value <= -0.5 ? "-" : "") + digits + " мл";
}

// A night figure, or "не определено" and why.
std::string known(const std::optional<std::string>& text, const std::optional<std::string>& why) {
    return text ? *text : "не определено (" + why.value_or("") + ")";
}

std::optional<std::string> mlIfKnown(const std::optional<double>& value) {
    return value ? std::optional(ml(*value)) : std::nullopt;
}

// The night block: the sleep period assumed and what is known of the night.
std::vector<std::string> nightLines(const NightFigures& night) {
    const std::optional<std::string> voidings =
        night.voidings ? std::optional(std::to_string(*night.voidings)) : std::nullopt;
    const std::optional<std::string> npi =
        night.npi ? std::optional(formatIndex(*night.npi * 100, 0, kSeparator) + " %")
                  : std::nullopt;
    return {
        "Период сна: " + clockText(night.sleep.from) + "–" + clockText(night.sleep.to),
        "Ночных мочеиспусканий (ноктурия): " + known(voidings, night.nightUnknown),
        "Ночной объем (с первым утренним): " + known(mlIfKnown(night.volume), night.nightUnknown),
        "Суточный объем: " + known(mlIfKnown(night.volume24h), night.dayUnknown),
        "Индекс ночной полиурии: " + known(npi, night.dayUnknown),
    };
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
    for (std::string& line : nightLines(summary.night)) lines.push_back(std::move(line));

    std::string excluded;
    std::string left;
    for (const SummaryVoiding& voiding : summary.voidings) {
        if (voiding.counted) continue;
        std::string& list = voiding.included ? left : excluded;
        list += (list.empty() ? "" : ", ") + std::string("№ ") + std::to_string(voiding.number);
    }
    if (!excluded.empty()) lines.push_back("Исключены врачом из оценки: " + excluded);
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

    if (!calibrationValid(report.calibrCoef)) {
        sheet.calibrationWarning = "Внимание! " + calibrationRangeText(report.calibrCoef) +
                                   ": объемы и скорости потока недостоверны";
    }

    const NomogramChoice choice = sheetNomogram(shown);
    sheet.nomogram = choice.kind;
    sheet.nomogramMissing = choice.missing;
    // Only the studies the doctor left on the nomogram.
    for (const NomogramStudyReport& point : report.nomogram.studies)
        if (point.included) sheet.points.push_back({point.number, point.volume, point.qmax});

    const DaySummary summary = summarizeDay(report, night, sheet.nomogram);
    sheet.summary = summaryLines(summary);

    double seconds = 0;
    double deviceFlow = 0;
    std::optional<double> standardQmax;
    for (std::size_t i = 0; i < report.studies.size(); ++i) {
        const StudyReport& study = report.studies[i];
        const SummaryVoiding& voiding = summary.voidings[i];
        SheetRow row;
        row.number = study.number;
        row.start = study.start.value_or("");
        row.part = voiding.night ? "ночь" : voiding.morning ? "утро" : "";
        row.texts = reportTexts(study.indices);
        row.standard = voidingTexts(study.ics, kSeparator);
        row.included = voiding.included;
        // A point on the chart but beyond the bands' volumes lies in no zone.
        if (!row.included) {
            row.zone = kLeftOutText;
        } else if (voiding.zone) {
            row.zone = zoneText(*voiding.zone);
        } else if (sheet.nomogram && study.indices) {
            row.zone = "—";
        }
        if (study.error) row.error = errorText(*study.error);
        sheet.rows.push_back(std::move(row));

        if (study.flowTime.empty()) continue;
        if (study.ics && study.ics->qmax)
            standardQmax = std::max(standardQmax.value_or(0), *study.ics->qmax);
        SheetCurve curve;
        curve.number = study.number;
        curve.caption = "№ " + std::to_string(study.number);
        if (study.start) curve.caption += "  " + study.start->substr(0, 5);
        curve.points = study.flowTime;
        for (const CurvePoint& p : curve.points) {
            seconds = std::max(seconds, p.x);
            if (std::isfinite(p.y)) deviceFlow = std::max(deviceFlow, p.y);
        }
        sheet.curves.push_back(std::move(curve));
    }
    sheet.curveSeconds = scaleUp(seconds, kSecondsStep);
    // The 2-second Qmax ignores a knock on the scale, so one artefact cannot flatten every
    // curve; without any analysis the curves' own peak sets the scale.
    sheet.curveFlow =
        scaleUp(standardQmax ? *standardQmax * kCurveHeadroom : deviceFlow, kFlowStep);
    for (SheetCurve& curve : sheet.curves) {
        curve.clipped =
            std::any_of(curve.points.begin(), curve.points.end(),
                        [&sheet](const CurvePoint& p) { return p.y > sheet.curveFlow; });
    }
    return sheet;
}

std::string errorText(const std::string& runtimeText) {
    // The decoder's "'25:07' is not a valid time".
    const std::string invalidTime = " is not a valid time";
    if (runtimeText.size() > invalidTime.size() + 2 && runtimeText.front() == '\'' &&
        runtimeText.ends_with("'" + invalidTime)) {
        const std::string time = runtimeText.substr(1, runtimeText.size() - invalidTime.size() - 2);
        return "время начала записано неверно (" + time + ")";
    }
    return "ошибка расшифровки: " + runtimeText;
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
