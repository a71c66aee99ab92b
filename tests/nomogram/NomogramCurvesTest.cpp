#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "nomogram/NomogramCurves.h"

namespace uroflow {
namespace {

class NomogramBandTest : public ::testing::TestWithParam<NomogramKind> {};

const BandSample* sampleAt(const std::vector<BandSample>& band, double volume) {
    auto it = std::find_if(band.begin(), band.end(),
                           [&](const BandSample& s) { return s.volume == volume; });
    return it == band.end() ? nullptr : &*it;
}

TEST_P(NomogramBandTest, PassesThroughEveryTableValue) {
    const auto band = nomogramBand(GetParam());
    for (const CurveRow& row : nomogramTable(GetParam()).rows) {
        const BandSample* s = sampleAt(band, row.volume);
        ASSERT_NE(s, nullptr) << row.volume;
        if (row.upper) {
            EXPECT_NEAR(s->upper, *row.upper, 1e-9) << row.volume;
        } else {
            EXPECT_GT(s->upper, 50.0) << "open upper curve must leave the plot at " << row.volume;
        }
        EXPECT_NEAR(s->middle, row.middle, 1e-9) << row.volume;
        EXPECT_NEAR(s->lower, row.lower, 1e-9) << row.volume;
    }
}

TEST_P(NomogramBandTest, SpansStartToEndVolumeInAscendingSteps) {
    const NomogramTable& table = nomogramTable(GetParam());
    const auto band = nomogramBand(GetParam(), 7.0);  // a step that does not hit the end
    ASSERT_GE(band.size(), 2u);
    EXPECT_EQ(band.front().volume, table.startVolume);
    EXPECT_EQ(band.back().volume, table.endVolume);
    for (std::size_t i = 1; i < band.size(); ++i) {
        EXPECT_GT(band[i].volume, band[i - 1].volume);
        EXPECT_LE(band[i].volume - band[i - 1].volume, 7.0 + 1e-9);
    }
}

TEST_P(NomogramBandTest, CurvesKeepTheirOrderAndStayPositive) {
    for (const BandSample& s : nomogramBand(GetParam(), 0.25)) {
        EXPECT_GE(s.upper, s.middle) << s.volume;
        EXPECT_GE(s.middle, s.lower) << s.volume;
        EXPECT_GT(s.lower, 0.0) << s.volume;
    }
}

INSTANTIATE_TEST_SUITE_P(AllNomograms, NomogramBandTest, ::testing::ValuesIn(kAllNomogramKinds));

TEST(NomogramBandTest, BandsBeginAndEndAtThePublishedVolumes) {
    const std::tuple<NomogramKind, double, double> cases[] = {
        {NomogramKind::Woman, 22, 498}, {NomogramKind::Man51, 61, 380},
        {NomogramKind::Man49, 62, 498}, {NomogramKind::Girls, 20, 479},
        {NomogramKind::Boy, 21, 419},
    };
    for (const auto& [kind, start, end] : cases) {
        const auto band = nomogramBand(kind);
        EXPECT_EQ(band.front().volume, start);
        EXPECT_EQ(band.back().volume, end);
    }
}

TEST(NomogramBandTest, WomanUpperCurveContinuesStraightAboveFifty) {
    const auto band = nomogramBand(NomogramKind::Woman);
    // 45.4 at 250 and 47.7 at 275: 50.0 at 300, raised to the minimum, then rising.
    EXPECT_NEAR(sampleAt(band, 300)->upper, kOpenUpperMin, 1e-9);
    EXPECT_NEAR(sampleAt(band, 325)->upper, 47.7 + 2.3 * 2, 1e-9);
    EXPECT_NEAR(sampleAt(band, 475)->upper, 47.7 + 2.3 * 8, 1e-9);
}

TEST(MonotoneCurveTest, ExtrapolatesAlongTheNearestSegment) {
    const MonotoneCurve c({0, 10, 20}, {1, 3, 4});
    EXPECT_DOUBLE_EQ(c(-5), 0.0);
    EXPECT_DOUBLE_EQ(c(30), 5.0);
    EXPECT_DOUBLE_EQ(c(10), 3.0);
}

TEST(MonotoneCurveTest, NeverOvershootsBetweenPoints) {
    // A sharp step and a peak: a plain cubic spline would swing past the values.
    const std::vector<double> xs{0, 1, 2, 3, 4, 5};
    const std::vector<double> ys{0, 0, 10, 10, 12, 0};
    const MonotoneCurve c(xs, ys);
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        const double lo = std::min(ys[i], ys[i + 1]);
        const double hi = std::max(ys[i], ys[i + 1]);
        for (double x = xs[i]; x <= xs[i + 1]; x += 0.01) {
            EXPECT_GE(c(x), lo - 1e-9) << x;
            EXPECT_LE(c(x), hi + 1e-9) << x;
        }
    }
}

}  // namespace
}  // namespace uroflow
