// Stepping between the studies of the day and switching the uroflowgram views.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "app/Unit1.h"
#include "charts/ChartView.h"
#include "study/Units.h"

namespace uroflow {

namespace {

// Nearest integer, halves to even (the default rounding mode).
double roundHalfEven(double value) {
    return std::nearbyint(value);
}

}  // namespace

void TTMForm::leaveNomogram() {
    for (TChartView* chart : nomogramCharts()) chart->setVisible(false);
}

void TTMForm::PrevClick() {
    leaveNomogram();
    Next->setEnabled(true);
    DateArj->setVisible(false);

    if (CurStudy >= 1) --CurStudy;
    if (CurStudy == 0) Prev->setEnabled(false);
    EnNom->setChecked(NomInclude[CurStudy]);

    if (StudyStarts[CurStudy] == 0) return;
    CurStudyStart = StudyStarts[CurStudy];
    Graf_byteArray(nporValue());
    StudyVolume[CurStudy] = roundHalfEven(VolumeTotal);
    StudyQmax[CurStudy] =
        CalibrCoef == 0 ? 0 : roundHalfEven(peakRawToMlPerSecond(FlowMax, CalibrCoef));
}

void TTMForm::NextClick() {
    leaveNomogram();
    Prev->setEnabled(true);
    DateArj->setVisible(false);

    // The start table ends with a 0 after the last study, so the step past the
    // last one finds no start and goes back.
    ++CurStudy;
    EnNom->setChecked(CurStudy < NomInclude.size() && NomInclude[CurStudy]);
    if (StudyStarts[CurStudy] == 0) {
        --CurStudy;
        return;
    }
    CurStudyStart = StudyStarts[CurStudy];
    Graf_byteArray(nporValue());
    if (CurStudy == StudyCount - 1) {
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
    ChartGraf->setVisible(flowTime);
    ChartVQ->setVisible(!flowTime);
    DateArj->setVisible(false);
}

void TTMForm::ZoomResetClick() {
    for (TChartView* chart : allCharts()) chart->resetZoom();
}

}  // namespace uroflow
