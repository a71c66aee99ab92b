// A device memory reused between executions, unwritten but for what an input lays into it.

#include "fuzz/LaidImage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace uroflow::fuzz {

LaidImage::LaidImage() {
    // The memory unwritten, the spare tail 0, as after a file load.
    std::fill(image_->begin(), image_->begin() + kMemorySize, 0xFF);
    std::fill(image_->begin() + kMemorySize, image_->end(), 0);
}

void LaidImage::clear() {
    if (from_ < to_) std::fill(image_->begin() + from_, image_->begin() + to_, 0xFF);
    from_ = kMemorySize;
    to_ = 0;
}

void LaidImage::put(std::size_t offset, std::span<const std::uint8_t> bytes) {
    if (offset >= kMemorySize) return;
    const std::size_t n = std::min(bytes.size(), kMemorySize - offset);
    if (n == 0) return;
    std::copy_n(bytes.begin(), n, image_->begin() + offset);
    from_ = std::min(from_, offset);
    to_ = std::max(to_, offset + n);
}

void LaidImage::putWord(std::size_t offset, std::uint16_t value) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value >> 8),
                                  static_cast<std::uint8_t>(value & 0xFF)};
    put(offset, bytes);
}

bool allBytes(const std::uint8_t* bytes, std::size_t n, std::uint8_t value) {
    static std::array<std::uint8_t, 4096> block;
    static int filledWith = -1;
    if (filledWith != value) {
        block.fill(value);
        filledWith = value;
    }
    for (std::size_t at = 0; at < n; at += block.size()) {
        const std::size_t length = std::min(block.size(), n - at);
        if (std::memcmp(bytes + at, block.data(), length) != 0) return false;
    }
    return true;
}

}  // namespace uroflow::fuzz
