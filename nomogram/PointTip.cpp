#include "nomogram/PointTip.h"

#include "study/IndexFormat.h"

namespace uroflow {
namespace {

// A tip is made for every point drawn: appended to one text, no temporaries.
void appendTwoDigits(std::string& text, int value) {
    if (value < 10) text += '0';
    text += std::to_string(value);
}

}  // namespace

std::string pointTipText(const PointTip& tip, const std::string& separator) {
    std::string text;
    text.reserve(128 + (tip.archiveDate ? tip.archiveDate->size() : 0));
    if (tip.archiveDate) {
        text += "Архив ";
        text += *tip.archiveDate;
        text += ", исследование ";
    } else {
        text += "Исследование ";
    }
    text += std::to_string(tip.number);
    text += ", ";
    appendTwoDigits(text, tip.hour);
    text += ':';
    appendTwoDigits(text, tip.minute);
    text += "\nV = ";
    text += formatIndex(tip.volume, 0, separator);
    text += " мл, Qmax = ";
    text += formatIndex(tip.qmax, 1, separator);
    text += " мл/сек\nЗона: ";
    text += tip.zone ? zoneText(*tip.zone) : "вне номограммы";
    return text;
}

}  // namespace uroflow
