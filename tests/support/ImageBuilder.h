#pragma once
// Synthetic memory images for tests.
//
// A fresh builder holds an image whose header (bytes 0..98: passport, battery and
// calibration readings) is all zero, whose study area (99..65535) is 0xFF like
// unwritten device memory, and whose 128 spare bytes are zero. Calibration readings
// of zero give K = 0: call calibration() for a decodable image.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "study/Image.h"

namespace uroflow::test {

class ImageBuilder {
  public:
    ImageBuilder();

    // Passport bytes as the device stores them: `name` in Windows-1251 (at most 20
    // bytes, the rest stays 0), `age` and `date` as raw characters (2 and 6 bytes).
    ImageBuilder& sex(std::uint8_t value);
    ImageBuilder& name(const std::string& cp1251Bytes);
    ImageBuilder& age(const std::string& bytes);
    ImageBuilder& date(const std::string& bytes);
    ImageBuilder& battery(std::uint8_t value);

    // Calibration readings A (92..93) and B (94..95), high byte first.
    ImageBuilder& calibrationReadings(std::uint16_t a, std::uint16_t b);
    // Readings that give K = `k` (a multiple of 4, -80000..180000): A = 20000, B = A + k/4.
    ImageBuilder& calibration(std::int32_t k);

    // A study record as the device writes it, at any byte offset:
    //   offset+0: FE FE, offset+2: hour, offset+3: minute,
    //   offset+4: the samples, two bytes each, high byte first (sample 1 first),
    //   then, when `staticReading` is given: FD FD and the reading, high byte first.
    // Without a static reading nothing follows the samples.
    // The decoder stops 16 bytes before the end word (or before unwritten memory), so the
    // last 8 samples written are never decoded: see addDecodedStudy().
    ImageBuilder& addStudy(std::size_t offset, std::uint8_t hour, std::uint8_t minute,
                           const std::vector<std::uint16_t>& samples,
                           std::optional<std::uint16_t> staticReading = std::nullopt);
    // addStudy() with 8 zero samples appended after `decoded`, so that exactly the given
    // samples are decoded (samples 1..decoded.size()) and the walk ends on the end word,
    // or on the unwritten memory after the record.
    ImageBuilder& addDecodedStudy(std::size_t offset, std::uint8_t hour, std::uint8_t minute,
                                  const std::vector<std::uint16_t>& decoded,
                                  std::optional<std::uint16_t> staticReading = std::nullopt);

    // Bytes one record of addStudy() takes.
    static std::size_t studyLength(std::size_t sampleCount, bool withEndWord);
    // Bytes one record of addDecodedStudy() takes.
    static std::size_t decodedStudyLength(std::size_t decodedCount, bool withEndWord);

    // Raw pokes.
    ImageBuilder& byte(std::size_t offset, std::uint8_t value);
    ImageBuilder& word(std::size_t offset, std::uint16_t value);
    ImageBuilder& words(std::size_t offset, const std::vector<std::uint16_t>& values);
    ImageBuilder& fill(std::size_t from, std::size_t to, std::uint8_t value);  // [from, to)

    const Image& image() const { return *image_; }
    // A heap copy: images are 64 KiB, too large to pass around on the stack freely.
    std::unique_ptr<Image> build() const { return std::make_unique<Image>(*image_); }

  private:
    std::unique_ptr<Image> image_;
};

// The number of trailing samples the decoder never reaches before an end word.
inline constexpr std::size_t kUndecodedTail = 8;

}  // namespace uroflow::test
