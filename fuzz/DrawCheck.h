#pragma once
// One drawing of a study as the window makes it (the scanned image copied into the work
// image, then decoded there), with the invariants of its curves, indices and texts.

#include <cstdint>

#include "study/Decoder.h"
#include "study/Image.h"
#include "study/Signal.h"
#include "study/StudyScan.h"

namespace uroflow::fuzz {

// Study `index` of the scan as the day decodes it: its start, the next study's start
// bounding the smoothing, the window's default threshold.
DecodeParams studyParams(const StudyStartTable& starts, std::uint16_t count, std::uint16_t index,
                         std::int32_t k);

DecodeResult drawChecked(const Image& scanned, Image& work, const DecodeParams& params);

// The same drawing made twice looks the same.
bool sameDrawing(const DecodeResult& a, const DecodeResult& b);

}  // namespace uroflow::fuzz
