#pragma once
// One drawing of a study as the window makes it (the scanned image copied into the work
// image, then decoded there), with the invariants of its curves, indices and texts.

#include <cstdint>
#include <memory>

#include "study/ByteRange.h"
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

// A work image kept between executions, each drawing made on it as the day makes it:
// brought back to the scanned image by copying only what the last drawing patched.
class DrawWork {
  public:
    // The scan of a new input: the work image is all of it again.
    void take(const Image& scanned);
    // drawChecked on the work image, `scanned` being the image last taken.
    DecodeResult draw(const Image& scanned, const DecodeParams& params);
    const Image& image() const { return *image_; }

  private:
    std::unique_ptr<Image> image_ = std::make_unique<Image>();
    // The work image differs from the scanned one at most here.
    ByteRange patched_;
};

// The same drawing made twice looks the same.
bool sameDrawing(const DecodeResult& a, const DecodeResult& b);

}  // namespace uroflow::fuzz
