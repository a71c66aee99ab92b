// A study drawn as the window draws it, checked.

#include "fuzz/DrawCheck.h"

#include <cmath>
#include <string>

#include "fuzz/Invariant.h"
#include "study/IndexTexts.h"

namespace uroflow::fuzz {
namespace {

void checkIndices(const StudyIndices& i) {
    for (double value : {i.twait, i.tqmax, i.flowTime, i.ttotal, i.qmax, i.vqmax, i.volume}) {
        FUZZ_REQUIRE(std::isfinite(value));
    }
    if (i.qave) FUZZ_REQUIRE(std::isfinite(*i.qave));
    if (i.volumeStatic) FUZZ_REQUIRE(std::isfinite(*i.volumeStatic));
    for (const char* separator : {",", "."}) {
        const IndexTexts texts = formatIndices(i, separator);
        for (const std::string* text : {&texts.twait, &texts.tqmax, &texts.flowTime, &texts.ttotal,
                                        &texts.qmax, &texts.vqmax, &texts.vml}) {
            FUZZ_REQUIRE(!text->empty());
        }
        FUZZ_REQUIRE(texts.qave.empty() != i.qave.has_value());
    }
}

}  // namespace

DecodeParams studyParams(const StudyStartTable& starts, std::uint16_t count, std::uint16_t index,
                         std::int32_t k) {
    DecodeParams params{starts[index], kDefaultArtefactThreshold, count, k};
    if (index + 1 < count) params.nextStudyStart = starts[index + 1];
    return params;
}

namespace {

DecodeResult decodeChecked(Image& work, const DecodeParams& params) {
    DecodeResult result = decodeStudy(work, params);
    FUZZ_REQUIRE(result.decoded == (params.studyCount > 0 && params.calibrCoef != 0));
    FUZZ_REQUIRE(result.flowTime.size() <= kMaxWordSteps);
    FUZZ_REQUIRE(result.flowVolume.size() <= result.flowTime.size() / 7 + 1);
    FUZZ_REQUIRE(result.qmaxIndex <= result.sampleCount);
    FUZZ_REQUIRE(result.index95 <= result.sampleCount);
    FUZZ_REQUIRE(!(result.error && result.indices));
    // "hh:mm:00", or "::00" for samples met before any start word.
    if (result.startTime)
        FUZZ_REQUIRE(result.startTime->size() == 8 || *result.startTime == "::00");
    double previousX = -1;
    for (const CurvePoint& point : result.flowTime) {
        FUZZ_REQUIRE(std::isfinite(point.x) && std::isfinite(point.y));
        FUZZ_REQUIRE(point.x > previousX);  // one point per sample, in time order
        previousX = point.x;
    }
    if (result.indices) checkIndices(*result.indices);
    return result;
}

}  // namespace

DecodeResult drawChecked(const Image& scanned, Image& work, const DecodeParams& params) {
    work = scanned;
    return decodeChecked(work, params);
}

void DrawWork::take(const Image& scanned) {
    *image_ = scanned;
    patched_ = {};
}

DecodeResult DrawWork::draw(const Image& scanned, const DecodeParams& params) {
    restoreRange(*image_, scanned, patched_);
    DecodeResult result = decodeChecked(*image_, params);
    FUZZ_REQUIRE(result.patched.from <= result.patched.to && result.patched.to <= kImageSize);
    patched_ = result.patched;
    return result;
}

bool sameDrawing(const DecodeResult& a, const DecodeResult& b) {
    return a.sampleCount == b.sampleCount && a.waitCount == b.waitCount &&
           a.qmaxIndex == b.qmaxIndex && a.index95 == b.index95 && a.flowMaxRaw == b.flowMaxRaw &&
           a.flowTime.size() == b.flowTime.size() && a.startTime == b.startTime &&
           a.error == b.error && a.indices.has_value() == b.indices.has_value() &&
           (!a.indices || a.indices->volume == b.indices->volume);
}

}  // namespace uroflow::fuzz
