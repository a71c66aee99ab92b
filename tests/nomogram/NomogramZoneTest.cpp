#include <gtest/gtest.h>

#include "nomogram/NomogramZone.h"
#include "nomogram/PageFit.h"
#include "nomogram/PointTip.h"

namespace uroflow {
namespace {

class ZoneTest : public ::testing::TestWithParam<NomogramKind> {};

// Judged against the very samples the bands are drawn from: a point just off a drawn
// curve is on the side of it that the picture shows.
TEST_P(ZoneTest, PointsJustBelowAndAboveEachDrawnCurve) {
    constexpr double d = 0.01;
    for (const BandSample& s : nomogramBand(GetParam(), 37.0)) {
        const NomogramKind kind = GetParam();
        const double v = s.volume;
        EXPECT_EQ(nomogramZone(kind, v, s.lower - d), NomogramZone::BelowL) << v;
        EXPECT_EQ(nomogramZone(kind, v, s.lower + d), NomogramZone::LToM) << v;
        EXPECT_EQ(nomogramZone(kind, v, s.middle - d), NomogramZone::LToM) << v;
        EXPECT_EQ(nomogramZone(kind, v, s.middle + d), NomogramZone::MToU) << v;
        EXPECT_EQ(nomogramZone(kind, v, s.upper - d), NomogramZone::MToU) << v;
        EXPECT_EQ(nomogramZone(kind, v, s.upper + d), NomogramZone::AboveU) << v;
    }
}

TEST_P(ZoneTest, NoZoneOutsideTheBandsVolumes) {
    const NomogramTable& table = nomogramTable(GetParam());
    EXPECT_EQ(nomogramZone(GetParam(), table.startVolume - 0.5, 10), std::nullopt);
    EXPECT_EQ(nomogramZone(GetParam(), table.endVolume + 0.5, 10), std::nullopt);
    EXPECT_NE(nomogramZone(GetParam(), table.startVolume, 10), std::nullopt);
    EXPECT_NE(nomogramZone(GetParam(), table.endVolume, 10), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(AllNomograms, ZoneTest, ::testing::ValuesIn(kAllNomogramKinds));

TEST(ZoneTest, ReadsThePublishedTable) {
    // Men to 49 at 200 ml: L 24.3, M 30.2, U 37.1.
    EXPECT_EQ(nomogramZone(NomogramKind::Man49, 200, 20), NomogramZone::BelowL);
    EXPECT_EQ(nomogramZone(NomogramKind::Man49, 200, 24.3), NomogramZone::LToM);
    EXPECT_EQ(nomogramZone(NomogramKind::Man49, 200, 30.2), NomogramZone::MToU);
    EXPECT_EQ(nomogramZone(NomogramKind::Man49, 200, 37.1), NomogramZone::MToU);
    EXPECT_EQ(nomogramZone(NomogramKind::Man49, 200, 40), NomogramZone::AboveU);
    // The women's upper curve has left the plot at 300 ml.
    EXPECT_EQ(nomogramZone(NomogramKind::Woman, 300, 49.9), NomogramZone::MToU);
    EXPECT_STREQ(zoneCode(NomogramZone::LToM), "L-M");
    EXPECT_STREQ(zoneText(NomogramZone::BelowL), "ниже L");
}

struct FitCase {
    int pageWidth;
    int pageHeight;
    PrintRect expected;
};

class PageFitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(PageFitTest, TheWindowKeepsItsProportionsAndFillsTheLimitingSide) {
    const auto [pw, ph, expected] = GetParam();
    const PrintRect r = fitToPage(966, 599, pw, ph);
    EXPECT_EQ(r.width, expected.width);
    EXPECT_EQ(r.height, expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageFitTest,
    ::testing::Values(FitCase{4760, 6779, {4760, 2952}},  // A4 portrait at 600 dpi: full width
                      FitCase{6779, 4760, {6779, 4204}},  // A4 landscape: still full width
                      FitCase{2000, 1000, {1613, 1000}},  // a wider page: full height
                      FitCase{966, 599, {966, 599}},      // the window's own shape
                      FitCase{0, 599, {0, 0}}));

TEST(PageFitTest, RoundsHalvesToEven) {
    EXPECT_EQ(fitToPage(3, 2, 10, 3).width, 4);  // 4.5
    EXPECT_EQ(fitToPage(2, 3, 3, 10).height, 4);
}

TEST(PointTipTest, NamesTheStudyItsValuesAndItsZone) {
    PointTip tip{2, 8, 5, 249.6, 20.54, NomogramZone::LToM, std::nullopt};
    EXPECT_EQ(pointTipText(tip, ","),
              "Исследование 2, 08:05\nV = 250 мл, Qmax = 20,5 мл/сек\nЗона: L–M");
    tip.zone.reset();
    tip.archiveDate = "05.03.26";
    EXPECT_EQ(pointTipText(tip, "."),
              "Архив 05.03.26, исследование 2, 08:05\nV = 250 мл, Qmax = 20.5 мл/сек\n"
              "Зона: вне номограммы");
}

}  // namespace
}  // namespace uroflow
