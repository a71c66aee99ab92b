// Places the number labels of crowded chart points so that no two overlap.

#include "app/LabelPlacement.h"

#include <algorithm>
#include <cstddef>

namespace uroflow {

namespace {

// Rings of candidate places around a point, nearest first.
constexpr int kRings = 12;

// Places around `point` at distance `gap`: right, left, above, below, then the corners.
std::vector<QRectF> candidates(const QPointF& point, const QSizeF& size, double gap) {
    const double w = size.width();
    const double h = size.height();
    const double x = point.x();
    const double y = point.y();
    return {
        {x + gap, y - h / 2, w, h},       {x - gap - w, y - h / 2, w, h},
        {x - w / 2, y - gap - h, w, h},   {x - w / 2, y + gap, w, h},
        {x + gap, y - gap - h, w, h},     {x + gap, y + gap, w, h},
        {x - gap - w, y - gap - h, w, h}, {x - gap - w, y + gap, w, h},
    };
}

double overlap(const QRectF& a, const QRectF& b) {
    const QRectF common = a.intersected(b);
    return common.isValid() ? common.width() * common.height() : 0;
}

}  // namespace

std::vector<QRectF> placeLabels(const std::vector<QPointF>& points,
                                const std::vector<QSizeF>& sizes, double markHalf,
                                const QRectF& bounds) {
    std::vector<QRectF> marks;
    for (const QPointF& p : points)
        marks.emplace_back(p.x() - markHalf, p.y() - markHalf, 2 * markHalf, 2 * markHalf);

    // What a place costs: covering another label is worst, leaving the bounds next,
    // covering a point's mark least; the first free place wins.
    std::vector<QRectF> placed;
    for (std::size_t i = 0; i < points.size() && i < sizes.size(); ++i) {
        QRectF best;
        double bestCost = -1;
        for (int ring = 1; ring <= kRings && bestCost != 0; ++ring) {
            const double gap = markHalf * (1 + 1.5 * (ring - 1)) + 0.2 * sizes[i].height();
            for (const QRectF& place : candidates(points[i], sizes[i], gap)) {
                const double area = place.width() * place.height();
                double cost = 0;
                for (const QRectF& other : placed) cost += 1000 * overlap(place, other);
                if (!bounds.contains(place)) cost += 500 * (area - overlap(place, bounds));
                for (const QRectF& mark : marks) cost += overlap(place, mark);
                // Rounding leaves slivers where rectangles only touch.
                if (cost < 1e-6 * area) cost = 0;
                if (bestCost < 0 || cost < bestCost) {
                    best = place;
                    bestCost = cost;
                }
                if (cost == 0) break;
            }
        }
        placed.push_back(best);
    }
    return placed;
}

}  // namespace uroflow
