#pragma once
// The memory image a fuzz input stands for, and the input that stands for an image.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "study/Image.h"

namespace uroflow::fuzz {

// The input's bytes are the start of the device memory; the memory after them is
// unwritten (0xFF) and the spare tail is 0, as after a file load. Bytes past the
// memory are ignored, as a file load ignores them.
std::unique_ptr<Image> imageFromInput(const std::uint8_t* data, std::size_t size);

// The memory of `image` without its unwritten end: the shortest input that
// imageFromInput() turns back into the same memory.
std::vector<std::uint8_t> inputFromImage(const Image& image);

}  // namespace uroflow::fuzz
