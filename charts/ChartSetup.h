#pragma once
// Creation of the seven chart views with their titles, axes, series and backgrounds.

#include <QString>

#include "nomogram/NomogramCurves.h"

class QWidget;
class QLineSeries;
class QScatterSeries;

namespace uroflow {

class TChartView;

struct ChartViews {
    TChartView* ChartGraf = nullptr;
    TChartView* ChartVQ = nullptr;
    TChartView* ChartNomWoman = nullptr;
    TChartView* ChartNomMan51 = nullptr;
    TChartView* ChartNomMan49 = nullptr;
    TChartView* ChartNomGirls = nullptr;
    TChartView* ChartNomBoy = nullptr;
    QLineSeries* Series1 = nullptr;
    QScatterSeries* PointSeries5 = nullptr;
    QScatterSeries* PointSeries4 = nullptr;
    QScatterSeries* PointSeries3 = nullptr;
    QScatterSeries* PointSeries2 = nullptr;
    QScatterSeries* PointSeries1 = nullptr;
    QScatterSeries* LineSeries1 = nullptr;
};

// The texts of a nomogram view, also printed with the day report.
struct NomogramTexts {
    QString title;
    QString foot;
    QString volumeAxis;
    QString flowAxis;
};
NomogramTexts nomogramTexts(NomogramKind kind);

// Creates the views as children of `parent`, placed and sized as in the window
// (ChartGraf and ChartVQ at 136, 41, 828 x 518; the nomograms at 0, 41, 965 x 518).
// All are created visible; the window's start-up hides what it must.
ChartViews createChartViews(QWidget* parent);

}  // namespace uroflow
