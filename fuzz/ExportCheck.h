#pragma once
// The Excel export of an image, checked: the table against the image's words, and the
// workbook calls against the sheet's layout, through a session that only records.

#include <cstdint>

#include "study/Image.h"

namespace uroflow::fuzz {

void checkExport(const Image& device, std::int32_t k);

}  // namespace uroflow::fuzz
