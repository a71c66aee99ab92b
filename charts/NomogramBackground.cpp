#include "charts/NomogramBackground.h"

#include <QAreaSeries>
#include <QBrush>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>

namespace uroflow {
namespace {

QAreaSeries* addBand(QChart* chart, const QList<QPointF>& top, const QList<QPointF>& bottom,
                     const QColor& fill, QAbstractAxis* axisX, QAbstractAxis* axisY) {
    auto* upperLine = new QLineSeries;
    auto* lowerLine = new QLineSeries;
    upperLine->replace(top);
    lowerLine->replace(bottom);
    auto* area = new QAreaSeries(upperLine, lowerLine);
    // The area does not own its boundary lines.
    upperLine->setParent(area);
    lowerLine->setParent(area);
    chart->addSeries(area);
    area->attachAxis(axisX);
    area->attachAxis(axisY);
    // After addSeries, which applies the chart theme's colours.
    area->setBrush(fill);
    area->setPen(QPen(kBandOutlineColor, 1));
    for (QLegendMarker* marker : chart->legend()->markers(area)) marker->setVisible(false);
    return area;
}

}  // namespace

NomogramBands addNomogramBackground(QChart* chart, NomogramKind kind, QAbstractAxis* axisX,
                                    QAbstractAxis* axisY) {
    QList<QPointF> upper, middle, lower;
    for (const BandSample& s : nomogramBand(kind)) {
        upper.append({s.volume, s.upper});
        middle.append({s.volume, s.middle});
        lower.append({s.volume, s.lower});
    }
    NomogramBands bands;
    bands.upper = addBand(chart, upper, middle, kUpperBandColor, axisX, axisY);
    bands.lower = addBand(chart, middle, lower, kLowerBandColor, axisX, axisY);
    bands.upper->setObjectName(QStringLiteral("upperBand"));
    bands.lower->setObjectName(QStringLiteral("lowerBand"));
    return bands;
}

}  // namespace uroflow
