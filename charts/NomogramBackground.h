#pragma once
// The background of a nomogram view: the two coloured bands between its curves,
// drawn as area series in data coordinates so they follow zooming and panning.

#include <QColor>

#include "nomogram/NomogramCurves.h"

class QAbstractAxis;
class QAreaSeries;
class QChart;

namespace uroflow {

inline const QColor kUpperBandColor{192, 220, 192};  // money green, between U and M
inline const QColor kLowerBandColor{255, 251, 240};  // cream, between M and L
inline const QColor kBandOutlineColor{128, 160, 128};
// The points of the day and of the archived day compared with it.
inline const QColor kDayPointColour{255, 255, 0};  // yellow
inline const QColor kArchivePointColour{0, 0, 0};  // black

struct NomogramBands {
    QAreaSeries* upper = nullptr;
    QAreaSeries* lower = nullptr;
};

// Adds the bands of `kind` to `chart`, attached to the two axes already added to it.
// Call it before adding the points series: series are drawn in the order added.
NomogramBands addNomogramBackground(QChart* chart, NomogramKind kind, QAbstractAxis* axisX,
                                    QAbstractAxis* axisY);

}  // namespace uroflow
