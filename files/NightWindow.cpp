// The sleep period and the clock texts it is written in.

#include "files/NightWindow.h"

#include <charconv>
#include <string_view>

namespace uroflow {

namespace {

std::optional<int> number(std::string_view digits) {
    int value = 0;
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, value);
    if (digits.empty() || result.ec != std::errc{} || result.ptr != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> parseClock(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    const std::string_view view(text);
    const auto hour = number(view.substr(0, colon));
    const auto minute = number(view.substr(colon + 1));
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return *hour * 60 + *minute;
}

std::optional<NightWindow> parseNightWindow(const std::string& text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) return std::nullopt;
    const auto from = parseClock(text.substr(0, dash));
    const auto to = parseClock(text.substr(dash + 1));
    if (!from || !to || *from == *to) return std::nullopt;
    return NightWindow{*from, *to};
}

std::string clockText(int minuteOfDay) {
    const std::string hour = std::to_string(100 + minuteOfDay / 60).substr(1);
    return hour + ":" + std::to_string(100 + minuteOfDay % 60).substr(1);
}

}  // namespace uroflow
