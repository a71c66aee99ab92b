// Label and grid spacing of the chart axes.

#include "charts/AxisLabels.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace uroflow {
namespace {

// Grid lines closer than this blur into a grey area: then only the labels get lines.
constexpr double kMinGridPixels = 4;

bool divides(double interval, double span) {
    const double steps = span / interval;
    return std::abs(steps - std::round(steps)) < 1e-9 * std::max(1.0, steps);
}

double labelInterval(const AxisLayout& a) {
    const double maxLabels = a.labelPixels > 0 ? a.pixels / a.labelPixels : 0;
    if (!(a.span > 0) || !(maxLabels > 0) || !(a.increment > 0)) return a.increment;
    const double maxSteps = std::max(maxLabels - 1, 1.0);
    std::optional<double> firstFitting;
    for (double scale = 1;; scale *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double interval = a.increment * scale * factor;
            if (a.span / interval > maxSteps) continue;
            if (!(a.fixedSpan > 0) || divides(interval, a.fixedSpan)) return interval;
            // A range that no such interval divides still gets labels that fit.
            if (!firstFitting) firstFitting = interval;
            if (interval >= a.fixedSpan) return *firstFitting;
        }
    }
}

}  // namespace

AxisSpacing axisSpacing(const AxisLayout& layout) {
    AxisSpacing spacing;
    spacing.labelInterval = labelInterval(layout);
    spacing.minorLines = layout.incrementMinor;
    if (!(layout.increment > 0) || !(layout.span > 0)) return spacing;
    const auto increments = static_cast<int>(std::lround(spacing.labelInterval / layout.increment));
    // Thinned labels: a grid line at every increment between them (the axis' own minor
    // steps inside an increment are left out then, or the grid would crowd the plot).
    const double gridPixels = layout.increment * layout.pixels / layout.span;
    if (increments > 1 && gridPixels >= kMinGridPixels) spacing.minorLines = increments - 1;
    return spacing;
}

ValueRange rangeDrawnWithin(double min, double max, double start, double end) {
    const double length = (max - min) / (end - start);
    const double from = min - start * length;
    return {from, from + length};
}

}  // namespace uroflow
