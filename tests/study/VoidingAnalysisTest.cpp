// The standard analysis of one voiding on hand-made flows with answers worked out by hand.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study/VoidingAnalysis.h"

namespace uroflow {
namespace {

// K = 50000: a sample of 500 raw is 1 ml/s, 4000 raw are 1 ml.
constexpr std::int32_t kK = 50000;

// Builds a flow from runs of equal samples: {count, ml/s}.
std::vector<std::uint16_t> flow(std::initializer_list<std::pair<int, double>> runs) {
    std::vector<std::uint16_t> samples;
    for (const auto& [count, rate] : runs)
        samples.insert(samples.end(), count, static_cast<std::uint16_t>(std::lround(rate * 500)));
    return samples;
}

// A bell: rising by 0.3 ml/s a sample to 24 ml/s at sample 80, falling as it rose.
std::vector<std::uint16_t> bell() {
    std::vector<std::uint16_t> samples(8, 0);
    for (int i = 1; i <= 80; ++i) samples.push_back(static_cast<std::uint16_t>(150 * i));
    for (int i = 79; i >= 1; --i) samples.push_back(static_cast<std::uint16_t>(150 * i));
    samples.insert(samples.end(), 8, 0);
    return samples;
}

struct AnalysisCase {
    std::string what;
    std::vector<std::uint16_t> samples;
    double voidedMl;
    double flowTime;
    double voidingTime;
    std::optional<double> qmax;
    std::optional<double> timeToQmax;
    int episodes;
    VoidingValidity validity;
};

class Analysis : public ::testing::TestWithParam<AnalysisCase> {};

TEST_P(Analysis, GivesTheStandardFigures) {
    const AnalysisCase& c = GetParam();
    const std::optional<VoidingAnalysis> a = analyzeVoiding(c.samples, kK);
    ASSERT_TRUE(a);
    EXPECT_NEAR(a->voidedMl, c.voidedMl, 1e-9);
    EXPECT_DOUBLE_EQ(a->flowTime, c.flowTime);
    EXPECT_DOUBLE_EQ(a->voidingTime, c.voidingTime);
    EXPECT_EQ(a->qmax.has_value(), c.qmax.has_value());
    if (c.qmax && a->qmax) {
        EXPECT_NEAR(*a->qmax, *c.qmax, 1e-9);
    }
    EXPECT_EQ(a->timeToQmax, c.timeToQmax);
    EXPECT_EQ(a->episodes, c.episodes);
    EXPECT_EQ(a->intermittent(), c.episodes >= 2);
    EXPECT_EQ(validityCode(a->validity), std::string(validityCode(c.validity)));
    if (c.qmax) {
        ASSERT_TRUE(a->qave);
        EXPECT_NEAR(*a->qave, c.voidedMl / c.flowTime, 1e-9);
    } else {
        EXPECT_FALSE(a->qave);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Flows, Analysis,
    ::testing::Values(
        // 20 s at 20 ml/s after 2 s of waiting: everything is the plateau.
        AnalysisCase{"plateau", flow({{16, 0}, {160, 20}, {8, 0}}), 400, 20, 20, 20.0, 1.0, 1,
                     VoidingValidity::Ok},
        // Flow from 600 raw (1.2 ml/s), i.e. samples 4..80..4 of the bell: 153 samples.
        // The best 2 s are the 16 samples from 8 before the peak: 150 x 1216 / 16 raw =
        // 22.8 ml/s, below the 24 ml/s of the peak sample; the window starts 68 samples after
        // the onset. Volume: 150 x 80^2 / 4000 ml.
        AnalysisCase{"bell", bell(), 240, 153 / 8.0, 153 / 8.0, 22.8, 68 / 8.0 + 1.0, 1,
                     VoidingValidity::Ok},
        // A pause of 0.5 s is still one episode; the voiding time spans it, the flow time not.
        AnalysisCase{"pause of 0.5 s", flow({{80, 10}, {4, 0}, {80, 10}}), 200, 20, 20.5, 10.0, 1.0,
                     1, VoidingValidity::Ok},
        AnalysisCase{"pause of 2 s", flow({{80, 10}, {16, 0}, {80, 10}}), 200, 20, 22, 10.0, 1.0, 2,
                     VoidingValidity::Ok},
        // Exactly 1 s of no flow parts two episodes; one sample less joins them.
        AnalysisCase{"pause of 1 s", flow({{80, 10}, {8, 0.5}, {80, 10}}), 200.5, 20, 21, 10.0, 1.0,
                     2, VoidingValidity::Ok},
        AnalysisCase{"pause of 7 samples", flow({{80, 10}, {7, 0}, {80, 10}}), 200, 20, 167 / 8.0,
                     10.0, 1.0, 1, VoidingValidity::Ok},
        // A 1 s spike of 40 ml/s on 10 ml/s: the best 2 s hold it and 1 s of the plateau.
        AnalysisCase{"spike of 1 s", flow({{80, 10}, {8, 40}, {80, 10}}), 240, 21, 21, 25.0,
                     72 / 8.0 + 1.0, 1, VoidingValidity::Ok},
        // Under 2 s of flow: Qmax is the mean over the whole flow, its time half the voiding.
        AnalysisCase{"ten samples", flow({{3, 0.5}, {10, 8}, {3, 0}}), 10.1875, 1.25, 1.25, 8.0,
                     0.625, 1, VoidingValidity::LowVolume},
        // Below 1 ml/s throughout: volume, but no flow and no rate.
        AnalysisCase{"no flow", flow({{40, 0.998}}), 4.99, 0, 0, std::nullopt, std::nullopt, 0,
                     VoidingValidity::NoFlow},
        AnalysisCase{"empty", {}, 0, 0, 0, std::nullopt, std::nullopt, 0, VoidingValidity::NoFlow},
        // 1.0 ml/s exactly is flow.
        AnalysisCase{"threshold", flow({{16, 1}}), 2, 2, 2, 1.0, 1.0, 1,
                     VoidingValidity::LowVolume},
        AnalysisCase{"150 ml", flow({{120, 10}}), 150, 15, 15, 10.0, 1.0, 1, VoidingValidity::Ok},
        AnalysisCase{"600 ml", flow({{240, 20}}), 600, 30, 30, 20.0, 1.0, 1, VoidingValidity::Ok},
        AnalysisCase{"over 600 ml", flow({{241, 20}}), 602.5, 30.125, 30.125, 20.0, 1.0, 1,
                     VoidingValidity::HighVolume}),
    [](const auto& info) {
        std::string name;
        for (const char c : info.param.what)
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(Analysis, OnlyACalibrationInRangeIsAnalysed) {
    const std::vector<std::uint16_t> samples = flow({{160, 20}});
    for (const std::int32_t k : {0, -50000, 39999, 60001})
        EXPECT_FALSE(analyzeVoiding(samples, k)) << "K = " << k;
    for (const std::int32_t k : {40000, 60000}) {
        const std::optional<VoidingAnalysis> a = analyzeVoiding(samples, k);
        ASSERT_TRUE(a) << "K = " << k;
        EXPECT_DOUBLE_EQ(*a->qmax, 10000 * 100.0 / k);
    }
}

TEST(Analysis, ADecodedStudyIsAnalysedFromItsCleanedSamplesUnlessItsWalkFailed) {
    DecodeResult result;
    result.decoded = true;
    result.calibrCoef = kK;
    result.samples = flow({{160, 20}});
    EXPECT_FALSE(analyzeStudy(result));  // no indices: the walk did not end normally

    result.indices = StudyIndices{};
    const std::optional<VoidingAnalysis> a = analyzeStudy(result);
    ASSERT_TRUE(a);
    EXPECT_DOUBLE_EQ(a->voidedMl, 400);

    result.error = "'25:07' is not a valid time";
    EXPECT_FALSE(analyzeStudy(result));
    result.error.reset();
    result.decoded = false;
    EXPECT_FALSE(analyzeStudy(result));
}

}  // namespace
}  // namespace uroflow
