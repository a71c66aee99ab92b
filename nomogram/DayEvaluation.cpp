#include "nomogram/DayEvaluation.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "study/RuntimeError.h"
#include "study/Signal.h"
#include "study/Units.h"

namespace uroflow {
namespace {

// No flow in the last 16 bytes before the end, where the scale settles after the voiding.
constexpr std::uint32_t kSettlingBytes = 16;
// The first sample lies after the start word and the hour and minute bytes.
constexpr std::uint32_t kFirstSample = 4;

// The study's end word on the sample grid or one byte off it, before `boundary`.
// Looked for before the pass cleans anything.
std::uint32_t findEndWord(const Image& image, std::uint32_t start, std::uint32_t boundary,
                          bool& found) {
    for (std::uint32_t p = start + kFirstSample; p < boundary; p += 2) {
        if (word(image, p) == kEndWord) {
            found = true;
            return p;
        }
        if (word(image, p + 1) == kEndWord) {
            found = true;
            return p + 1;
        }
    }
    found = false;
    return boundary;
}

// Word at q without the range check of word(): the pass only reads from the study
// area up to 10 bytes past the memory, well inside the spare room of the image.
std::uint16_t wordAt(const Image& image, std::uint32_t q) {
    return static_cast<std::uint16_t>((image[q] << 8) | image[q + 1]);
}

double smoothed(const Image& image, std::uint32_t p) {
    double r = 0;
    for (std::uint32_t i = 0; i < kSmoothingKernel.size(); ++i)
        r += kSmoothingKernel[i] * wordAt(image, p - 8 + 2 * i);
    return r;
}

}  // namespace

StudyBounds scanNomogramStudies(const Image& image) {
    StudyBounds bounds;
    std::uint32_t p = kStudyAreaStart;
    for (; p < kMemorySize; ++p) {
        const std::uint16_t w = word(image, p);
        if (w == kStartWord) {
            // A start beyond what the study table holds closes the last study kept.
            if (bounds.starts.size() == kMaxStudies) break;
            bounds.starts.push_back(p);
        }
        if (w == kUnwrittenWord) break;
    }
    for (std::size_t i = 0; i < bounds.starts.size(); ++i) {
        bounds.ends.push_back(i + 1 < bounds.starts.size() ? bounds.starts[i + 1] : p);
    }
    return bounds;
}

EvaluatedStudy evaluateStudy(Image& image, std::uint32_t start, std::uint32_t boundary,
                             std::int32_t k) {
    // No study reaches past the memory; the reads below rely on it.
    boundary = std::min<std::uint32_t>(boundary, kMemorySize);
    EvaluatedStudy study;
    study.start = start;
    study.hour = image[start + 2];
    study.minute = image[start + 3];
    study.end = findEndWord(image, start, boundary, study.hasEndWord);
    const std::uint32_t e = study.end;

    double sum = 0;
    double max = 0;
    // Only words lying wholly before the end: a word that straddles an end word one
    // byte off the grid (or the next start) is half marker, not urine.
    for (std::uint32_t p = start + kFirstSample; p + 2 <= e; p += 2) {
        const std::uint16_t x = wordAt(image, p);
        const std::uint16_t y = wordAt(image, p + 2);
        // A jump by the factor is a knock on the scale: the next two words go. For
        // words below 65,536 the quotient y / x reaches 10 exactly when y >= 10 x.
        // The cut stays inside the study: the end word, its static reading and the next
        // study's start word are no samples, and clearing them would make the next
        // evaluation of the cleaned image see other studies.
        if (x > 0 && x < kStartWord && y < kStartWord &&
            std::uint32_t{y} >= std::uint32_t{kDefaultArtefactThreshold} * x) {
            std::fill(image.begin() + p + 2, image.begin() + std::min(p + 6, e), std::uint8_t{0});
        }
        double r = p >= start + kSmoothingFrom ? smoothed(image, p) : x;
        if (p + kSettlingBytes > e) r = 0;
        // Readings below 512 are scale noise: no volume.
        if (belowNoiseFloor(image[p])) {
            image[p] = 0;
            image[p + 1] = 0;
        }
        sum += wordAt(image, p);
        if (r > max) max = r;
    }
    if (k == 0) throw RuntimeError(kDivisionByZeroText);
    study.volume = rawToMl(sum, k);
    study.qmax = peakRawToMlPerSecond(max, k);
    return study;
}

std::vector<EvaluatedStudy> evaluateDay(Image& image, std::int32_t k) {
    const StudyBounds bounds = scanNomogramStudies(image);
    // The start times are taken first: a spike cut at the end of one study can reach
    // the next study's start word and time bytes.
    std::vector<std::array<std::uint8_t, 2>> times;
    for (const std::uint32_t start : bounds.starts)
        times.push_back({image[start + 2], image[start + 3]});
    std::vector<EvaluatedStudy> studies;
    studies.reserve(bounds.starts.size());
    for (std::size_t i = 0; i < bounds.starts.size(); ++i) {
        EvaluatedStudy& study =
            studies.emplace_back(evaluateStudy(image, bounds.starts[i], bounds.ends[i], k));
        study.hour = times[i][0];
        study.minute = times[i][1];
    }
    return studies;
}

}  // namespace uroflow
