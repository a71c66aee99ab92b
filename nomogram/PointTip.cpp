#include "nomogram/PointTip.h"

#include "study/IndexFormat.h"

namespace uroflow {
namespace {

std::string twoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string pointTipText(const PointTip& tip, const std::string& separator) {
    const std::string numberAndTime =
        std::to_string(tip.number) + ", " + twoDigits(tip.hour) + ":" + twoDigits(tip.minute);
    std::string text = tip.archiveDate
                           ? "Архив " + *tip.archiveDate + ", исследование " + numberAndTime
                           : "Исследование " + numberAndTime;
    text += "\nV = " + formatIndex(tip.volume, 0, separator) +
            " мл, Qmax = " + formatIndex(tip.qmax, 1, separator) + " мл/сек";
    text += "\nЗона: ";
    text += tip.zone ? zoneText(*tip.zone) : "вне номограммы";
    return text;
}

}  // namespace uroflow
