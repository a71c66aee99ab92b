// Labels of crowded points: none covers another, each stays beside its point.

#include <gtest/gtest.h>

#include <QLineF>

#include "app/LabelPlacement.h"

namespace uroflow {
namespace {

TEST(LabelPlacement, CrowdedPointsGetLabelsThatDoNotOverlap) {
    const QRectF bounds(0, 0, 100, 60);
    const QSizeF size(3, 2);
    // Five points on one spot, three close beside it, one alone.
    std::vector<QPointF> points(5, QPointF(50, 30));
    for (const QPointF& p :
         {QPointF(51, 30.5), QPointF(49.5, 31), QPointF(50, 29), QPointF(90, 10)})
        points.push_back(p);
    const std::vector<QRectF> labels =
        placeLabels(points, std::vector<QSizeF>(points.size(), size), 0.8, bounds);
    ASSERT_EQ(labels.size(), points.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(bounds.contains(labels[i])) << i;
        EXPECT_LT(QLineF(points[i], labels[i].center()).length(), 15) << i;
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            const QRectF common = labels[i].intersected(labels[j]);
            EXPECT_FALSE(common.width() > 1e-9 && common.height() > 1e-9) << i << " and " << j;
        }
    }
    // A point with room keeps its label right beside it, to the right.
    EXPECT_LT(labels.back().left() - points.back().x(), 1.5);
    EXPECT_GT(labels.back().left(), points.back().x());
}

TEST(LabelPlacement, APointAtTheEdgeKeepsItsLabelInside) {
    const QRectF bounds(0, 0, 100, 60);
    const std::vector<QRectF> labels = placeLabels({QPointF(100, 0)}, {QSizeF(4, 2)}, 0.8, bounds);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_TRUE(bounds.contains(labels[0]));
}

}  // namespace
}  // namespace uroflow
