#pragma once
// Places the number labels of crowded chart points so that no two overlap.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

namespace uroflow {

// One rectangle per point, beside it: the nearest free place around the point that
// overlaps no label placed before it, no point's mark (a square of `markHalf` around each
// point) and stays inside `bounds` where room is left; farther rings are tried before a
// label may cover another. Points are served in the order given.
std::vector<QRectF> placeLabels(const std::vector<QPointF>& points,
                                const std::vector<QSizeF>& sizes, double markHalf,
                                const QRectF& bounds);

}  // namespace uroflow
