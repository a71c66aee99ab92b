#pragma once
// Layout of the uroflowmeter's memory image and big-endian word access.

#include <array>
#include <cstddef>
#include <cstdint>

namespace uroflow {

// 64 KiB of device memory followed by spare room for reports past the end and
// the decoder's look-ahead reads.
inline constexpr std::size_t kMemorySize = 65536;
inline constexpr std::size_t kImageSize = 65664;

using Image = std::array<std::uint8_t, kImageSize>;

// Passport block.
inline constexpr std::size_t kSexOffset = 33;
inline constexpr std::size_t kNameOffset = 34;
inline constexpr std::size_t kNameLength = 20;
inline constexpr std::size_t kAgeOffset = 54;
inline constexpr std::size_t kDateOffset = 56;

// Device readings.
inline constexpr std::size_t kBatteryOffset = 64;
inline constexpr std::uint8_t kBatteryLow = 0xE0;
inline constexpr std::uint8_t kBatteryHigh = 0xF0;
inline constexpr std::size_t kCalibrationAOffset = 92;
inline constexpr std::size_t kCalibrationBOffset = 94;

// Study area and record words.
inline constexpr std::uint16_t kStudyAreaStart = 99;
inline constexpr std::uint16_t kStartWord = 0xFEFE;
inline constexpr std::uint16_t kEndWord = 0xFDFD;
inline constexpr std::uint16_t kUnwrittenWord = 0xFFFF;

// The study table holds at most this many starts plus a terminating 0.
inline constexpr std::size_t kMaxStudies = 512;
inline constexpr std::size_t kStudyTableSize = kMaxStudies + 1;

// Unsigned 16-bit word, high byte first, at any byte offset. Offsets whose word
// would reach past the buffer read as 0, so no look-ahead can leave the image.
inline std::uint16_t word(const Image& image, std::ptrdiff_t offset) {
    if (offset < 0 || static_cast<std::size_t>(offset) + 1 >= image.size()) return 0;
    return static_cast<std::uint16_t>((image[offset] << 8) | image[offset + 1]);
}

}  // namespace uroflow
