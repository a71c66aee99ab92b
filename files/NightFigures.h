#pragma once
// The night figures of a recording: nocturia, the nocturnal volume, the 24-hour volume
// and the nocturnal polyuria index, given only where the recording holds a whole night.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "files/NightWindow.h"

namespace uroflow {

// A recording that began less than this long after rising began that morning, so its
// voidings up to the next morning make the 24-hour volume.
inline constexpr int kMorningStartMinutes = 5 * 60;

// Why a night figure is not known.
inline constexpr char kNightNotCoveredText[] = "запись не охватывает ночь";
inline constexpr char kNotStartedInTheMorningText[] = "запись начата не утром";
inline constexpr char kNoDayVolumeText[] = "суточный объем равен 0";

// One voiding as the night rule takes it.
struct ClockedVoiding {
    int minuteOfDay = 0;  // its start, minutes after midnight
    double volume = 0;    // V2, ml
};

struct NightFigures {
    NightWindow sleep;  // bedtime (from) to rising (to), as assumed
    // Some voiding started at or after the rising that ends the night.
    bool covered = false;
    std::optional<int> voidings;         // nocturia: the voidings that started within the night
    std::optional<double> volume;        // theirs and the first morning voiding's, ml
    std::optional<double> volume24h;     // after the first voiding up to the first morning one, ml
    std::optional<double> npi;           // volume over volume24h
    std::vector<std::size_t> night;      // the night's voidings, indices of the input
    std::optional<std::size_t> morning;  // the first morning voiding, index of the input
    // Why voidings and volume are empty; why volume24h and npi are.
    std::optional<std::string> nightUnknown = kNightNotCoveredText;
    std::optional<std::string> dayUnknown = kNightNotCoveredText;
};

// The night is the first bedtime after the first voiding, up to the next rising; the
// voidings come in memory order, a start earlier than the one before being on the next
// calendar day. A voiding at bedtime exactly lies within the night, one at rising not.
NightFigures nightFigures(const std::vector<ClockedVoiding>& voidings, const NightWindow& sleep);

}  // namespace uroflow
