// Zooming, panning and the reset to the initial axes, by calls and by the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>
#include <QWidget>
#include <cmath>
#include <memory>

#include "charts/AxisLabels.h"
#include "charts/ChartSetup.h"
#include "charts/ChartView.h"

namespace uroflow {
namespace {

struct Ranges {
    double xMin, xMax, yMin, yMax;
    bool operator==(const Ranges&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Ranges& r) {
    return os << "x " << r.xMin << ".." << r.xMax << ", y " << r.yMin << ".." << r.yMax;
}

QValueAxis* axis(TChartView* view, Qt::Orientation o) {
    return qobject_cast<QValueAxis*>(view->chart()->axes(o).front());
}

Ranges ranges(TChartView* view) {
    QValueAxis* x = axis(view, Qt::Horizontal);
    QValueAxis* y = axis(view, Qt::Vertical);
    return {x->min(), x->max(), y->min(), y->max()};
}

class ChartZoomTest : public ::testing::Test {
  protected:
    ChartZoomTest() {
        window->resize(1000, 600);
        window->show();  // lays the charts out, so zooming has a plot area to work on
        QApplication::processEvents();
    }

    std::vector<TChartView*> all() const {
        return {v.ChartGraf,     v.ChartVQ,       v.ChartNomWoman, v.ChartNomMan51,
                v.ChartNomMan49, v.ChartNomGirls, v.ChartNomBoy};
    }

