#pragma once
// The day on the nomogram: voided volume and maximum flow rate of every study,
// computed straight from the words of a memory image with the nomogram's own scan.

#include <cstdint>
#include <vector>

#include "study/Image.h"

namespace uroflow {

struct EvaluatedStudy {
    std::uint32_t start = 0;  // offset of the start word
    // First byte that is not part of the study's samples: its end word, or else the
    // next start word, the first unwritten word, or the end of memory (65,536).
    std::uint32_t end = 0;
    bool hasEndWord = false;
    std::uint8_t hour = 0;  // start time bytes as recorded
    std::uint8_t minute = 0;
    double volume = 0;  // ml
    double qmax = 0;    // ml/s
};

// Boundaries found by the nomogram's scan: the start word of every study from
// offset 99 on, in image order, up to the first unwritten word (0xFFFF). `ends[i]`
// is where study i's words stop: the next start, that unwritten word, or 65,536
// for the last study of a full memory.
struct StudyBounds {
    std::vector<std::uint32_t> starts;
    std::vector<std::uint32_t> ends;
};
StudyBounds scanNomogramStudies(const Image& image);

// The per-study pass (spikes cut at kDefaultArtefactThreshold, whatever the
// uroflowgram's threshold is) over the words from start + 4 up to the study's end word (or
// `boundary` when it has none): spikes cut, the flow smoothed, the noise floored,
// the words summed. Cleans `image` in place. k is the calibration coefficient; with
// k == 0 the image is cleaned and RuntimeError(kDivisionByZeroText) is thrown.
EvaluatedStudy evaluateStudy(Image& image, std::uint32_t start, std::uint32_t boundary,
                             std::int32_t k);

// Scan and pass for every study of the image, in order. A coefficient of 0 with at
// least one study ends after the first study's cleaning with the division error.
std::vector<EvaluatedStudy> evaluateDay(Image& image, std::int32_t k);

}  // namespace uroflow
