// Label and grid spacing of an axis, without Qt.
#include <gtest/gtest.h>

#include "charts/AxisLabels.h"

namespace uroflow {
namespace {

TEST(AxisLabels, ThinnedLabelsDivideAFixedRangeAndTheGridKeepsTheIncrement) {
    struct Case {
        const char* what;
        AxisLayout layout;
        double interval;
        int minorLines;
    };
    const Case cases[] = {
        {"every label fits", {500, 20, 0, 500, 2000, 30}, 20, 0},
        {"own minor ticks kept", {50, 5, 1, 50, 400, 16}, 5, 1},
        // 40 would fit but leaves 500 unlabelled.
        {"fixed volume range", {500, 20, 0, 500, 740, 30}, 100, 4},
        {"same span, automatic axis", {500, 20, 0, 0, 740, 30}, 40, 1},
        {"fixed flow range", {50, 2, 1, 50, 380, 16}, 10, 4},
        {"extended flow range", {52.08, 1, 0, 50, 408, 16}, 5, 4},
        // One grid line a second would be a grey area on a long study.
        {"dense grid left out", {4096, 1, 0, 0, 730, 30}, 200, 0},
        {"no room at all", {50, 1, 0, 50, 10, 16}, 50, 0},
        {"range no interval divides", {51, 2, 0, 51, 100, 16}, 10, 0},
        {"not laid out", {500, 20, 0, 500, 0, 30}, 20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AxisSpacing spacing = axisSpacing(c.layout);
        EXPECT_EQ(spacing.labelInterval, c.interval);
        EXPECT_EQ(spacing.minorLines, c.minorLines);
    }
}

TEST(AxisLabels, RangeDrawnWithinAShareOfTheAxis) {
    const ValueRange range = rangeDrawnWithin(0, 50, 0.02, 0.98);
    const double length = range.max - range.min;
    EXPECT_NEAR((0 - range.min) / length, 0.02, 1e-12);
    EXPECT_NEAR((50 - range.min) / length, 0.98, 1e-12);
}

}  // namespace
}  // namespace uroflow
