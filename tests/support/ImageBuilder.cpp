#include "tests/support/ImageBuilder.h"

#include <algorithm>
#include <stdexcept>

namespace uroflow::test {

ImageBuilder::ImageBuilder() : image_(std::make_unique<Image>()) {
    image_->fill(0);
    std::fill(image_->begin() + kStudyAreaStart, image_->begin() + kMemorySize, 0xFF);
}

ImageBuilder& ImageBuilder::sex(std::uint8_t value) {
    return byte(kSexOffset, value);
}

ImageBuilder& ImageBuilder::name(const std::string& cp1251Bytes) {
    if (cp1251Bytes.size() > kNameLength) throw std::invalid_argument("name longer than 20 bytes");
    std::fill_n(image_->begin() + kNameOffset, kNameLength, 0);
    std::copy(cp1251Bytes.begin(), cp1251Bytes.end(), image_->begin() + kNameOffset);
    return *this;
}

ImageBuilder& ImageBuilder::age(const std::string& bytes) {
    if (bytes.size() != 2) throw std::invalid_argument("age takes 2 bytes");
    std::copy(bytes.begin(), bytes.end(), image_->begin() + kAgeOffset);
    return *this;
}

ImageBuilder& ImageBuilder::date(const std::string& bytes) {
    if (bytes.size() != 6) throw std::invalid_argument("date takes 6 bytes");
    std::copy(bytes.begin(), bytes.end(), image_->begin() + kDateOffset);
    return *this;
}

ImageBuilder& ImageBuilder::battery(std::uint8_t value) {
    return byte(kBatteryOffset, value);
}

ImageBuilder& ImageBuilder::calibrationReadings(std::uint16_t a, std::uint16_t b) {
    word(kCalibrationAOffset, a);
    return word(kCalibrationBOffset, b);
}

ImageBuilder& ImageBuilder::calibration(std::int32_t k) {
    constexpr std::int32_t a = 20000;
    const std::int32_t b = a + k / 4;
    if (k % 4 != 0 || b < 0 || b > 0xFFFF) throw std::invalid_argument("K out of reach");
    return calibrationReadings(a, static_cast<std::uint16_t>(b));
}

ImageBuilder& ImageBuilder::addStudy(std::size_t offset, std::uint8_t hour, std::uint8_t minute,
                                     const std::vector<std::uint16_t>& samples,
                                     std::optional<std::uint16_t> staticReading) {
    word(offset, kStartWord);
    byte(offset + 2, hour);
    byte(offset + 3, minute);
    words(offset + 4, samples);
    if (staticReading) {
        const std::size_t end = offset + 4 + 2 * samples.size();
        word(end, kEndWord);
        word(end + 2, *staticReading);
    }
    return *this;
}

ImageBuilder& ImageBuilder::addDecodedStudy(std::size_t offset, std::uint8_t hour,
                                            std::uint8_t minute,
                                            const std::vector<std::uint16_t>& decoded,
                                            std::optional<std::uint16_t> staticReading) {
    std::vector<std::uint16_t> samples = decoded;
    samples.resize(decoded.size() + kUndecodedTail, 0);
    return addStudy(offset, hour, minute, samples, staticReading);
}

std::size_t ImageBuilder::studyLength(std::size_t sampleCount, bool withEndWord) {
    return 4 + 2 * sampleCount + (withEndWord ? 4 : 0);
}

std::size_t ImageBuilder::decodedStudyLength(std::size_t decodedCount, bool withEndWord) {
    return studyLength(decodedCount + kUndecodedTail, withEndWord);
}

ImageBuilder& ImageBuilder::byte(std::size_t offset, std::uint8_t value) {
    image_->at(offset) = value;
    return *this;
}

ImageBuilder& ImageBuilder::word(std::size_t offset, std::uint16_t value) {
    byte(offset, static_cast<std::uint8_t>(value >> 8));
    return byte(offset + 1, static_cast<std::uint8_t>(value & 0xFF));
}

ImageBuilder& ImageBuilder::words(std::size_t offset, const std::vector<std::uint16_t>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) word(offset + 2 * i, values[i]);
    return *this;
}

ImageBuilder& ImageBuilder::fill(std::size_t from, std::size_t to, std::uint8_t value) {
    if (from > to || to > image_->size()) throw std::out_of_range("fill outside the image");
    std::fill(image_->begin() + from, image_->begin() + to, value);
    return *this;
}

}  // namespace uroflow::test
