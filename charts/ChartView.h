#pragma once
// One chart view of the window: rectangle zoom with the left mouse button, panning
// with the right button, and a reset to the view's initial axes.

#include <QChartView>
#include <QList>
#include <QPointF>

class QXYSeries;

namespace uroflow {

class TChartView : public QChartView {
    Q_OBJECT

public:
    TChartView(QChart* chart, QXYSeries* series, QWidget* parent);

    QXYSeries* series() const { return series_; }

    // Replaces the points of the view's series in one batch. An axis with an
    // automatic range is fitted to the points, and that becomes its initial range.
    void fillSeries(const QList<QPointF>& points);
    void clearSeries();

    // Undoes zooming and panning: every axis back to its initial range.
    void resetZoom();

    // Range an axis returns to on resetZoom(); set once by the chart set-up.
    void rememberInitialRanges();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QXYSeries* series_;
    // Implementation details (initial ranges, pan state) are private members
    // the charts code adds here.
};

}  // namespace uroflow
