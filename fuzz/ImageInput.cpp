#include "fuzz/ImageInput.h"

#include <algorithm>

namespace uroflow::fuzz {

std::unique_ptr<Image> imageFromInput(const std::uint8_t* data, std::size_t size) {
    auto image = std::make_unique<Image>();
    image->fill(0);
    const std::size_t used = std::min(size, kMemorySize);
    std::copy_n(data, used, image->begin());
    std::fill(image->begin() + used, image->begin() + kMemorySize, 0xFF);
    return image;
}

std::vector<std::uint8_t> inputFromImage(const Image& image) {
    const auto memoryEnd = image.begin() + kMemorySize;
    const auto written = std::find_if(std::make_reverse_iterator(memoryEnd), image.rend(),
                                      [](std::uint8_t b) { return b != 0xFF; });
    return {image.begin(), written.base()};
}

}  // namespace uroflow::fuzz
