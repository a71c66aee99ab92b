// Thinning of a line to the plot's pixel columns, and the nearest point to a pointer.

#include "charts/CurveThinning.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

namespace uroflow {
namespace {

bool beforeX(const CurvePoint& p, double x) {
    return p.x < x;
}

}  // namespace

std::vector<CurvePoint> thinForColumns(std::span<const CurvePoint> curve, double xMin, double xMax,
                                       int columns) {
    if (columns <= 0 || !(xMax > xMin)) return {curve.begin(), curve.end()};
    const auto first = std::lower_bound(curve.begin(), curve.end(), xMin, beforeX);
    const auto end = std::upper_bound(curve.begin(), curve.end(), xMax,
                                      [](double x, const CurvePoint& p) { return x < p.x; });
    std::vector<CurvePoint> shown;
    shown.reserve(std::min<std::size_t>(end - first, 4 * static_cast<std::size_t>(columns)) + 2);
    if (first != curve.begin()) shown.push_back(*(first - 1));

    const double perColumn = columns / (xMax - xMin);
    auto columnOf = [&](const CurvePoint& p) {
        return std::min(columns - 1, static_cast<int>(std::floor((p.x - xMin) * perColumn)));
    };
    for (auto from = first; from != end;) {
        const int column = columnOf(*from);
        auto lowest = from;
        auto highest = from;
        auto last = from;
        for (auto it = from + 1; it != end && columnOf(*it) == column; ++it) {
            if (it->y < lowest->y) lowest = it;
            if (it->y > highest->y) highest = it;
            last = it;
        }
        if (last - from < 4) {
            shown.insert(shown.end(), from, last + 1);
        } else {
            // The four in curve order, each once.
            std::array<decltype(from), 4> picks = {from, lowest, highest, last};
            std::sort(picks.begin(), picks.end());
            const auto unique = std::unique(picks.begin(), picks.end());
            for (auto pick = picks.begin(); pick != unique; ++pick) shown.push_back(**pick);
        }
        from = last + 1;
    }

    if (end != curve.end()) shown.push_back(*end);
    return shown;
}

std::vector<CurvePoint> thinForPixels(std::span<const CurvePoint> points, const PlotWindow& plot,
                                      double reach) {
    if (plot.width <= 0 || plot.height <= 0 || !(plot.xMax > plot.xMin) ||
        !(plot.yMax > plot.yMin)) {
        return {points.begin(), points.end()};
    }
    const double xPerPixel = (plot.xMax - plot.xMin) / plot.width;
    const double yPerPixel = (plot.yMax - plot.yMin) / plot.height;
    const auto cells = static_cast<long long>(std::ceil(2 * reach)) + plot.width + 1;
    std::unordered_set<long long> taken;
    std::vector<CurvePoint> shown;
    for (const CurvePoint& p : points) {
        const double px = (p.x - plot.xMin) / xPerPixel;
        const double py = (p.y - plot.yMin) / yPerPixel;
        if (px < -reach || px > plot.width + reach || py < -reach || py > plot.height + reach) {
            continue;
        }
        const auto column = static_cast<long long>(std::floor(px + reach));
        const auto row = static_cast<long long>(std::floor(py + reach));
        if (taken.insert(row * cells + column).second) shown.push_back(p);
    }
    return shown;
}

std::size_t nearestPoint(std::span<const CurvePoint> curve, double x) {
    const auto after = std::lower_bound(curve.begin(), curve.end(), x, beforeX);
    if (after == curve.end()) return curve.size() - 1;
    if (after != curve.begin() && x - (after - 1)->x < after->x - x) {
        return static_cast<std::size_t>(after - 1 - curve.begin());
    }
    return static_cast<std::size_t>(after - curve.begin());
}

}  // namespace uroflow
