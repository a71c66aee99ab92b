#pragma once
// The window "Архив пациентов": the search, the patients found, the chosen patient's days
// and trend. Only controls: the main window's handlers fill them and act on them.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace uroflow {

class TrendChartView;

class PatientArchiveDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PatientArchiveDialog(QWidget* parent);

    QLineEdit* Search = nullptr;
    QTableWidget* Patients = nullptr;  // name, sex, age, days
    QTableWidget* Days = nullptr;      // date, voidings, largest volume, highest Qmax
    QPushButton* OpenDay = nullptr;
    QPushButton* CompareDay = nullptr;
    TrendChartView* Trend = nullptr;
    QLabel* Status = nullptr;  // where the archive lives, or why it cannot be used
};

}  // namespace uroflow
