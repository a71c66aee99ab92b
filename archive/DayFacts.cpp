#include "archive/DayFacts.h"

#include <cstdio>

#include "study/Decoder.h"
#include "study/StudyScan.h"

namespace uroflow {

namespace {

// A study record starts FE FE hh mm.
std::optional<std::string> startTimeAt(const Image& device, std::uint16_t start) {
    const int hour = device[start + 2];
    const int minute = device[start + 3];
    if (hour > 23 || minute > 59) return std::nullopt;
    char text[6];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    return std::string(text);
}

}  // namespace

DayFacts dayFacts(const Image& device) {
    DayFacts facts;
    facts.passport = decodePassport(device);
    facts.calibrCoef = calibrationCoefficient(device);
    Image work{};
    StudyStartTable starts{};
    std::uint16_t count = 0;
    scanStudies(device, work, starts, count, kFileScan.lastOffset, kFileScan.clearAfterLast);
    facts.studies = count;
    if (count > 0) {
        facts.firstStart = startTimeAt(device, starts[0]);
        facts.lastStart = startTimeAt(device, starts[count - 1]);
    }
    return facts;
}

std::string sexText(const std::optional<Sex>& sex) {
    if (!sex) return "";
    return *sex == Sex::Male ? "М" : "Ж";
}

}  // namespace uroflow
