#pragma once
// What the archive records about a day besides its bytes: read from the image with the
// same core code the window uses. Plain C++.

#include <cstdint>
#include <optional>
#include <string>

#include "study/Image.h"
#include "study/Passport.h"

namespace uroflow {

struct DayFacts {
    Passport passport;
    std::int32_t calibrCoef = 0;  // K
    int studies = 0;              // start words the file scan finds
    // "hh:mm" of the first and the last study; empty without studies or for a time the
    // device could not have written.
    std::optional<std::string> firstStart;
    std::optional<std::string> lastStart;
};

DayFacts dayFacts(const Image& device);

// The passport's sex as the report writes it: "М", "Ж", or "" for a byte that is neither.
std::string sexText(const std::optional<Sex>& sex);

}  // namespace uroflow
