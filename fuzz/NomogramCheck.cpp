#include "fuzz/NomogramCheck.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "fuzz/Invariant.h"
#include "fuzz/TextCheck.h"
#include "nomogram/DayEvaluation.h"
#include "nomogram/NomogramChoice.h"
#include "nomogram/NomogramZone.h"
#include "nomogram/PointTip.h"
#include "study/Decoder.h"
#include "study/RuntimeError.h"

namespace uroflow::fuzz {
namespace {

void checkBounds(const StudyBounds& bounds) {
    FUZZ_REQUIRE(bounds.starts.size() == bounds.ends.size());
    for (std::size_t i = 0; i < bounds.starts.size(); ++i) {
        FUZZ_REQUIRE(bounds.starts[i] >= kStudyAreaStart && bounds.starts[i] < kMemorySize);
        FUZZ_REQUIRE(bounds.ends[i] > bounds.starts[i] && bounds.ends[i] <= kMemorySize);
        if (i + 1 < bounds.starts.size()) {
            FUZZ_REQUIRE(bounds.starts[i + 1] > bounds.starts[i]);
            FUZZ_REQUIRE(bounds.ends[i] <= bounds.starts[i + 1]);
        }
    }
}

// One evaluation of `image` in place; empty when the coefficient refused it.
std::optional<std::vector<EvaluatedStudy>> evaluate(Image& image, std::int32_t k) {
    const StudyBounds bounds = scanNomogramStudies(image);
    checkBounds(bounds);
    try {
        std::vector<EvaluatedStudy> studies = evaluateDay(image, k);
        FUZZ_REQUIRE(studies.size() == bounds.starts.size());
        for (std::size_t i = 0; i < studies.size(); ++i) {
            const EvaluatedStudy& study = studies[i];
            FUZZ_REQUIRE(study.start == bounds.starts[i]);
            FUZZ_REQUIRE(study.end > study.start && study.end <= bounds.ends[i]);
            FUZZ_REQUIRE(std::isfinite(study.volume) && std::isfinite(study.qmax));
        }
        return studies;
    } catch (const RuntimeError&) {
        FUZZ_REQUIRE(k == 0 && !bounds.starts.empty());
        return std::nullopt;
    }
}

// The points of one chart: every study's zone and tool tip.
void place(NomogramKind kind, const std::vector<EvaluatedStudy>& studies,
           const std::optional<std::string>& archiveDate) {
    FUZZ_REQUIRE(nomogramChartName(kind) != nullptr);
    int number = 0;
    for (const EvaluatedStudy& study : studies) {
        PointTip tip{++number,     study.hour, study.minute,
                     study.volume, study.qmax, nomogramZone(kind, study.volume, study.qmax),
                     archiveDate};
        if (tip.zone)
            FUZZ_REQUIRE(validUtf8(zoneCode(*tip.zone)) && validUtf8(zoneText(*tip.zone)));
        FUZZ_REQUIRE(validUtf8(pointTipText(tip, ",")));
    }
}

// The chart chosen is one of those every study was placed on above, so placing the day
// again on it would repeat that work.
void choose(const std::optional<Sex>& sex, int age) {
    const std::optional<NomogramKind> kind = chooseNomogram(sex, age);
    FUZZ_REQUIRE(kind.has_value() == sex.has_value());
    if (kind) {
        FUZZ_REQUIRE(std::ranges::find(kAllNomogramKinds, *kind) != std::end(kAllNomogramKinds));
    }
}

}  // namespace

void checkNomogram(const Image& device, const Image& scanned, const Passport& passport,
                   std::int32_t k) {
    // "Ном" on the image as the last scan left it, then once more on the cleaned image.
    // Kept between executions, as the window keeps its work image.
    static const auto work = std::make_unique<Image>();
    static const auto archive = std::make_unique<Image>();
    *work = scanned;
    const auto first = evaluate(*work, k);
    const auto second = evaluate(*work, k);
    // Its cleaning leaves the day's studies where they were.
    FUZZ_REQUIRE(first.has_value() == second.has_value());
    if (first) {
        FUZZ_REQUIRE(first->size() == second->size());
        for (std::size_t i = 0; i < first->size(); ++i) {
            FUZZ_REQUIRE((*first)[i].start == (*second)[i].start);
            FUZZ_REQUIRE((*first)[i].hasEndWord == (*second)[i].hasEndWord);
        }
    }

    if (first) {
        for (const NomogramKind kind : kAllNomogramKinds) place(kind, *first, std::nullopt);
        // The age as the passport gave it to the field, and the ages around the limits.
        std::vector<int> ages = {INT_MIN, -1, 0, 15, 16, 49, 50, 130, INT_MAX};
        try {
            ages.push_back(ageInWholeYears(passport.age));
        } catch (const RuntimeError&) {
            // Not a number of years: the nomogram refuses it with the conversion error.
        }
        for (const std::optional<Sex> sex :
             {std::optional<Sex>{}, std::optional(Sex::Female), std::optional(Sex::Male)}) {
            for (const int age : ages) choose(sex, age);
        }
    }

    // The same bytes loaded as an archived day, with the archive's own coefficient.
    *archive = device;
    const std::string date = decodePassport(*archive).date;
    FUZZ_REQUIRE(validUtf8(date));
    const auto archived = evaluate(*archive, calibrationCoefficient(*archive));
    if (archived && passport.sex) {
        const std::optional<NomogramKind> kind = chooseNomogram(passport.sex, 40);
        if (kind) place(*kind, *archived, date);
    }
}

}  // namespace uroflow::fuzz
