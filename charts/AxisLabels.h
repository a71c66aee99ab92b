#pragma once
// Spacing of an axis' labels and grid lines so that labels never crowd (plain C++).

namespace uroflow {

struct AxisSpacing {
    double labelInterval = 0;  // between labels (Qt: the tick interval)
    int minorLines = 0;        // grid lines between two labels (Qt: the minor tick count)
};

struct AxisLayout {
    double span = 0;         // the range shown now
    double increment = 0;    // smallest step between labels, the axis' grid step
    int incrementMinor = 0;  // grid lines inside one increment (the axis' own minor ticks)
    double fixedSpan = 0;    // a fixed range's length from the tick anchor; 0 if automatic
    double pixels = 0;       // the axis' length on screen
    double labelPixels = 0;  // room one label needs along the axis
};

// The label interval is the first of increment x 1, 2, 5, 10, 20, 50... that leaves every
// label its room. On a fixed range only intervals that divide it are taken, so both its
// ends stay labelled ("500", "50"). Between thinned labels a grid line stays at every
// increment, as long as those lines are a few pixels apart; unthinned labels keep the axis'
// own minor steps.
AxisSpacing axisSpacing(const AxisLayout& layout);

// Range of an axis whose fixed range min..max is drawn from `start` to `end` of its length
// (shares, 0.02 and 0.98 for 2 % to 98 %).
struct ValueRange {
    double min = 0;
    double max = 0;
};
ValueRange rangeDrawnWithin(double min, double max, double start, double end);

}  // namespace uroflow
