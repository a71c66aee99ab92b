#include "charts/ChartSetup.h"

#include <QBrush>
#include <QChart>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QGraphicsLayout>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QMargins>
#include <QRect>
#include <QScatterSeries>
#include <QString>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "charts/ChartView.h"
#include "charts/CurveThinning.h"
#include "charts/NomogramBackground.h"
#include "nomogram/NomogramChoice.h"

namespace uroflow {
namespace {

const QRect kUroflowgramPlace(136, 41, 828, 518);
const QRect kNomogramPlace(0, 41, 965, 518);
// The uroflowgrams' flow axes take 2 % to 98 % of the plot's height, so a flow of 0 stands
// clear of the time or volume axis.
constexpr double kFlowAxisStart = 0.02;
constexpr double kFlowAxisEnd = 0.98;

const QString kNomogramTitle = QStringLiteral(
    "Компьютерная оценка суточных показателей максимальных скоростей потока мочи по "
    "номограммам у ");
const QString kLiverpoolFoot = QStringLiteral("Ливерпульская (2005)");
const QString kVishnevskyFoot = QStringLiteral("По Вишневскому Е.Л. и соав. (2005)");

// Qt picks the nearest installed family when this one is missing.
QFont titleFont() {
    return QFont(QStringLiteral("MS Sans Serif"), 10);
}

QChart* makeChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(titleFont());
    chart->legend()->hide();
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    // The layout's default margins would leave a grey band between view and chart.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    return chart;
}

QValueAxis* addAxis(QChart* chart, Qt::Alignment side, double min, double max, double interval,
                    const QString& title, int minorTicks = 0) {
    auto* axis = new QValueAxis;
    axis->setRange(min, max);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(interval);
    axis->setMinorTickCount(minorTicks);
    axis->setLabelFormat(QStringLiteral("%d"));  // every increment is whole
    axis->setTitleText(title);
    axis->setTitleFont(titleFont());
    chart->addAxis(axis, side);
    return axis;
}

void attach(QChart* chart, QXYSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QImage squareMarker(int size, const QColor& colour) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// Marks the drawn point under the pointer and shows the values recorded there (the
// series may hold only some of the curve's points).
void highlightOnHover(TChartView* view) {
    QXYSeries* series = view->series();
    QObject::connect(
        series, &QXYSeries::hovered, view, [series, view](const QPointF& at, bool state) {
            series->deselectPoints(series->selectedPoints());
            if (!state || view->shownCurve().empty()) {
                QToolTip::hideText();
                return;
            }
            series->selectPoint(static_cast<int>(nearestPoint(view->shownCurve(), at.x())));
            const CurvePoint p = view->curve()[nearestPoint(view->curve(), at.x())];
            const QLocale locale;
            QToolTip::showText(
                QCursor::pos(),
                locale.toString(p.x, 'f', 3) + " сек; " + locale.toString(p.y, 'f', 1) + " мл/сек",
                view);
        });
}

TChartView* makeFlowTime(QWidget* parent, QLineSeries*& series) {
    QChart* chart = makeChart(QStringLiteral("Урофлоуграмма \"Скорость/время\""));
    QValueAxis* time = addAxis(chart, Qt::AlignBottom, 0, 1, 1, QStringLiteral("время, сек"));
    time->setLabelFormat(QStringLiteral("%02d"));
    QValueAxis* flow =
        addAxis(chart, Qt::AlignLeft, 0, 50, 1, QStringLiteral("скорость потока, мл/сек"));
    series = new QLineSeries;
    attach(chart, series, time, flow);
    series->setColor(Qt::red);
    series->setLightMarker(squareMarker(3, Qt::red));
    series->setSelectedLightMarker(squareMarker(7, Qt::black));
    series->setPointsVisible(true);
    series->setPointLabelsVisible(false);

    auto* view = new TChartView(chart, series, parent);
    view->setGeometry(kUroflowgramPlace);
    view->setAxisIncrement(time, 1);
    view->setAxisIncrement(flow, 1);
    view->drawAxisWithin(flow, kFlowAxisStart, kFlowAxisEnd);
    view->setAutomaticAxis(time);
    view->thinLineAlong(time);
    highlightOnHover(view);
    return view;
}

TChartView* makeFlowVolume(QWidget* parent, QScatterSeries*& series) {
    QChart* chart = makeChart(QStringLiteral("Урофлоуграмма \"Скорость/обьем\""));
    QValueAxis* volume =
        addAxis(chart, Qt::AlignBottom, 0, 500, 20, QStringLiteral("обьем выделенной мочи, мл"));
    QValueAxis* flow =
        addAxis(chart, Qt::AlignLeft, 0, 50, 5, QStringLiteral("скорость потока мочи, мл/сек"), 1);
    series = new QScatterSeries;
    attach(chart, series, volume, flow);
    // Its points are all blue.
    series->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    series->setMarkerSize(7);
    series->setColor(QColor(0, 0, 255));
    series->setBorderColor(QColor(0, 0, 255));
    series->setPointLabelsVisible(false);

    auto* view = new TChartView(chart, series, parent);
    view->setGeometry(kUroflowgramPlace);
    view->setAxisIncrement(volume, 20);
    view->setAxisIncrement(flow, 5);
    view->drawAxisWithin(flow, kFlowAxisStart, kFlowAxisEnd);
    view->thinMarkers(volume, flow, series->markerSize());
    view->setFootText(QString());
    return view;
}

TChartView* makeNomogram(QWidget* parent, NomogramKind kind, double flowInterval,
                         QScatterSeries*& series) {
    const NomogramTexts texts = nomogramTexts(kind);
    QChart* chart = makeChart(texts.title);
    QValueAxis* volume = addAxis(chart, Qt::AlignBottom, 0, 500, 10, texts.volumeAxis);
    QValueAxis* flow = addAxis(chart, Qt::AlignLeft, 0, 50, flowInterval, texts.flowAxis, 1);
    addNomogramBackground(chart, kind, volume, flow);
    series = new QScatterSeries;
    attach(chart, series, volume, flow);
    series->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    series->setMarkerSize(9);
    series->setColor(Qt::red);
    series->setBorderColor(Qt::black);
    series->setPointLabelsVisible(false);

    auto* view = new TChartView(chart, series, parent);
    // Found by the name the nomogram's table gives it.
    view->setObjectName(QString::fromLatin1(nomogramChartName(kind)));
    view->setGeometry(kNomogramPlace);
    view->setAxisIncrement(volume, 10);
    view->setAxisIncrement(flow, flowInterval);
    if (kind == NomogramKind::Girls) {
        QMargins margins = chart->margins();
        margins.setBottom(margins.bottom() + qRound(0.05 * kNomogramPlace.height()));
        chart->setMargins(margins);
    }
    view->setFootText(texts.foot);
    return view;
}

}  // namespace

NomogramTexts nomogramTexts(NomogramKind kind) {
    return {kNomogramTitle + QString::fromUtf8(nomogramEntry(kind).whom),
            kind == NomogramKind::Woman ? kLiverpoolFoot : kVishnevskyFoot,
            QStringLiteral("Обьем мочевого пузыря в мл"),
            QStringLiteral("Скорость потока мочи в мл/сек")};
}

ChartViews createChartViews(QWidget* parent) {
    ChartViews v;
    v.ChartGraf = makeFlowTime(parent, v.Series1);
    v.ChartVQ = makeFlowVolume(parent, v.PointSeries5);
    v.ChartNomWoman = makeNomogram(parent, NomogramKind::Woman, 2, v.PointSeries4);
    v.ChartNomMan51 = makeNomogram(parent, NomogramKind::Man51, 2, v.PointSeries3);
    v.ChartNomMan49 = makeNomogram(parent, NomogramKind::Man49, 2, v.PointSeries2);
    v.ChartNomGirls = makeNomogram(parent, NomogramKind::Girls, 5, v.PointSeries1);
    v.ChartNomBoy = makeNomogram(parent, NomogramKind::Boy, 2, v.LineSeries1);
    for (TChartView* view : {v.ChartGraf, v.ChartVQ, v.ChartNomWoman, v.ChartNomMan51,
                             v.ChartNomMan49, v.ChartNomGirls, v.ChartNomBoy}) {
        view->rememberInitialRanges();
    }
    return v;
}

}  // namespace uroflow
