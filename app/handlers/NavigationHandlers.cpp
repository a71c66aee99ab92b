// Stepping between the studies of the day and switching the uroflowgram views.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/Unit1.h"
#include "charts/ChartView.h"

namespace uroflow {

void TTMForm::leaveNomogram() {
    for (TChartView* chart : nomogramCharts()) chart->setVisible(false);
}

void TTMForm::PrevClick() {
    leaveNomogram();
    Next->setEnabled(true);
    DateArj->setVisible(false);

    const std::uint16_t previous = day_->curStudy() >= 1 ? day_->curStudy() - 1 : 0;
    if (previous == 0) Prev->setEnabled(false);
    EnNom->setChecked(day_->included(previous));
    if (!day_->select(previous)) return;
    Graf_byteArray(nporValue());
}

void TTMForm::NextClick() {
    leaveNomogram();
    Prev->setEnabled(true);
    DateArj->setVisible(false);

    // Past the last study of this day the step finds no study and stays; the check box
    // then shows the flag of the index stepped to.
    const std::size_t next = day_->curStudy() + 1;
    EnNom->setChecked(day_->included(next));
    if (!day_->select(static_cast<std::uint16_t>(next))) return;
    Graf_byteArray(nporValue());
    if (day_->curStudy() == day_->studyCount() - 1) {
        Next->setEnabled(false);
        Nomogram->setEnabled(true);
    }
}

void TTMForm::VTClick() {
    showUroflowgram(true);
}

void TTMForm::QVClick() {
    showUroflowgram(false);
}

void TTMForm::showUroflowgram(bool flowTime) {
    leaveNomogram();
    // Enabled whatever the position: Prev at the first study redraws it.
    for (QWidget* control : studyNavigation()) control->setEnabled(true);
    Prev->setEnabled(true);
    charts.ChartGraf->setVisible(flowTime);
    charts.ChartVQ->setVisible(!flowTime);
    DateArj->setVisible(false);
}

void TTMForm::ZoomResetClick() {
    for (TChartView* chart : allCharts()) chart->resetZoom();
}

}  // namespace uroflow
