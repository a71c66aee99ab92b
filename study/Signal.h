#pragma once
// The signal constants every pass over a study's words shares: the smoothing kernel,
// where it starts, the noise floor and the default artefact threshold.

#include <array>
#include <cstdint>

namespace uroflow {

// Smoothing window over the four words before, the word and the four after. The
// weights add up to 1.05, not 1; they stay so, to keep flows comparable with earlier
// evaluations of the same recordings.
inline constexpr std::array<double, 9> kSmoothingKernel = {-0.01, 0.01, 0.09, 0.24, 0.39,
                                                           0.24,  0.09, 0.01, -0.01};
// Bytes from the start word from which the window lies inside the study (sample 7 on);
// earlier words are taken raw.
inline constexpr std::uint32_t kSmoothingFrom = 16;

// Readings whose high byte is at most this (below 512 raw) are scale noise: no volume.
inline constexpr std::uint8_t kNoiseFloorHighByte = 1;
inline constexpr bool belowNoiseFloor(std::uint8_t highByte) {
    return highByte <= kNoiseFloorHighByte;
}

// A jump by this factor from one word to the next is a knock on the scale. The
// window's hidden threshold field starts with it; the nomogram always uses it.
inline constexpr int kDefaultArtefactThreshold = 10;

}  // namespace uroflow
