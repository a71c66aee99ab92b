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
    EXPECT_EQ(v.Series1->count(), 32768);
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

}  // namespace
}  // namespace uroflow
