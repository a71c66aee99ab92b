#pragma once
// The study scan of a memory image, made into buffers kept between executions and checked:
// the scanned image is the memory with sample 2 of each study cleared, and the FE FE
// pairs left in it are exactly the recorded starts.

#include <cstdint>
#include <memory>

#include "study/Image.h"
#include "study/Passport.h"
#include "study/StudyScan.h"

namespace uroflow::fuzz {

struct Scan {
    std::unique_ptr<Image> image = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
};

// Scans `device` into `into` (whose table holds stale entries, as the window's may) and
// checks the result.
void scanChecked(const Image& device, const ScanVariant& variant, Scan& into);

// The passport of `device`, checked: its texts are valid UTF-8 within their lengths.
Passport passportChecked(const Image& device);

}  // namespace uroflow::fuzz
