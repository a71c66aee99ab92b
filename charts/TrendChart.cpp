#include "charts/TrendChart.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QList>
#include <QPointF>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

namespace uroflow {

namespace {

constexpr double kMarkerSize = 8;

QScatterSeries* newSeries(const QString& name, const QColor& colour,
                          QScatterSeries::MarkerShape shape, QChart* chart) {
    auto* series = new QScatterSeries(chart);
    series->setName(name);
    series->setColor(colour);
    series->setBorderColor(colour);
    series->setMarkerShape(shape);
    series->setMarkerSize(kMarkerSize);
    return series;
}

QValueAxis* newValueAxis(const QString& title, Qt::Alignment side, QChart* chart) {
    auto* axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axis, side);
    return axis;
}

// A day's Qmax points stand a little before its date and its volumes a little after, so
// the two series of one day do not hide each other.
constexpr qint64 kSeriesOffsetMs = 3 * 60 * 60 * 1000;

qreal msecs(const QDate& date, qint64 offsetMs) {
    return static_cast<qreal>(date.startOfDay().toMSecsSinceEpoch() + offsetMs);
}

// The range from 0 to a round step above the largest value.
void fitFromZero(QValueAxis* axis, double largest) {
    axis->setRange(0, largest > 0 ? largest * 1.1 : 1);
    axis->applyNiceNumbers();
}

}  // namespace

TrendChartView::TrendChartView(QWidget* parent) : QChartView(parent) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Динамика: Qmax и объем каждого мочеиспускания"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    qmax_ = newSeries(QStringLiteral("Qmax, мл/сек"), QColor(200, 30, 30),
                      QScatterSeries::MarkerShapeCircle, chart);
    volume_ = newSeries(QStringLiteral("Объем, мл"), QColor(30, 60, 200),
                        QScatterSeries::MarkerShapeRectangle, chart);
    chart->addSeries(qmax_);
    chart->addSeries(volume_);
    dates_ = new QDateTimeAxis(chart);
    dates_->setFormat(QStringLiteral("dd.MM.yy"));
    dates_->setTitleText(QStringLiteral("Дата"));
    chart->addAxis(dates_, Qt::AlignBottom);
    qmaxAxis_ = newValueAxis(QStringLiteral("Qmax, мл/сек"), Qt::AlignLeft, chart);
    volumeAxis_ = newValueAxis(QStringLiteral("Объем, мл"), Qt::AlignRight, chart);
    qmax_->attachAxis(dates_);
    qmax_->attachAxis(qmaxAxis_);
    volume_->attachAxis(dates_);
    volume_->attachAxis(volumeAxis_);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setPoints({});
}

void TrendChartView::setPoints(const std::vector<TrendPoint>& points) {
    QList<QPointF> qmax;
    QList<QPointF> volume;
    qmax.reserve(static_cast<qsizetype>(points.size()));
    volume.reserve(static_cast<qsizetype>(points.size()));
    QDate first = QDate::currentDate();
    QDate last = first;
    double qmaxLargest = 0;
    double volumeLargest = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TrendPoint& point = points[i];
        qmax.append({msecs(point.date, -kSeriesOffsetMs), point.qmax});
        volume.append({msecs(point.date, kSeriesOffsetMs), point.volume});
        qmaxLargest = std::max(qmaxLargest, point.qmax);
        volumeLargest = std::max(volumeLargest, point.volume);
        first = i == 0 ? point.date : std::min(first, point.date);
        last = i == 0 ? point.date : std::max(last, point.date);
    }
    qmax_->replace(qmax);
    volume_->replace(volume);
    dates_->setRange(first.addDays(-1).startOfDay(), last.addDays(1).startOfDay());
    // One tick a day up to a week, about seven ticks beyond.
    dates_->setTickCount(static_cast<int>(std::min<qint64>(first.daysTo(last) + 3, 8)));
    fitFromZero(qmaxAxis_, qmaxLargest);
    fitFromZero(volumeAxis_, volumeLargest);
}

}  // namespace uroflow
