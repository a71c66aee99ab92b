// The standard analysis of a voiding as the day report and the window write it.

#include "files/VoidingTexts.h"

#include "study/IndexFormat.h"

namespace uroflow {

namespace {

std::string oneDecimal(const std::optional<double>& value, const std::string& separator) {
    return value ? formatIndex(*value, 1, separator) : "";
}

std::string remarkText(const VoidingAnalysis& analysis) {
    std::string remark;
    const auto add = [&remark](const std::string& text) {
        remark += (remark.empty() ? "" : ", ") + text;
    };
    const std::string low = formatIndex(kLowVolumeLimit, 0, ",");
    const std::string high = formatIndex(kHighVolumeLimit, 0, ",");
    switch (analysis.validity) {
        case VoidingValidity::NoFlow:
            add("нет потока");
            break;
        case VoidingValidity::LowVolume:
            add("< " + low + " мл");
            break;
        case VoidingValidity::HighVolume:
            add("> " + high + " мл");
            break;
        case VoidingValidity::Ok:
            break;
    }
    if (analysis.intermittent()) add("прерывистое");
    return remark;
}

}  // namespace

VoidingTexts voidingTexts(const std::optional<VoidingAnalysis>& analysis,
                          const std::string& separator) {
    if (!analysis) return {};
    VoidingTexts texts;
    texts.qmax = oneDecimal(analysis->qmax, separator);
    texts.qave = oneDecimal(analysis->qave, separator);
    texts.flowTime = formatIndex(analysis->flowTime, 1, separator);
    texts.voidingTime = formatIndex(analysis->voidingTime, 1, separator);
    texts.timeToQmax = oneDecimal(analysis->timeToQmax, separator);
    texts.volume = formatIndex(analysis->voidedMl, 0, separator);
    texts.remark = remarkText(*analysis);
    return texts;
}

std::string calibrationRangeText(std::int32_t k) {
    return "Калибровка вне допустимых пределов: K = " + std::to_string(k) + " (допустимо " +
           std::to_string(kCalibrationMin) + "–" + std::to_string(kCalibrationMax) + ")";
}

std::string voidingSummaryText(const std::optional<VoidingAnalysis>& analysis, std::int32_t k,
                               const std::string& separator) {
    const std::string title = "Стандартный анализ мочеиспускания";
    if (!analysis) {
        if (!calibrationValid(k)) return title + " не выполнен.\n" + calibrationRangeText(k);
        return title + " не выполнен: запись исследования прочитана с ошибкой";
    }
    const VoidingTexts t = voidingTexts(analysis, separator);
    const auto orDash = [](const std::string& text, const std::string& unit) {
        return text.empty() ? std::string("—") : text + " " + unit;
    };
    return title + ":\nQmax (за 2 сек): " + orDash(t.qmax, "мл/сек") +
           "\nСредняя скорость: " + orDash(t.qave, "мл/сек") + "\nВремя потока: " + t.flowTime +
           " сек" + "\nВремя мочеиспускания: " + t.voidingTime + " сек" +
           "\nВремя до Qmax: " + orDash(t.timeToQmax, "сек") + "\nОбъем: " + t.volume + " мл" +
           "\nОценка: " + (t.remark.empty() ? std::string("без замечаний") : t.remark);
}

}  // namespace uroflow
