#pragma once
// The small dialog before the day report: the sleep period its night figures assume.

#include <QDialog>

#include "files/NightWindow.h"

class QDialogButtonBox;
class QTimeEdit;

namespace uroflow {

class SleepPeriodDialog : public QDialog {
  public:
    SleepPeriodDialog(const NightWindow& current, QWidget* owner);

    // The period as the two clocks show it; only asked once they differ.
    NightWindow period() const;

    QTimeEdit* Bedtime = nullptr;
    QTimeEdit* Rising = nullptr;
    QDialogButtonBox* Buttons = nullptr;

  private:
    // Equal times leave no night: "ОК" waits until they differ.
    void checkTimes();
};

}  // namespace uroflow
