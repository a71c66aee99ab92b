// The input that stands for a memory image.

#include "fuzz/ImageInput.h"

#include <algorithm>
#include <iterator>

namespace uroflow::fuzz {

std::vector<std::uint8_t> inputFromImage(const Image& image) {
    const auto memoryEnd = image.begin() + kMemorySize;
    const auto written = std::find_if(std::make_reverse_iterator(memoryEnd), image.rend(),
                                      [](std::uint8_t b) { return b != 0xFF; });
    return {image.begin(), written.base()};
}

}  // namespace uroflow::fuzz
