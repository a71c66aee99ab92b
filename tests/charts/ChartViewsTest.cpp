// Static configuration of the seven views and the filling of their series.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWidget>
#include <cmath>
#include <memory>

#include "charts/AxisLabels.h"
#include "charts/ChartSetup.h"
#include "charts/ChartView.h"
#include "charts/CurveThinning.h"
#include "charts/NomogramBackground.h"
#include "nomogram/NomogramCurves.h"

namespace uroflow {
namespace {

QValueAxis* axis(TChartView* view, Qt::Orientation orientation) {
    const auto axes = view->chart()->axes(orientation);
    return axes.size() == 1 ? qobject_cast<QValueAxis*>(axes.front()) : nullptr;
}

class ChartViewsTest : public ::testing::Test {
  protected:
    ChartViewsTest() {
        window->resize(965, 600);
        window->show();  // laid out as in the window, so labels are spaced for real sizes
        QApplication::processEvents();
    }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    ChartViews v = createChartViews(window.get());
};

const QString kNomTitle =
    "Компьютерная оценка суточных показателей максимальных скоростей потока мочи по "
    "номограммам у ";

TEST_F(ChartViewsTest, EveryViewHasItsPlaceTitleAxesAndFoot) {
    struct Expected {
        TChartView* view;
        QXYSeries* series;
        QRect place;
        QString title;
        double xMax, xInterval;
        QString xTitle;
        double yInterval;
        int yMinorTicks;
        QString yTitle;
        QString foot;
    };
    const QString vish = "По Вишневскому Е.Л. и соав. (2005)";
    const QString volume = "Обьем мочевого пузыря в мл";
    const QString flow = "Скорость потока мочи в мл/сек";
    const QRect nom(0, 41, 965, 518);
    const Expected table[] = {
        {v.ChartGraf,
         v.Series1,
         {136, 41, 828, 518},
         "Урофлоуграмма \"Скорость/время\"",
         1,
         1,
         "время, сек",
         1,
         0,
         "скорость потока, мл/сек",
         ""},
        {v.ChartVQ,
         v.PointSeries5,
         {136, 41, 828, 518},
         "Урофлоуграмма \"Скорость/обьем\"",
         500,
         20,
         "обьем выделенной мочи, мл",
         5,
         1,
         "скорость потока мочи, мл/сек",
         ""},
        {v.ChartNomWoman, v.PointSeries4, nom, kNomTitle + "женщин", 500, 10, volume, 2, 1, flow,
         "Ливерпульская (2005)"},
        {v.ChartNomMan51, v.PointSeries3, nom, kNomTitle + "мужчин сташе 50 лет", 500, 10, volume,
         2, 1, flow, vish},
        {v.ChartNomMan49, v.PointSeries2, nom, kNomTitle + "мужчин до 50 лет", 500, 10, volume, 2,
         1, flow, vish},
        {v.ChartNomGirls, v.PointSeries1, nom, kNomTitle + "девочек", 500, 10, volume, 5, 1, flow,
         vish},
        {v.ChartNomBoy, v.LineSeries1, nom, kNomTitle + "мальчиков", 500, 10, volume, 2, 1, flow,
         vish},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.title.toStdString());
        ASSERT_NE(e.view, nullptr);
        ASSERT_NE(e.series, nullptr);
        QChart* chart = e.view->chart();
        EXPECT_EQ(e.view->parentWidget(), window.get());
        EXPECT_EQ(e.view->geometry(), e.place);
        EXPECT_EQ(e.view->series(), e.series);
        EXPECT_EQ(chart->title(), e.title);
        EXPECT_EQ(chart->titleFont().pointSize(), 10);
        EXPECT_FALSE(chart->legend()->isVisible());
        EXPECT_EQ(chart->backgroundBrush().color(), QColor(Qt::white));
        EXPECT_FALSE(chart->isDropShadowEnabled());
        EXPECT_TRUE(e.view->renderHints().testFlag(QPainter::Antialiasing));
        EXPECT_EQ(e.view->rubberBand(), QChartView::RectangleRubberBand);
        EXPECT_EQ(chart->series().back(), e.series) << "points draw over everything else";
        EXPECT_EQ(e.view->footText(), e.foot);

        QValueAxis* x = axis(e.view, Qt::Horizontal);
        QValueAxis* y = axis(e.view, Qt::Vertical);
        ASSERT_TRUE(x && y);
        EXPECT_EQ(x->alignment(), Qt::AlignBottom);
        EXPECT_EQ(y->alignment(), Qt::AlignLeft);
        EXPECT_EQ(x->min(), 0);
        EXPECT_EQ(x->max(), e.xMax);
        EXPECT_EQ(x->tickType(), QValueAxis::TicksDynamic);
        EXPECT_EQ(x->tickAnchor(), 0);
        EXPECT_EQ(e.view->axisIncrement(x), e.xInterval);
        EXPECT_EQ(std::fmod(x->tickInterval(), e.xInterval), 0) << x->tickInterval();
        EXPECT_EQ(x->titleText(), e.xTitle);
        // The uroflowgrams draw their flow range 0..50 from 2 % to 98 % of the height.
        const bool uroflowgram = e.view == v.ChartGraf || e.view == v.ChartVQ;
        const ValueRange flowRange =
            uroflowgram ? rangeDrawnWithin(0, 50, 0.02, 0.98) : ValueRange{0, 50};
        EXPECT_EQ(y->min(), flowRange.min);
        EXPECT_EQ(y->max(), flowRange.max);
        EXPECT_EQ(y->tickType(), QValueAxis::TicksDynamic);
        EXPECT_EQ(e.view->axisIncrement(y), e.yInterval);
        EXPECT_EQ(std::fmod(y->tickInterval(), e.yInterval), 0) << y->tickInterval();
        // Labels at the increment keep the axis' own minor ticks; thinned ones a grid line
        // at every increment.
        if (y->tickInterval() == e.yInterval) {
            EXPECT_EQ(y->minorTickCount(), e.yMinorTicks);
        } else {
            EXPECT_EQ(y->tickInterval() / (y->minorTickCount() + 1), e.yInterval);
        }
        EXPECT_EQ(y->titleText(), e.yTitle);
        EXPECT_EQ(y->titleFont().pointSize(), 10);
        for (QAbstractSeries* s : chart->series()) EXPECT_EQ(s->attachedAxes().size(), 2);
    }
}

TEST_F(ChartViewsTest, SeriesKindsAndColours) {
    EXPECT_EQ(v.Series1->type(), QAbstractSeries::SeriesTypeLine);
    EXPECT_EQ(v.Series1->color(), QColor(255, 0, 0));
    EXPECT_EQ(v.PointSeries5->markerShape(), QScatterSeries::MarkerShapeCircle);
    EXPECT_EQ(v.PointSeries5->color(), QColor(0, 0, 255));
    EXPECT_FALSE(v.PointSeries5->pointLabelsVisible());
    for (QScatterSeries* s :
         {v.PointSeries4, v.PointSeries3, v.PointSeries2, v.PointSeries1, v.LineSeries1}) {
        EXPECT_EQ(s->markerShape(), QScatterSeries::MarkerShapeRectangle);
        EXPECT_EQ(s->color(), QColor(255, 0, 0));
        EXPECT_FALSE(s->pointLabelsVisible());
    }
    EXPECT_EQ(axis(v.ChartGraf, Qt::Horizontal)->labelFormat(), "%02d");
    EXPECT_EQ(v.ChartGraf->automaticAxis(), axis(v.ChartGraf, Qt::Horizontal));
    EXPECT_EQ(v.ChartVQ->automaticAxis(), nullptr);
}

TEST_F(ChartViewsTest, NomogramBandsFollowTheCurveTable) {
    const std::pair<TChartView*, NomogramKind> noms[] = {
        {v.ChartNomWoman, NomogramKind::Woman}, {v.ChartNomMan51, NomogramKind::Man51},
        {v.ChartNomMan49, NomogramKind::Man49}, {v.ChartNomGirls, NomogramKind::Girls},
        {v.ChartNomBoy, NomogramKind::Boy},
    };
    for (const auto& [view, kind] : noms) {
        const auto series = view->chart()->series();
        ASSERT_EQ(series.size(), 3);
        auto* upper = qobject_cast<QAreaSeries*>(series[0]);
        auto* lower = qobject_cast<QAreaSeries*>(series[1]);
        ASSERT_TRUE(upper && lower);
        EXPECT_EQ(upper->brush().color(), kUpperBandColor);
        EXPECT_EQ(lower->brush().color(), kLowerBandColor);
        EXPECT_EQ(upper->pen().color(), kBandOutlineColor);
        EXPECT_EQ(upper->upperSeries()->parent(), upper);
        EXPECT_EQ(lower->lowerSeries()->parent(), lower);
        for (QAbstractSeries* band : {series[0], series[1]}) {
            for (QLegendMarker* m : view->chart()->legend()->markers(band)) {
                EXPECT_FALSE(m->isVisible());
            }
        }

        const NomogramTable& table = nomogramTable(kind);
        const auto u = upper->upperSeries()->points();
        const auto m = upper->lowerSeries()->points();
        const auto l = lower->lowerSeries()->points();
        ASSERT_FALSE(u.isEmpty());
        EXPECT_EQ(u.front().x(), table.startVolume);
        EXPECT_EQ(u.back().x(), table.endVolume);
        EXPECT_EQ(lower->upperSeries()->points(), m);
        // Rows are every 25 ml; the lines every 1 ml from the start volume.
        for (const CurveRow& row : table.rows) {
            const auto i = static_cast<qsizetype>(row.volume - table.startVolume);
            ASSERT_LT(i, u.size());
            EXPECT_EQ(u[i].x(), row.volume);
            if (row.upper) {
                EXPECT_NEAR(u[i].y(), *row.upper, 1e-9);
            } else {
                EXPECT_GT(u[i].y(), 50.0);
            }
            EXPECT_NEAR(m[i].y(), row.middle, 1e-9);
            EXPECT_NEAR(l[i].y(), row.lower, 1e-9);
        }
    }
}

TEST_F(ChartViewsTest, GirlsNomogramKeepsRoomAtTheBottom) {
    EXPECT_GT(v.ChartNomGirls->chart()->margins().bottom(),
              v.ChartNomBoy->chart()->margins().bottom() + 20);
}

TEST_F(ChartViewsTest, FillingTheTimeChartFitsItsTimeAxis) {
    QValueAxis* time = axis(v.ChartGraf, Qt::Horizontal);

    QList<QPointF> longest;
    for (int k = 0; k < 32768; ++k) longest.append({(k + 1) / 8.0, 20.0});
    v.ChartGraf->fillSeries(longest);
    EXPECT_EQ(v.ChartGraf->curve().size(), 32768u);
    // The series gets only what the plot's pixel columns can show.
    EXPECT_LE(v.Series1->count(), 4 * std::ceil(v.ChartGraf->chart()->plotArea().width()) + 2);
    EXPECT_EQ(time->min(), 1 / 8.0);
    EXPECT_EQ(time->max(), 32768 / 8.0);

    QList<QPointF> shortStudy;
    for (int k = 0; k < 160; ++k) shortStudy.append({k / 8.0, k % 50 * 1.0});
    v.ChartGraf->fillSeries(shortStudy);
    EXPECT_EQ(v.Series1->count(), 160);
    EXPECT_EQ(time->min(), 0);
    EXPECT_EQ(time->max(), 159 / 8.0);

    v.ChartGraf->fillSeries({});
    EXPECT_EQ(time->min(), 0);
    EXPECT_EQ(time->max(), 1);

    v.ChartGraf->fillSeries({{2.5, 10}});
    EXPECT_EQ(time->min(), 2.5);
    EXPECT_EQ(time->max(), 3.5);

    v.ChartGraf->fillSeries(shortStudy);
    v.ChartGraf->clearSeries();
    EXPECT_EQ(v.Series1->count(), 0);
    EXPECT_EQ(time->min(), 0);
    EXPECT_EQ(time->max(), 1);
}

TEST_F(ChartViewsTest, FillingAFixedChartLeavesItsAxes) {
    v.ChartNomBoy->fillSeries({{700, 60}, {100, 10}});
    EXPECT_EQ(v.LineSeries1->count(), 2);
    EXPECT_EQ(axis(v.ChartNomBoy, Qt::Horizontal)->max(), 500);
    EXPECT_EQ(axis(v.ChartNomBoy, Qt::Vertical)->max(), 50);
    v.LineSeries1->setPointConfiguration(0, QXYSeries::PointConfiguration::Color,
                                         QColor(255, 255, 0));
    v.ChartNomBoy->clearSeries();
    EXPECT_EQ(v.LineSeries1->count(), 0);
    EXPECT_TRUE(v.LineSeries1->pointsConfiguration().isEmpty());
}

TEST_F(ChartViewsTest, FootTextCanChange) {
    const int bottom = v.ChartVQ->chart()->margins().bottom();
    v.ChartVQ->setFootText("Qmax 21,5");
    EXPECT_EQ(v.ChartVQ->footText(), "Qmax 21,5");
    EXPECT_GT(v.ChartVQ->chart()->margins().bottom(), bottom) << "room is made for the foot";
    v.ChartVQ->setFootText("");
    EXPECT_EQ(v.ChartVQ->chart()->margins().bottom(), bottom);
}

TEST_F(ChartViewsTest, HoverMarksTheNearestPointOfTheFlowCurve) {
    v.ChartGraf->fillSeries({{0, 1}, {0.125, 2}, {0.25, 3}, {0.375, 4}});
    const std::pair<double, int> cases[] = {{-5, 0}, {0.05, 0}, {0.07, 1}, {0.3, 2}, {9, 3}};
    for (const auto& [x, index] : cases) {
        emit v.Series1->hovered(QPointF(x, 2), true);
        EXPECT_EQ(v.Series1->selectedPoints(), QList<int>{index}) << x;
    }
    emit v.Series1->hovered(QPointF(0.3, 2), false);
    EXPECT_TRUE(v.Series1->selectedPoints().isEmpty());

    // New data never shows a mark left from the old.
    emit v.Series1->hovered(QPointF(0.3, 2), true);
    v.ChartGraf->fillSeries({{0, 1}, {1, 1}, {2, 1}});
    EXPECT_TRUE(v.Series1->selectedPoints().isEmpty());
    v.ChartGraf->clearSeries();
    emit v.Series1->hovered(QPointF(0.3, 2), true);
    EXPECT_TRUE(v.Series1->selectedPoints().isEmpty());
}

TEST_F(ChartViewsTest, LongCurveIsThinnedToThePlotAndDerivedAgainOnZoom) {
    // A bell of 32,768 samples with a one-sample spike: the spike must stay drawn.
    QList<QPointF> longest;
    for (int k = 0; k < 32768; ++k) {
        const double u = (k - 16384) / 4000.0;
        longest.append({k / 8.0, k == 20001 ? 49.0 : 20 * std::exp(-u * u)});
    }
    v.ChartGraf->fillSeries(longest);
    const auto count = [this] { return v.Series1->count(); };
    const qsizetype whole = count();
    EXPECT_LT(whole, 4000);
    auto drawnMax = [this] {
        double max = 0;
        for (const QPointF& p : v.Series1->points()) max = std::max(max, p.y());
        return max;
    };
    EXPECT_EQ(drawnMax(), 49.0);

    // Zoomed to a few seconds, every sample is drawn again; reset thins again.
    QValueAxis* time = axis(v.ChartGraf, Qt::Horizontal);
    time->setRange(2500, 2510);
    EXPECT_EQ(v.Series1->points().front().x(), 2500 - 1 / 8.0) << "runs on from the edge";
    EXPECT_EQ(count(), 10 * 8 + 1 + 2);
    v.ChartGraf->resetZoom();
    EXPECT_EQ(count(), whole);

    // The read-out names the recorded sample, not the nearest drawn one.
    emit v.Series1->hovered(QPointF(20001 / 8.0 + 0.01, 10), true);
    ASSERT_EQ(v.Series1->selectedPoints().size(), 1);
    const QPointF marked = v.Series1->at(v.Series1->selectedPoints().front());
    EXPECT_NEAR(marked.x(), 20001 / 8.0, 1.0);
    const CurvePoint& recorded =
        v.ChartGraf->curve()[nearestPoint(v.ChartGraf->curve(), 20001 / 8.0 + 0.01)];
    EXPECT_EQ(recorded.y, 49.0);
}

TEST_F(ChartViewsTest, ManyMarkersAreThinnedToThoseThatShow) {
    // The flow/volume points of the longest study: only the first few hundred millilitres
    // lie on the 0..500 ml axis.
    QList<QPointF> points;
    for (int i = 0; i < 4660; ++i) points.append({i * 1.4, 10 + 5 * std::sin(i * 0.05)});
    v.ChartVQ->fillSeries(points);
    EXPECT_EQ(v.ChartVQ->curve().size(), 4660u);
    const qsizetype whole = v.PointSeries5->count();
    EXPECT_LT(whole, 400);
    EXPECT_GT(whole, 300);
    for (const QPointF& p : v.PointSeries5->points()) EXPECT_LT(p.x(), 510);

    // Zoomed in, neighbours part and more of them are drawn; the reset thins again.
    QChart* chart = v.ChartVQ->chart();
    const QRectF plot = chart->plotArea();
    chart->zoomIn(QRectF(plot.left(), plot.center().y(), plot.width() / 4, plot.height() / 2));
    EXPECT_GT(v.PointSeries5->count(), 0);
    EXPECT_LT(v.PointSeries5->count(), whole);
    v.ChartVQ->resetZoom();
    EXPECT_EQ(v.PointSeries5->count(), whole);
}

}  // namespace
}  // namespace uroflow
