#pragma once
// One chart view of the window: rectangle zoom with the left mouse button, panning
// with the right button, and a reset to the view's initial axes.

#include <QChartView>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

#include "study/Decoder.h"

class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QValueAxis;
class QXYSeries;

namespace uroflow {

class TChartView : public QChartView {
    Q_OBJECT

  public:
    TChartView(QChart* chart, QXYSeries* series, QWidget* parent);

    QXYSeries* series() const { return series_; }

    // The curve last given to fillSeries, whole; the series may hold fewer of its points.
    const std::vector<CurvePoint>& curve() const { return curve_; }
    // The points the series holds now.
    const std::vector<CurvePoint>& shownCurve() const {
        return thinning_ == Thinning::None ? curve_ : shown_;
    }

    // From now on the series gets no more points than the plot has pixel columns along
    // `axis` (x ascending; per column the first, lowest, highest and last point, so the
    // line looks the same), derived again whenever the axis range (zoom, pan, reset) or the
    // plot's size changes. A long study is then built and stroked in a few milliseconds.
    void thinLineAlong(QValueAxis* axis);
    // The same for a scatter of markers `markerSize` pixels wide on the axes x and y: only
    // the points whose marker shows in the plot, one for each pixel. Qt makes a graphics
    // item of every marker, so thousands of them cost tens of milliseconds.
    void thinMarkers(QValueAxis* x, QValueAxis* y, double markerSize);

    // Replaces the points of the view's series in one batch. An axis with an
    // automatic range is fitted to the points, and that becomes its initial range.
    void fillSeries(const QList<QPointF>& points);
    void clearSeries();

    // Adds points in one colour after those already there; while the pointer rests
    // on one of them its tool tip shows (no tip for an empty text). Not for a view whose
    // series is thinned: its points and their colours would part.
    void appendPoints(const QList<QPointF>& points, const QColor& colour, const QStringList& tips);
    // The tool tip of the series point nearest to `point` (value coordinates, judged
    // in pixels on the plot); empty when there is none.
    QString pointTip(const QPointF& point) const;

    // Undoes zooming and panning: every axis back to its initial range.
    void resetZoom();

    // Range an axis returns to on resetZoom(); set once by the chart set-up.
    void rememberInitialRanges();

    // The x axis whose range follows the data on fillSeries (null: all fixed).
    void setAutomaticAxis(QValueAxis* axis) { automaticAxis_ = axis; }
    QValueAxis* automaticAxis() const { return automaticAxis_; }

    // Smallest step between the labels of `axis`. When labels that close would crowd
    // the axis at its current range, the next round multiple (2, 5, 10, 20, ... times)
    // that leaves them room is used, one that divides the axis' fixed range (its range
    // now), so both its ends stay labelled; the grid keeps the increment. Zooming in comes
    // back to the increment.
    void setAxisIncrement(QValueAxis* axis, double increment);

    // Draws the axis' range over the part of the plot from `start` to `end` of its length
    // (0.02 and 0.98: from 2 % to 98 %); the axis reaches a little beyond the range at both
    // ends, so values at the range's ends stand clear of the plot's edges. Call once the
    // increment is set.
    void drawAxisWithin(QValueAxis* axis, double start, double end);
    double axisIncrement(const QValueAxis* axis) const;  // 0 for an axis without one

    // Text line in a dashed frame at the bottom left of the chart; hidden while empty.
    void setFootText(const QString& text);
    QString footText() const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void showPointTip(const QPointF& point, bool hovered);

    struct AxisRange {
        QPointer<QValueAxis> axis;
        double min = 0;
        double max = 0;
    };

    struct AxisIncrement {
        QValueAxis* axis;  // owned by the chart
        double increment;
        int incrementMinor;  // the axis' own minor ticks inside one increment
        double fixedSpan;    // length of the range labelled end to end (fixed axes)
    };

    void placeFoot();
    // Hands the series the points of the curve its plot can show (thinLineAlong, thinMarkers).
    void showCurve();
    // Sets the tick interval of `axis` for the range min..max. Called before a range
    // is applied, so a wide range never lays out thousands of labels first.
    void spaceLabels(QValueAxis* axis, double min, double max);
    void spaceLabelsForInitialRanges();

    QXYSeries* series_;
    QStringList tips_;  // one per point of the series, in its order
    std::vector<CurvePoint> curve_;
    std::vector<CurvePoint> shown_;
    enum class Thinning { None, LineColumns, MarkerPixels };
    Thinning thinning_ = Thinning::None;
    QValueAxis* thinX_ = nullptr;
    QValueAxis* thinY_ = nullptr;
    double markerReach_ = 0;  // pixels a marker reaches beyond its centre
    bool filling_ = false;    // fillSeries is changing the ranges: no thinning before the end
    QValueAxis* automaticAxis_ = nullptr;
    std::vector<AxisRange> initialRanges_;
    std::vector<AxisIncrement> increments_;
    bool panning_ = false;
    QPoint panFrom_;
    QGraphicsSimpleTextItem* foot_ = nullptr;  // owned by the chart
    QGraphicsRectItem* footFrame_ = nullptr;   // owned by the chart
    int baseBottomMargin_ = 0;                 // chart margin without the foot
};

}  // namespace uroflow
