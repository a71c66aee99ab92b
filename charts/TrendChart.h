#pragma once
// A patient's trend: every voiding's Qmax and voided volume against the date of its day,
// across all kept days.

#include <QChartView>
#include <QDate>
#include <vector>

class QDateTimeAxis;
class QScatterSeries;
class QValueAxis;

namespace uroflow {

struct TrendPoint {
    QDate date;
    double qmax = 0;    // ml/s
    double volume = 0;  // ml
};

class TrendChartView : public QChartView {
    Q_OBJECT

  public:
    explicit TrendChartView(QWidget* parent);

    // Replaces the points; the axes span them with a day to spare on each side.
    void setPoints(const std::vector<TrendPoint>& points);

    QScatterSeries* qmaxSeries() const { return qmax_; }
    QScatterSeries* volumeSeries() const { return volume_; }
    QDateTimeAxis* dateAxis() const { return dates_; }

  private:
    QScatterSeries* qmax_;
    QScatterSeries* volume_;
    QDateTimeAxis* dates_;
    QValueAxis* qmaxAxis_;
    QValueAxis* volumeAxis_;
};

}  // namespace uroflow
