#pragma once
// A stretch of an image's bytes that a step may have changed, and its undoing: the day and
// the decoder keep one so that a work image is brought back to its clean copy by copying
// only that stretch, not the 64 KiB.

#include <cstdint>

#include "study/Image.h"

namespace uroflow {

// Bytes [from, to); empty when from >= to.
struct ByteRange {
    std::uint32_t from = 0;
    std::uint32_t to = 0;

    bool empty() const { return from >= to; }
    // Grows to hold [from, to) as well.
    void add(std::uint32_t addFrom, std::uint32_t addTo);
};

inline constexpr ByteRange kWholeImage{0, static_cast<std::uint32_t>(kImageSize)};

// Copies `range` of `clean` over `work`; a range past the image is cut to it.
void restoreRange(Image& work, const Image& clean, ByteRange range);

}  // namespace uroflow
