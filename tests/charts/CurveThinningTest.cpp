// Thinning a line to pixel columns, without Qt.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "charts/CurveThinning.h"

namespace uroflow {
namespace {

std::vector<CurvePoint> line(std::initializer_list<double> ys, double x0 = 0) {
    std::vector<CurvePoint> points;
    double x = x0;
    for (const double y : ys) points.push_back({x++, y});
    return points;
}

std::vector<double> xs(const std::vector<CurvePoint>& points) {
    std::vector<double> out;
    for (const CurvePoint& p : points) out.push_back(p.x);
    return out;
}

TEST(CurveThinning, PerColumnFirstLowestHighestLastInCurveOrder) {
    // Ten points on x 0..9, shown on 0..10 in two columns of five points each.
    const std::vector<CurvePoint> curve = line({5, 9, 1, 7, 6, 3, 3, 8, 0, 4});
    struct Case {
        const char* what;
        double xMin, xMax;
        int columns;
        std::vector<double> xs;
    };
    const Case cases[] = {
        {"two columns", 0, 10, 2, {0, 1, 2, 4, 5, 7, 8, 9}},
        // Ties keep the first lowest and highest.
        {"one column", 0, 10, 1, {0, 1, 8, 9}},
        {"enough columns keep all", 0, 10, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        // x 0..3 in the first column; 4..8 in the second, thinned; 9 lies beyond the range.
        {"a column of four keeps all", 0, 8, 2, {0, 1, 2, 3, 4, 7, 8, 9}},
        // One point beyond each edge, so the line reaches it.
        {"zoomed", 3.5, 6.5, 100, {3, 4, 5, 6, 7}},
        {"range past the end", 8.5, 20, 5, {8, 9}},
        {"range before the start", -5, -1, 5, {0}},
        {"no columns", 0, 10, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"empty range", 3, 3, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(xs(thinForColumns(curve, c.xMin, c.xMax, c.columns)), c.xs);
    }
    EXPECT_TRUE(thinForColumns({}, 0, 10, 5).empty());
}

TEST(CurveThinning, LongestStudyKeepsItsExtremesInFewPoints) {
    std::vector<CurvePoint> curve;
    for (int k = 0; k < 32768; ++k) curve.push_back({k / 8.0, std::sin(k * 0.37) * 10 + 20});
    const std::vector<CurvePoint> shown = thinForColumns(curve, 0, 4096, 730);
    EXPECT_LE(shown.size(), 4u * 730);
    // Every column's extremes are there, so the drawn band has the curve's full height.
    for (int column = 0; column < 730; ++column) {
        double lo = 1e9, hi = -1e9, shownLo = 1e9, shownHi = -1e9;
        for (const CurvePoint& p : curve) {
            if (static_cast<int>(p.x * 730 / 4096) != column) continue;
            lo = std::min(lo, p.y);
            hi = std::max(hi, p.y);
        }
        for (const CurvePoint& p : shown) {
            if (static_cast<int>(p.x * 730 / 4096) != column) continue;
            shownLo = std::min(shownLo, p.y);
            shownHi = std::max(shownHi, p.y);
        }
        ASSERT_EQ(shownLo, lo) << column;
        ASSERT_EQ(shownHi, hi) << column;
    }
}

TEST(CurveThinning, MarkersOnePerPixelAndOnlyWhereTheyShow) {
    // A plot of 100 x 50 pixels over 0..500 ml and 0..50 ml/s: 5 ml and 1 ml/s a pixel.
    const PlotWindow plot{0, 500, 0, 50, 100, 50};
    const std::vector<CurvePoint> points = {
        {10, 10},  {11, 10.2},  // the same pixel: the first stays
        {16, 10},               // the next pixel
        {-12, 20}, {512, 20},   // within 3 pixels of the edge: part of the marker shows
        {-30, 20}, {600, 20},   // beyond the reach
        {250, -5}, {250, 60},   // below and above
        {250, 50}, {500, 0},    // on the edges
    };
    std::vector<CurvePoint> expected = {{10, 10},  {16, 10},  {-12, 20},
                                        {512, 20}, {250, 50}, {500, 0}};
    const std::vector<CurvePoint> shown = thinForPixels(points, plot, 3);
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].x, expected[i].x) << i;
        EXPECT_EQ(shown[i].y, expected[i].y) << i;
    }
    // Not laid out: every point.
    EXPECT_EQ(thinForPixels(points, PlotWindow{0, 500, 0, 50, 0, 50}, 3).size(), points.size());
}

TEST(CurveThinning, NearestPointTakesTheLaterOfTwoEquallyNear) {
    const std::vector<CurvePoint> curve = line({1, 2, 3, 4});
    const std::pair<double, std::size_t> cases[] = {{-5, 0},  {0.4, 0}, {0.5, 1}, {0.6, 1},
                                                    {2.2, 2}, {3, 3},   {9, 3}};
    for (const auto& [x, index] : cases) EXPECT_EQ(nearestPoint(curve, x), index) << x;
}

}  // namespace
}  // namespace uroflow
