// Passport fields and the drawing of the current study.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include "app/Dialogs.h"
#include "app/MemoText.h"
#include "app/Shape.h"
#include "app/Unit1.h"
#include "charts/ChartView.h"
#include "files/VoidingTexts.h"
#include "study/IndexTexts.h"
#include "study/Passport.h"
#include "study/RuntimeError.h"
#include "study/VoidingAnalysis.h"

namespace uroflow {

namespace {

const QString kCalibrationCaption = QStringLiteral("Ошибка калибровки Урофлоуметра");
const QString kCalibrationText = QStringLiteral(
    "Откалибруйте Урофлоуметр:\r\n\r\n1. Нажмите кнпку \"K\".\r\n2. Запутите Урофлоуметр в "
    "режиме измерения.\r\n3. После запуска Урофлоуметра аккуратно положите на его платформу "
    "гирьку 50 гр. \r\n4. Дождитесь выключения Урофлоуметра.");

QList<QPointF> toPoints(const std::vector<CurvePoint>& curve) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(curve.size()));
    for (const CurvePoint& p : curve) points.append(QPointF(p.x, p.y));
    return points;
}

}  // namespace

void TTMForm::Edit_byteArray() {
    Name->clear();
    TimeNow->clear();
    EditBuffer->clear();

    const Passport passport = day_->passport();
    if (passport.sex == Sex::Female) sexF->setChecked(true);
    if (passport.sex == Sex::Male) sexM->setChecked(true);
    Shape1->setHatched(false);

    Name->setText(QString::fromStdString(passport.name));
    Old->setText(QString::fromStdString(passport.age));
    DataStart->setText(QString::fromStdString(passport.date));
}

void TTMForm::Graf_byteArray(int npr) {
    const std::int32_t k = day_->calibrCoef();
    Edit_Calibr->setText(QString::number(k));
    if (!calibrationValid(k)) {
        platform_.dialogs.message(kCalibrationCaption, kCalibrationText, MsgIcon::Warning, MbOk);
        Calibr->setVisible(true);
        Calibr->setFocus();
        Edit_Calibr->setVisible(true);
    }

    const std::uint16_t count = day_->studyCount();
    if (count > 0) {
        setMemoText(Mst, QString::number(day_->curStudy() + 1));
        for (QWidget* control : studyCommands()) control->setEnabled(true);
        for (QWidget* control : studyNavigation()) control->setEnabled(true);
        // A study drawn while an answer arrives leaves the answer's commands off.
        if (!transfer_.awaitingBlocks()) setTransferRunning(false);
        charts.ChartGraf->setVisible(true);
        Fokys->setVisible(true);
        Ur->setVisible(true);
    }

    charts.ChartGraf->clearSeries();
    charts.ChartVQ->clearSeries();
    if (count == 0) return;

    // Every scaled value divides by K: with no calibration there is nothing to show.
    if (k == 0) {
        clearIndexFields();
        return;
    }
    showDecodeResult(day_->decodeCurrent(npr));
}

void TTMForm::showDecodeResult(const DecodeResult& result) {
    showStandardAnalysis(result);
    charts.ChartGraf->fillSeries(toPoints(result.flowTime));
    charts.ChartVQ->fillSeries(toPoints(result.flowVolume));
    // Nothing of the study shown before may stay beside this one.
    Tstart->setText(result.startTime ? QString::fromStdString(*result.startTime) : QString());
    const IndexTexts texts =
        result.indices ? formatIndices(*result.indices, QLocale().decimalPoint().toStdString())
                       : IndexTexts{};
    const std::array<QLineEdit*, kIndexFields.size()> edits = indexEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(QString::fromStdString(texts.*kIndexFields[i].text));
    if (result.error) throw RuntimeError(*result.error);
}

void TTMForm::clearIndexFields() {
    Tstart->clear();
    for (QLineEdit* edit : indexEdits()) edit->clear();
    for (QLabel* unit : unitLabels) unit->setToolTip(QString());
}

void TTMForm::showStandardAnalysis(const DecodeResult& result) {
    // The units beside the index fields carry no hint of their own: the standard figures
    // of the study on screen are one hover away there, the specified hints untouched.
    const QString figures = QString::fromStdString(voidingSummaryText(
        analyzeStudy(result), result.calibrCoef, QLocale().decimalPoint().toStdString()));
    for (QLabel* unit : unitLabels) unit->setToolTip(figures);
}

}  // namespace uroflow
