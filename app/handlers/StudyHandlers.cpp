// Passport fields and the drawing of the current study.

#include <QCheckBox>
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
#include "study/IndexTexts.h"
#include "study/Passport.h"
#include "study/RuntimeError.h"

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

    const Passport passport = decodePassport(DeviceImage);
    if (passport.sex == Sex::Female) sexF->setChecked(true);
    if (passport.sex == Sex::Male) sexM->setChecked(true);
    Shape1->setHatched(false);

    Name->setText(QString::fromStdString(passport.name));
    Old->setText(QString::fromStdString(passport.age));
    DataStart->setText(QString::fromStdString(passport.date));
}

void TTMForm::Graf_byteArray(int npr) {
    // Every drawing starts from nothing, so no caller reads the previous day's values.
    VolumeTotal = 0;
    FlowMax = 0;
    CalibrCoef = calibrationCoefficient(DeviceImage);
    Edit_Calibr->setText(QString::number(CalibrCoef));
    if (!calibrationValid(CalibrCoef)) {
        platform_.dialogs.message(kCalibrationCaption, kCalibrationText, MsgIcon::Warning, MbOk);
        Calibr->setVisible(true);
        Calibr->setFocus();
        Edit_Calibr->setVisible(true);
    }

    if (StudyCount > 0) {
        setMemoText(Mst, QString::number(CurStudy + 1));
        for (QWidget* control : studyCommands()) control->setEnabled(true);
        for (QWidget* control : studyNavigation()) control->setEnabled(true);
        // A study drawn while an answer arrives leaves the answer's commands off.
        if (!awaitingBlocks()) setTransferRunning(false);
        ChartGraf->setVisible(true);
        Fokys->setVisible(true);
        Ur->setVisible(true);
    }

    ChartGraf->clearSeries();
    ChartVQ->clearSeries();
    if (StudyCount == 0) return;

    // Every scaled value divides by K: with no calibration there is nothing to show.
    if (CalibrCoef == 0) {
        clearIndexFields();
        return;
    }

    // Always decode from the image as the scan left it, so a study looks the same
    // whatever was drawn before.
    WorkImage = ScannedImage;
    const DecodeResult result =
        decodeStudy(WorkImage, {CurStudyStart, npr, StudyCount, CalibrCoef});
    showDecodeResult(result);
}

void TTMForm::showDecodeResult(const DecodeResult& result) {
    ChartGraf->fillSeries(toPoints(result.flowTime));
    ChartVQ->fillSeries(toPoints(result.flowVolume));
    if (result.startTime) Tstart->setText(QString::fromStdString(*result.startTime));
    if (result.error) throw RuntimeError(*result.error);
    if (!result.indices) return;

    const StudyIndices& indices = *result.indices;
    const IndexTexts texts = formatIndices(indices, QLocale().decimalPoint().toStdString());
    VQmax->setText(QString::fromStdString(texts.vqmax));
    Vml->setText(QString::fromStdString(texts.vml));
    FlowTime->setText(QString::fromStdString(texts.flowTime));
    Ttotal->setText(QString::fromStdString(texts.ttotal));
    Twait->setText(QString::fromStdString(texts.twait));
    TQmax->setText(QString::fromStdString(texts.tqmax));
    Qmax->setText(QString::fromStdString(texts.qmax));
    Qave->setText(QString::fromStdString(texts.qave));

    VolumeTotal = indices.volume;
    FlowMax = result.flowMaxRaw;
    if (indices.volumeStatic) VolumeStatic = *indices.volumeStatic;
    if (CurStudy == 0) {
        StudyVolume[0] = indices.volume;
        StudyQmax[0] = indices.qmax;
    }
}

void TTMForm::clearIndexFields() {
    for (QLineEdit* field : {Tstart, Twait, TQmax, FlowTime, Ttotal, Qave, Qmax, VQmax, Vml})
        field->clear();
}

}  // namespace uroflow
