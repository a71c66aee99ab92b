#pragma once
// The input that stands for a memory image: its bytes from offset 0, without the
// unwritten end that the targets lay them into (LaidImage).

#include <cstdint>
#include <vector>

#include "study/Image.h"

namespace uroflow::fuzz {

// The memory of `image` without its unwritten end: the shortest input that a target
// laying it into unwritten memory turns back into the same memory.
std::vector<std::uint8_t> inputFromImage(const Image& image);

}  // namespace uroflow::fuzz
