#include "charts/ChartView.h"

#include <QAbstractAxis>
#include <QBrush>
#include <QChart>
#include <QCursor>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QMargins>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>

#include "charts/AxisLabels.h"
#include "charts/CurveThinning.h"

namespace uroflow {
namespace {

constexpr double kFootPadding = 3;  // text to dashed frame
constexpr double kFootGap = 4;      // frame to the chart's bottom edge

// What Qt Charts adds around each axis label: 4 px of padding on both sides, a text margin
// of 0.5 px on both sides, and a pixel for rounding. It cuts a label down to "..." when its
// share of the axis (the axis' length over the number of labels) is less than that.
constexpr double kLabelRoom = 2 * 4 + 2 * 0.5 + 1;

// Room the chart leaves around its plot before it is laid out for the first time.
constexpr int kUnlaidWidth = 110;
constexpr int kUnlaidHeight = 130;

}  // namespace

TChartView::TChartView(QChart* chart, QXYSeries* series, QWidget* parent)
    : QChartView(chart, parent), series_(series) {
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    // White to the edges: no bevel around the chart and nothing grey behind it.
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(Qt::white);
    connect(series_, &QXYSeries::hovered, this, &TChartView::showPointTip);
}

void TChartView::fillSeries(const QList<QPointF>& points) {
    curve_.clear();
    curve_.reserve(static_cast<std::size_t>(points.size()));
    for (const QPointF& p : points) curve_.push_back({p.x(), p.y()});
    filling_ = true;
    if (automaticAxis_) {
        // New data is shown whole: leave any zoom first, since a zoomed chart
        // would later restore its pre-zoom ranges over the fitted one.
        resetZoom();
        double min = 0;
        double max = 1;
        if (!points.isEmpty()) {
            const auto [lo, hi] = std::minmax_element(
                points.begin(), points.end(),
                [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
            min = lo->x();
            max = hi->x() > min ? hi->x() : min + 1;  // a single instant still spans
        }
        spaceLabels(automaticAxis_, min, max);
        automaticAxis_->setRange(min, max);
        auto it = std::find_if(initialRanges_.begin(), initialRanges_.end(),
                               [this](const AxisRange& r) { return r.axis == automaticAxis_; });
        if (it == initialRanges_.end()) {
            initialRanges_.push_back({automaticAxis_, min, max});
        } else {
            it->min = min;
            it->max = max;
        }
    }
    filling_ = false;
    tips_.clear();
    if (thinning_ != Thinning::None) {
        showCurve();
        return;
    }
    // Selection is by index and would otherwise mark a point of the new data.
    series_->deselectPoints(series_->selectedPoints());
    series_->replace(points);
}

void TChartView::thinLineAlong(QValueAxis* axis) {
    thinning_ = Thinning::LineColumns;
    thinX_ = axis;
    connect(axis, &QValueAxis::rangeChanged, this, &TChartView::showCurve);
    connect(chart(), &QChart::plotAreaChanged, this, &TChartView::showCurve);
    showCurve();
}

void TChartView::thinMarkers(QValueAxis* x, QValueAxis* y, double markerSize) {
    thinning_ = Thinning::MarkerPixels;
    thinX_ = x;
    thinY_ = y;
    markerReach_ = markerSize / 2 + 1;  // the anti-aliased rim too
    connect(x, &QValueAxis::rangeChanged, this, &TChartView::showCurve);
    connect(y, &QValueAxis::rangeChanged, this, &TChartView::showCurve);
    connect(chart(), &QChart::plotAreaChanged, this, &TChartView::showCurve);
    showCurve();
}

void TChartView::showCurve() {
    if (thinning_ == Thinning::None || filling_) return;
    QRectF plot = chart()->plotArea();
    if (plot.isEmpty()) plot = QRectF(0, 0, width() - kUnlaidWidth, height() - kUnlaidHeight);
    const int columns = std::max(1, static_cast<int>(std::ceil(plot.width())));
    if (thinning_ == Thinning::LineColumns) {
        shown_ = thinForColumns(curve_, thinX_->min(), thinX_->max(), columns);
    } else {
        const PlotWindow window{
            thinX_->min(), thinX_->max(), thinY_->min(),
            thinY_->max(), columns,       std::max(1, static_cast<int>(std::ceil(plot.height())))};
        shown_ = thinForPixels(curve_, window, markerReach_);
    }
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(shown_.size()));
    for (const CurvePoint& p : shown_) points.append({p.x, p.y});
    // Selection is by index and would otherwise mark another point.
    series_->deselectPoints(series_->selectedPoints());
    series_->replace(points);
}

void TChartView::clearSeries() {
    fillSeries({});  // an automatic axis goes back to its empty range
    series_->clearPointsConfiguration();
}

void TChartView::appendPoints(const QList<QPointF>& points, const QColor& colour,
                              const QStringList& tips) {
    // Points filled without tips have empty ones, so each tip stays with its point.
    while (tips_.size() < series_->count()) tips_.append(QString());
    const int first = series_->count();
    for (const QPointF& p : points) curve_.push_back({p.x(), p.y()});
    series_->append(points);
    for (int i = 0; i < points.size(); ++i) {
        series_->setPointConfiguration(first + i, QXYSeries::PointConfiguration::Color, colour);
        tips_.append(tips.value(i));
    }
}

QString TChartView::pointTip(const QPointF& point) const {
    // Before the chart is first laid out every point maps to one place; values then.
    const bool laidOut = !chart()->plotArea().isEmpty();
    auto place = [&](const QPointF& p) { return laidOut ? chart()->mapToPosition(p, series_) : p; };
    const QPointF at = place(point);
    int nearest = -1;
    double best = 0;
    for (int i = 0; i < series_->count(); ++i) {
        const QPointF d = place(series_->at(i)) - at;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (nearest < 0 || distance < best) {
            nearest = i;
            best = distance;
        }
    }
    return nearest < 0 ? QString() : tips_.value(nearest);
}

void TChartView::showPointTip(const QPointF& point, bool hovered) {
    const QString tip = hovered ? pointTip(point) : QString();
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(QCursor::pos(), tip, this);
    }
}

void TChartView::resetZoom() {
    spaceLabelsForInitialRanges();
    chart()->zoomReset();
    for (const AxisRange& r : initialRanges_) {
        if (r.axis) r.axis->setRange(r.min, r.max);
    }
}

void TChartView::rememberInitialRanges() {
    initialRanges_.clear();
    for (QAbstractAxis* axis : chart()->axes()) {
        if (auto* value = qobject_cast<QValueAxis*>(axis)) {
            initialRanges_.push_back({value, value->min(), value->max()});
        }
    }
}

void TChartView::setFootText(const QString& text) {
    if (!foot_) {
        baseBottomMargin_ = chart()->margins().bottom();
        footFrame_ = new QGraphicsRectItem(chart());
        footFrame_->setPen(QPen(Qt::black, 1, Qt::DashLine));
        footFrame_->setBrush(Qt::NoBrush);
        footFrame_->setZValue(10);
        foot_ = new QGraphicsSimpleTextItem(footFrame_);
        foot_->setBrush(Qt::black);
        foot_->setFont(chart()->titleFont());
        connect(chart(), &QGraphicsWidget::geometryChanged, this, &TChartView::placeFoot);
    }
    foot_->setText(text);
    footFrame_->setVisible(!text.isEmpty());
    QMargins margins = chart()->margins();
    const double footHeight = foot_->boundingRect().height() + 2 * kFootPadding + kFootGap;
    margins.setBottom(baseBottomMargin_ + (text.isEmpty() ? 0 : qRound(footHeight)));
    chart()->setMargins(margins);
    placeFoot();
}

void TChartView::setAxisIncrement(QValueAxis* axis, double increment) {
    increments_.push_back({axis, increment, axis->minorTickCount(), axis->max() - axis->min()});
    auto update = [this, axis] { spaceLabels(axis, axis->min(), axis->max()); };
    connect(axis, &QValueAxis::rangeChanged, this, update);
    connect(chart(), &QChart::plotAreaChanged, this, update);
    update();
}

double TChartView::axisIncrement(const QValueAxis* axis) const {
    for (const AxisIncrement& a : increments_) {
        if (a.axis == axis) return a.increment;
    }
    return 0;
}

void TChartView::spaceLabels(QValueAxis* axis, double min, double max) {
    auto it = std::find_if(increments_.begin(), increments_.end(),
                           [axis](const AxisIncrement& a) { return a.axis == axis; });
    if (it == increments_.end()) return;
    const bool horizontal = axis->orientation() == Qt::Horizontal;
    QRectF plot = chart()->plotArea();
    if (plot.isEmpty()) plot = QRectF(0, 0, width() - kUnlaidWidth, height() - kUnlaidHeight);
    const QFontMetricsF metrics(axis->labelsFont());
    const double widest = std::max({std::abs(min), std::abs(max), 10.0});
    const double labelSize =
        kLabelRoom + (horizontal ? metrics.horizontalAdvance(QString::number(qRound(widest)))
                                 : metrics.lineSpacing());
    AxisLayout layout;
    layout.span = max - min;
    layout.increment = it->increment;
    layout.incrementMinor = it->incrementMinor;
    // The automatic axis follows the data; a fixed one keeps the ends of its range labelled.
    layout.fixedSpan = axis == automaticAxis_ ? 0 : it->fixedSpan;
    layout.pixels = horizontal ? plot.width() : plot.height();
    layout.labelPixels = labelSize;
    const AxisSpacing spacing = axisSpacing(layout);
    if (axis->tickInterval() != spacing.labelInterval) axis->setTickInterval(spacing.labelInterval);
    if (axis->minorTickCount() != spacing.minorLines) axis->setMinorTickCount(spacing.minorLines);
}

void TChartView::drawAxisWithin(QValueAxis* axis, double start, double end) {
    const ValueRange range = rangeDrawnWithin(axis->min(), axis->max(), start, end);
    axis->setRange(range.min, range.max);
}

void TChartView::spaceLabelsForInitialRanges() {
    for (const AxisRange& r : initialRanges_) {
        if (r.axis) spaceLabels(r.axis, r.min, r.max);
    }
}

QString TChartView::footText() const {
    return foot_ ? foot_->text() : QString();
}

void TChartView::placeFoot() {
    if (!foot_) return;
    const QRectF text = foot_->boundingRect();
    const QRectF frame(0, 0, text.width() + 2 * kFootPadding, text.height() + 2 * kFootPadding);
    footFrame_->setRect(frame);
    foot_->setPos(kFootPadding, kFootPadding);
    footFrame_->setPos(chart()->margins().left(),
                       chart()->size().height() - frame.height() - kFootGap);
}

void TChartView::mousePressEvent(QMouseEvent* event) {
    // The right button pans; the base class would zoom out on its release.
    if (event->button() == Qt::RightButton) {
        panning_ = true;
        panFrom_ = event->position().toPoint();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
    if (panning_) {
        const QPoint to = event->position().toPoint();
        const QPoint delta = to - panFrom_;
        // Content follows the pointer: the view moves the other way (y grows downwards).
        chart()->scroll(-delta.x(), delta.y());
        panFrom_ = to;
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        panning_ = false;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

}  // namespace uroflow
