#include "study/ByteRange.h"

#include <algorithm>
#include <cstddef>

namespace uroflow {

void ByteRange::add(std::uint32_t addFrom, std::uint32_t addTo) {
    if (addFrom >= addTo) return;
    if (empty()) {
        from = addFrom;
        to = addTo;
        return;
    }
    from = std::min(from, addFrom);
    to = std::max(to, addTo);
}

void restoreRange(Image& work, const Image& clean, ByteRange range) {
    const std::size_t to = std::min<std::size_t>(range.to, kImageSize);
    const std::size_t from = std::min<std::size_t>(range.from, to);
    std::copy(clean.begin() + static_cast<std::ptrdiff_t>(from),
              clean.begin() + static_cast<std::ptrdiff_t>(to),
              work.begin() + static_cast<std::ptrdiff_t>(from));
}

}  // namespace uroflow
