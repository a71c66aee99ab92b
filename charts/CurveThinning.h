#pragma once
// The points of a long line, or of many markers, that a plot of a few hundred pixels can
// show (plain C++).

#include <cstddef>
#include <span>
#include <vector>

#include "study/Decoder.h"

namespace uroflow {

// The points of the line through `curve` (x ascending) that draw the same picture on
// `columns` pixel columns spanning xMin..xMax: per column its first, lowest, highest and
// last point, in curve order, and the nearest point outside the range on either side, so
// the line runs on to the plot's edges. A column with four points or fewer keeps them all,
// so a short curve or a deep zoom shows every point. Without columns or range: the curve.
std::vector<CurvePoint> thinForColumns(std::span<const CurvePoint> curve, double xMin, double xMax,
                                       int columns);

// The points of a scatter whose markers draw the same picture on a plot of `width` x
// `height` pixels showing xMin..xMax and yMin..yMax: those whose marker reaches into the
// plot (centres up to `reach` pixels outside it), one for each pixel, the first there in
// curve order. Without pixels or ranges: all points.
struct PlotWindow {
    double xMin = 0;
    double xMax = 0;
    double yMin = 0;
    double yMax = 0;
    int width = 0;
    int height = 0;
};
std::vector<CurvePoint> thinForPixels(std::span<const CurvePoint> points, const PlotWindow& plot,
                                      double reach);

// Index of the point whose x is nearest to `x` in a non-empty curve with x ascending; the
// later one of two equally near.
std::size_t nearestPoint(std::span<const CurvePoint> curve, double x);

}  // namespace uroflow
