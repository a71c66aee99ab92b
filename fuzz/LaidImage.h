#pragma once
// A device memory kept between executions: unwritten (0xFF) but for the bytes an input
// lays into it, which the next execution clears again, so no execution allocates or
// fills the 64 KiB.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "study/Image.h"

namespace uroflow::fuzz {

class LaidImage {
  public:
    LaidImage();

    // Clears what the last execution laid: the memory is unwritten again.
    void clear();
    // Lays `bytes` at `offset`; what would reach past the memory is left out, as a file
    // load leaves it.
    void put(std::size_t offset, std::span<const std::uint8_t> bytes);
    void putWord(std::size_t offset, std::uint16_t value);

    const Image& image() const { return *image_; }
    // First byte after everything laid since clear(): the memory from there on is unwritten.
    std::size_t writtenEnd() const { return to_; }

  private:
    std::unique_ptr<Image> image_ = std::make_unique<Image>();
    std::size_t from_ = kMemorySize;
    std::size_t to_ = 0;
};

// Whether all `n` bytes at `bytes` are `value`; memcmp against a block of the value
// keeps this cheap next to what it checks.
bool allBytes(const std::uint8_t* bytes, std::size_t n, std::uint8_t value);

}  // namespace uroflow::fuzz