    QRectF innerRect(TChartView* view) const {
        const QRectF plot = view->chart()->plotArea();
        return {plot.left() + plot.width() / 4, plot.top() + plot.height() / 4, plot.width() / 3,
                plot.height() / 3};
    }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    ChartViews v = createChartViews(window.get());
};

TEST_F(ChartZoomTest, ResetRestoresInitialAxesAfterZoomAndScroll) {
    QList<QPointF> flow;
    for (int k = 0; k < 400; ++k) flow.append({k / 8.0, 10.0});
    v.ChartGraf->fillSeries(flow);

    for (TChartView* view : all()) {
        SCOPED_TRACE(view->chart()->title().toStdString());
        const Ranges initial = ranges(view);
        ASSERT_FALSE(view->chart()->plotArea().isEmpty());

        view->chart()->zoomIn(innerRect(view));
        const Ranges zoomed = ranges(view);
        EXPECT_LT(zoomed.xMax - zoomed.xMin, initial.xMax - initial.xMin);
        EXPECT_LT(zoomed.yMax - zoomed.yMin, initial.yMax - initial.yMin);
        view->chart()->scroll(40, -25);
        EXPECT_NE(ranges(view), zoomed);
        view->resetZoom();
        EXPECT_EQ(ranges(view), initial);

        // Panning alone, without any zoom before it.
        view->chart()->scroll(-60, 30);
        EXPECT_NE(ranges(view), initial);
        view->resetZoom();
        EXPECT_EQ(ranges(view), initial);

        // Resetting an unzoomed view changes nothing.
        view->resetZoom();
        EXPECT_EQ(ranges(view), initial);
    }
}

TEST_F(ChartZoomTest, NewDataOnAZoomedTimeChartShowsItWhole) {
    const ValueRange flowRange = rangeDrawnWithin(0, 50, 0.02, 0.98);
    QList<QPointF> first{{0, 5}, {30, 40}};
    v.ChartGraf->fillSeries(first);
    v.ChartGraf->chart()->zoomIn(innerRect(v.ChartGraf));
    v.ChartGraf->chart()->scroll(10, 10);

    QList<QPointF> second{{0, 5}, {12.5, 20}, {80, 1}};
    v.ChartGraf->fillSeries(second);
    EXPECT_EQ(ranges(v.ChartGraf), (Ranges{0, 80, flowRange.min, flowRange.max}));

    // Its reset goes to the new data's range, not to the one before the zoom.
    v.ChartGraf->chart()->zoomIn(innerRect(v.ChartGraf));
    v.ChartGraf->resetZoom();
    EXPECT_EQ(ranges(v.ChartGraf), (Ranges{0, 80, flowRange.min, flowRange.max}));
}

TEST_F(ChartZoomTest, LeftDragZoomsRightDragPans) {
    TChartView* view = v.ChartNomMan49;
    QWidget* port = view->viewport();
    const Ranges initial = ranges(view);
    const QRectF plot = view->chart()->plotArea();
    const QPoint centre = plot.center().toPoint();

    // A right click alone must not zoom out.
    QTest::mousePress(port, Qt::RightButton, {}, centre);
    QTest::mouseRelease(port, Qt::RightButton, {}, centre);
    EXPECT_EQ(ranges(view), initial);

    // Right drag: the content follows the pointer, the scale stays.
    QTest::mousePress(port, Qt::RightButton, {}, centre);
    QTest::mouseMove(port, centre + QPoint(100, -50));
    QTest::mouseRelease(port, Qt::RightButton, {}, centre + QPoint(100, -50));
    const Ranges panned = ranges(view);
    EXPECT_LT(panned.xMin, initial.xMin);
    EXPECT_LT(panned.yMin, initial.yMin);
    EXPECT_NEAR(panned.xMax - panned.xMin, 500, 1e-6);
    EXPECT_NEAR(panned.yMax - panned.yMin, 50, 1e-6);
    // 100 px of a 500 ml axis drawn over plot.width() px.
    EXPECT_NEAR(initial.xMin - panned.xMin, 100 * 500 / plot.width(), 1.0);
    view->resetZoom();
    EXPECT_EQ(ranges(view), initial);

    // Left drag: a rubber band zooms into the rectangle.
    const QPoint from = centre - QPoint(120, 80);
    const QPoint to = centre + QPoint(60, 40);
    QTest::mousePress(port, Qt::LeftButton, {}, from);
    QTest::mouseMove(port, to);
    QTest::mouseRelease(port, Qt::LeftButton, {}, to);
    const Ranges zoomed = ranges(view);
    EXPECT_NEAR(zoomed.xMax - zoomed.xMin, 180 * 500 / plot.width(), 2.0);
    EXPECT_GT(zoomed.xMin, initial.xMin);
    view->resetZoom();
    EXPECT_EQ(ranges(view), initial);
}

// An axis' increment is the smallest step between labels: crowded labels move
// further apart, and come back to the increment when zoomed in.
TEST_F(ChartZoomTest, LabelsKeepApartAtEveryZoom) {
    auto labelCount = [](QValueAxis* a) { return (a->max() - a->min()) / a->tickInterval() + 1; };

    // Fifty-one flow labels do not fit the height of the flow/time chart.
    QValueAxis* flow = axis(v.ChartGraf, Qt::Vertical);
    const double height = v.ChartGraf->chart()->plotArea().height();
    EXPECT_GT(flow->tickInterval(), 1);
    EXPECT_LE(labelCount(flow) * 12, height);

    // Four thousand seconds on about 800 pixels.
    QList<QPointF> longest;
    for (int k = 0; k < 32768; ++k) longest.append({k / 8.0, 20.0});
    v.ChartGraf->fillSeries(longest);
    QValueAxis* time = axis(v.ChartGraf, Qt::Horizontal);
    EXPECT_GE(time->tickInterval(), 10);
    EXPECT_LE(labelCount(time) * 20, v.ChartGraf->chart()->plotArea().width());
    EXPECT_EQ(time->tickInterval(), std::round(time->tickInterval())) << "whole seconds";

    // Zoomed into a strip a few labels wide, every increment is labelled again.
    for (TChartView* view : all()) {
        SCOPED_TRACE(view->chart()->title().toStdString());
        QValueAxis* x = axis(view, Qt::Horizontal);
        QValueAxis* y = axis(view, Qt::Vertical);
        const double xInterval = x->tickInterval();
        const double yInterval = y->tickInterval();
        const QRectF plot = view->chart()->plotArea();
        view->chart()->zoomIn(QRectF(plot.left(), plot.top(), 20, 20));
        EXPECT_LE(x->tickInterval(), xInterval);
        EXPECT_LE(y->tickInterval(), yInterval);
        EXPECT_GT((x->max() - x->min()) / x->tickInterval(), 0.5);
        view->resetZoom();
        EXPECT_EQ(x->tickInterval(), xInterval);
        EXPECT_EQ(y->tickInterval(), yInterval);
    }
    QValueAxis* volume = axis(v.ChartNomBoy, Qt::Horizontal);
    v.ChartNomBoy->chart()->zoomIn(
        QRectF(v.ChartNomBoy->chart()->plotArea().topLeft(), QSizeF(80, 80)));
    EXPECT_EQ(volume->tickInterval(), 10);
}

// How many axis labels Qt Charts had to cut short for want of room ("..."), as drawn now.
int cutLabels(TChartView* view) {
    QApplication::processEvents();  // the chart lays its axes out on a posted event
    int cut = 0;
    for (QGraphicsItem* item : view->scene()->items()) {
        const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible()) continue;
        const QString shown = text->toPlainText();
        if (shown.contains(QStringLiteral("...")) || shown.contains(QChar(0x2026))) {
            ++cut;
        }
    }
    return cut;
}

// Zoomed to any height or width, the labels are thinned before they would be cut (the
// flow labels of ChartGraf all read "..." at a zoom to four fifths of its height).
TEST_F(ChartZoomTest, ZoomedLabelsAreNeverCutShort) {
    QList<QPointF> flow;
    for (int k = 0; k < 400; ++k) flow.append({k / 8.0, 10.0 + k % 20});
    v.ChartGraf->fillSeries(flow);
    // The uroflowgrams and the two nomogram flow increments (2 and 5 ml/s).
    for (TChartView* view : {v.ChartGraf, v.ChartVQ, v.ChartNomWoman, v.ChartNomGirls}) {
        SCOPED_TRACE(view->chart()->title().toStdString());
        EXPECT_EQ(cutLabels(view), 0);
        // Taller and wider strips: each axis in turn at many spans.
        for (const double share : {0.9, 0.8, 0.6, 0.4, 0.2}) {
            for (const bool tall : {true, false}) {
                const QRectF plot = view->chart()->plotArea();
                view->chart()->zoomIn(QRectF(plot.left(), plot.top(),
                                             plot.width() * (tall ? 0.5 : share),
                                             plot.height() * (tall ? share : 0.5)));
                EXPECT_EQ(cutLabels(view), 0) << (tall ? "height " : "width ") << share;
                view->resetZoom();
            }
        }
    }
}

}  // namespace
}  // namespace uroflow
