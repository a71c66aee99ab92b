// The night rule on hand-made recordings.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files/NightFigures.h"

namespace uroflow {
namespace {

// Voidings as "hh:mm" and V2 in ml, in memory order.
std::vector<ClockedVoiding> recording(std::initializer_list<std::pair<const char*, double>> list) {
    std::vector<ClockedVoiding> voidings;
    for (const auto& [start, volume] : list) voidings.push_back({*parseClock(start), volume});
    return voidings;
}

struct NightCase {
    const char* what;
    std::vector<ClockedVoiding> voidings;
    const char* sleep;
    std::vector<std::size_t> night;
    std::optional<std::size_t> morning;
    std::optional<double> volume;
    std::optional<double> volume24h;
    std::optional<std::string> nightUnknown;
    std::optional<std::string> dayUnknown;
};

class NightRule : public ::testing::TestWithParam<NightCase> {};

TEST_P(NightRule, GivesOnlyWhatTheRecordingHolds) {
    const NightCase& c = GetParam();
    const NightWindow sleep = *parseNightWindow(c.sleep);
    const NightFigures f = nightFigures(c.voidings, sleep);
    EXPECT_EQ(f.sleep.from, sleep.from);
    EXPECT_EQ(f.sleep.to, sleep.to);
    EXPECT_EQ(f.covered, c.morning.has_value());
    EXPECT_EQ(f.night, c.night);
    EXPECT_EQ(f.morning, c.morning);
    EXPECT_EQ(f.voidings,
              c.morning ? std::optional(static_cast<int>(c.night.size())) : std::nullopt);
    EXPECT_EQ(f.volume, c.volume);
    EXPECT_EQ(f.volume24h, c.volume24h);
    if (c.volume && c.volume24h) {
        ASSERT_TRUE(f.npi);
        EXPECT_DOUBLE_EQ(*f.npi, *c.volume / *c.volume24h);
    } else {
        EXPECT_FALSE(f.npi);
    }
    EXPECT_EQ(f.nightUnknown, c.nightUnknown);
    EXPECT_EQ(f.dayUnknown, c.dayUnknown);
}

const std::string kNotCovered = kNightNotCoveredText;
const std::string kNotMorning = kNotStartedInTheMorningText;

INSTANTIATE_TEST_SUITE_P(
    Recordings, NightRule,
    ::testing::Values(
        // 06:40 to 23:05: a voiding after bedtime, but no morning after it.
        NightCase{
            "waking day",
            recording(
                {{"06:40", 300}, {"09:00", 200}, {"13:00", 250}, {"18:00", 300}, {"23:05", 150}}),
            "23:00-07:00",
            {},
            {},
            {},
            {},
            kNotCovered,
            kNotCovered},
        NightCase{"full night",
                  recording({{"07:30", 300},
                             {"11:00", 250},
                             {"15:00", 300},
                             {"19:00", 200},
                             {"22:30", 150},
                             {"02:00", 200},
                             {"05:00", 100},
                             {"07:20", 350}}),
                  "23:00-07:00",
                  {5, 6},
                  7,
                  650,
                  1550,
                  {},
                  {}},
        // Begun in the evening: the night is known, the 24 hours are not.
        NightCase{
            "evening start",
            recording(
                {{"19:00", 200}, {"22:00", 150}, {"03:00", 250}, {"07:30", 400}, {"12:00", 300}}),
            "23:00-07:00",
            {2},
            3,
            650,
            {},
            {},
            kNotMorning},
        // Bedtime 01:00: 00:30 is still the evening, 08:50 still the night.
        NightCase{"late bedtime after midnight",
                  recording({{"09:30", 300},
                             {"14:00", 250},
                             {"23:30", 200},
                             {"00:30", 150},
                             {"04:00", 250},
                             {"08:50", 100},
                             {"09:10", 400}}),
                  "01:00-09:00",
                  {4, 5},
                  6,
                  750,
                  1350,
                  {},
                  {}},
        // Begun 08:00, before that day's rising at 09:00: not that morning.
        NightCase{"started before rising",
                  recording({{"08:00", 300}, {"14:00", 250}, {"04:00", 250}, {"09:10", 400}}),
                  "01:00-09:00",
                  {2},
                  3,
                  650,
                  {},
                  {},
                  kNotMorning},
        // Only the first night counts; the 24 hours end with its morning.
        NightCase{"two nights",
                  recording({{"08:00", 200},
                             {"20:00", 300},
                             {"02:00", 150},
                             {"08:30", 350},
                             {"14:00", 300},
                             {"03:00", 100},
                             {"09:00", 250}}),
                  "23:00-07:00",
                  {2},
                  3,
                  500,
                  800,
                  {},
                  {}},
        NightCase{"no morning voiding",
                  recording({{"08:00", 200}, {"15:00", 300}, {"23:30", 200}, {"03:00", 150}}),
                  "23:00-07:00",
                  {},
                  {},
                  {},
                  {},
                  kNotCovered,
                  kNotCovered},
        // A voiding at bedtime lies in the night, one at rising is the morning's.
        NightCase{"edges",
                  recording({{"07:00", 100}, {"23:00", 200}, {"07:00", 300}}),
                  "23:00-07:00",
                  {1},
                  2,
                  500,
                  500,
                  {},
                  {}},
        // Begun at 01:00: the night is the one after that day, which the recording misses.
        NightCase{"starts within a night",
                  recording({{"01:00", 100}, {"03:00", 100}, {"07:30", 300}, {"12:00", 200}}),
                  "23:00-07:00",
                  {},
                  {},
                  {},
                  {},
                  kNotCovered,
                  kNotCovered},
        NightCase{"nothing", {}, "23:00-07:00", {}, {}, {}, {}, kNotCovered, kNotCovered}),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string(info.param.what)) name += c == ' ' ? '_' : c;
        return name;
    });

TEST(NightRule, TheMorningStartEndsFiveHoursAfterRising) {
    for (const auto& [start, morning] :
         {std::pair{"06:59", false}, {"07:00", true}, {"11:59", true}, {"12:00", false}}) {
        SCOPED_TRACE(start);
        const NightFigures f =
            nightFigures(recording({{start, 100}, {"02:00", 200}, {"07:30", 300}}), {});
        EXPECT_EQ(f.volume24h.has_value(), morning);
        EXPECT_EQ(f.npi.has_value(), morning);
    }
}

TEST(NightRule, NoIndexOverA24HourVolumeOfNothing) {
    const NightFigures f =
        nightFigures(recording({{"07:30", 100}, {"02:00", 0}, {"07:30", 0}}), {});
    EXPECT_EQ(f.voidings, 1);
    EXPECT_EQ(f.volume24h, 0.0);
    EXPECT_FALSE(f.npi);
    EXPECT_EQ(f.dayUnknown, std::string(kNoDayVolumeText));
}

}  // namespace
}  // namespace uroflow
