#pragma once
// The sleep period of a voiding diary: bedtime to rising on the clock, possibly
// through midnight.

#include <optional>
#include <string>

namespace uroflow {

inline constexpr int kMinutesPerDay = 24 * 60;

// Bedtime `from` to rising `to`, both in minutes after midnight, never equal.
struct NightWindow {
    int from = 23 * 60;
    int to = 7 * 60;
};

// "HH:MM-HH:MM" (one-digit hours allowed); empty for anything else, or for two equal
// times, which leave no window.
std::optional<NightWindow> parseNightWindow(const std::string& text);
// "H:MM" or "HH:MM" on its own: minutes after midnight.
std::optional<int> parseClock(const std::string& text);
// "07:00".
std::string clockText(int minuteOfDay);

}  // namespace uroflow
