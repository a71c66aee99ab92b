#pragma once
// A fuzz input read as a sequence of small values; reads past its end give zeros,
// so every input is a complete sequence.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace uroflow::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    bool empty() const { return bytes_.empty(); }

    std::uint8_t byte() {
        if (bytes_.empty()) return 0;
        const std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }

    // High byte first, as the device's words.
    std::uint16_t word() {
        const std::uint8_t high = byte();
        return static_cast<std::uint16_t>(high << 8 | byte());
    }

    // The next `n` bytes, fewer at the end of the input.
    std::span<const std::uint8_t> bytes(std::size_t n) {
        const std::span<const std::uint8_t> taken = bytes_.first(std::min(n, bytes_.size()));
        bytes_ = bytes_.subspan(taken.size());
        return taken;
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace uroflow::fuzz
