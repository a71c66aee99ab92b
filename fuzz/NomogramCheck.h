#pragma once
// The day on the nomogram, checked: the nomogram's own scan and per-study pass on the
// scanned image (twice, as pressing "Ном" twice does), the chart for every sex and a
// range of ages, every study's zone on every chart, and the archive comparison of the
// same image loaded as an archived day.

#include <cstdint>

#include "study/Image.h"
#include "study/Passport.h"

namespace uroflow::fuzz {

void checkNomogram(const Image& device, const Image& scanned, const Passport& passport,
                   std::int32_t k);

}  // namespace uroflow::fuzz
