// How the views look in the window: white to their edges, the flow axes inside the plot,
// the ends of fixed ranges labelled and the grid at every increment.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QImage>
#include <QValueAxis>
#include <QWidget>
#include <QXYSeries>
#include <cmath>
#include <memory>
#include <vector>

#include "charts/ChartSetup.h"
#include "charts/ChartView.h"

namespace uroflow {
namespace {

QValueAxis* axis(TChartView* view, Qt::Orientation o) {
    return qobject_cast<QValueAxis*>(view->chart()->axes(o).front());
}

class ChartLookTest : public ::testing::Test {
  protected:
    ChartLookTest() {
        window->resize(965, 600);
        window->show();
        QApplication::processEvents();
    }

    std::vector<TChartView*> all() const {
        return {v.ChartGraf,     v.ChartVQ,       v.ChartNomWoman, v.ChartNomMan51,
                v.ChartNomMan49, v.ChartNomGirls, v.ChartNomBoy};
    }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    ChartViews v = createChartViews(window.get());
};

TEST_F(ChartLookTest, ViewsAreWhiteToTheirEdges) {
    // The band that was a grey frame and bevel; the foot's frame begins further in.
    constexpr int kBand = 3;
    for (TChartView* view : all()) {
        SCOPED_TRACE(view->chart()->title().toStdString());
        view->raise();
        const QImage image = view->grab().toImage();
        int grey = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool edge = x < kBand || y < kBand || x >= image.width() - kBand ||
                                  y >= image.height() - kBand;
                if (edge && image.pixelColor(x, y) != QColor(Qt::white)) ++grey;
            }
        }
        EXPECT_EQ(grey, 0);
    }
}

TEST_F(ChartLookTest, UroflowgramFlowAxesSpan2To98PercentOfThePlot) {
    for (TChartView* view : {v.ChartGraf, v.ChartVQ}) {
        SCOPED_TRACE(view->chart()->title().toStdString());
        QChart* chart = view->chart();
        const QRectF plot = chart->plotArea();
        auto share = [&](double flow) {
            const QPointF at = chart->mapToPosition(QPointF(0, flow), view->series());
            return (plot.bottom() - at.y()) / plot.height();
        };
        EXPECT_NEAR(share(0), 0.02, 1e-6);
        EXPECT_NEAR(share(50), 0.98, 1e-6);
    }
}

TEST_F(ChartLookTest, ThinnedLabelsKeepTheEndsAndTheGridTheIncrement) {
    // At the window's size the volume axis of ChartVQ cannot label every 20 ml; "500" was
    // missing when the labels went every 40.
    ASSERT_GT(axis(v.ChartVQ, Qt::Horizontal)->tickInterval(), 20);
    for (TChartView* view : all()) {
        SCOPED_TRACE(view->chart()->title().toStdString());
        for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
            QValueAxis* a = axis(view, o);
            const double increment = view->axisIncrement(a);
            const double fixedEnd = o == Qt::Horizontal ? 500 : 50;
            if (view == v.ChartGraf && o == Qt::Horizontal) continue;  // follows the data
            EXPECT_EQ(std::fmod(fixedEnd, a->tickInterval()), 0) << a->tickInterval();
            if (a->tickInterval() > increment) {
                EXPECT_EQ(a->tickInterval() / (a->minorTickCount() + 1), increment);
            }
        }
    }
}

}  // namespace
}  // namespace uroflow
