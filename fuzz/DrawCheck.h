#pragma once
// One drawing of a study as the window makes it (the scanned image copied into the work
// image, then decoded there), with the invariants of its curves, indices and texts.

#include <cstdint>

#include "study/Decoder.h"
#include "study/Image.h"

namespace uroflow::fuzz {

// The window's hidden artefact threshold field.
inline constexpr int kArtefactThreshold = 10;

DecodeResult drawChecked(const Image& scanned, Image& work, const DecodeParams& params);

// The same drawing made twice looks the same.
bool sameDrawing(const DecodeResult& a, const DecodeResult& b);

}  // namespace uroflow::fuzz
