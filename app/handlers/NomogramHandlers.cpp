// The day on the nomogram: evaluation, leaving studies out, and an archived day beside it.

#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <memory>

#include "app/Dialogs.h"
#include "app/FileDialogs.h"
#include "app/Unit1.h"
#include "charts/ChartView.h"
#include "files/StudyFile.h"
#include "nomogram/DayEvaluation.h"
#include "nomogram/NomogramChoice.h"
#include "nomogram/PointTip.h"
#include "study/Decoder.h"
#include "study/Passport.h"

namespace uroflow {

namespace {

const QString kPassportCaption = QStringLiteral("Проверка паспортной части");
const QString kAgeMissingText = QStringLiteral("Укажите возраст пациента!");
const QString kArchiveCaption = QStringLiteral("Сравнение с номограммой от: ");
const QColor kDayPointColour(255, 255, 0);  // yellow
const QColor kArchivePointColour(0, 0, 0);  // black

}  // namespace

void TTMForm::NomogramClick() {
    DateArj->setVisible(false);
    CurStudyStart = kStudyAreaStart;
    // Always from the image as the scan left it: pressing twice gives the same points.
    WorkImage = ScannedImage;
    const std::vector<EvaluatedStudy> studies = evaluateDay(WorkImage, CalibrCoef);
    for (std::size_t i = 0; i < studies.size(); ++i) {
        StudyVolume[i] = studies[i].volume;
        StudyQmax[i] = studies[i].qmax;
    }

    ChartVQ->setVisible(false);
    for (TChartView* chart : nomogramCharts()) chart->clearSeries();
    const std::optional<int> age = nomogramAge();
    if (!age) return;
    for (QWidget* control : std::initializer_list<QWidget*>{Next, Prev, EnNom})
        control->setEnabled(false);
    PrintNomogram->setEnabled(true);

    // Only studies this evaluation found, and only those of the day's scan: no entry
    // left from an earlier day is ever plotted.
    const std::size_t placed = std::min<std::size_t>(studies.size(), StudyCount);
    std::vector<bool> included(placed);
    for (std::size_t i = 0; i < placed; ++i) included[i] = NomInclude[i];
    placeNomogramPoints(std::span(studies.data(), placed), included, *age, std::nullopt);
}

void TTMForm::EnNomClick() {
    if (CurStudy < NomInclude.size()) NomInclude[CurStudy] = EnNom->isChecked();
}

void TTMForm::NomSClick() {
    CurStudyStart = kStudyAreaStart;
    const QString path = platform_.dialogs.openFileName(kOpenDialog1);
    if (!path.isEmpty()) {
        // A file that cannot be read leaves the archive held before untouched.
        auto loaded = std::make_unique<Image>();
        readStudyFile(nativePath(path), *loaded);
        holdArchiveDay(*loaded);
    }
    placeArchiveDay();
}

void TTMForm::holdArchiveDay(const Image& day) {
    ArchiveImage = day;
    DateArj->setVisible(true);
    DateArj->setText(kArchiveCaption + archiveDate());
}

void TTMForm::placeArchiveDay() {
    // From the file's bytes as read, every time, with the archive's own calibration.
    auto work = std::make_unique<Image>(ArchiveImage);
    const std::vector<EvaluatedStudy> studies =
        evaluateDay(*work, calibrationCoefficient(ArchiveImage));
    for (std::size_t j = 0; j < studies.size(); ++j) {
        ArchiveVolume[j] = studies[j].volume;
        ArchiveQmax[j] = studies[j].qmax;
    }

    const std::optional<int> age = nomogramAge();
    if (!age) return;
    // Every archived study is drawn: the inclusion flags belong to the current day.
    placeNomogramPoints(studies, std::vector<bool>(studies.size(), true), *age, archiveDate());
}

std::optional<int> TTMForm::nomogramAge() {
    if (Old->text().isEmpty()) {
        platform_.dialogs.message(kPassportCaption, kAgeMissingText, MsgIcon::Information, MbOk);
        Old->setFocus();
        return std::nullopt;
    }
    return ageInWholeYears(Old->text().toStdString());
}

std::optional<Sex> TTMForm::patientSex() const {
    if (sexM->isChecked()) return Sex::Male;
    if (sexF->isChecked()) return Sex::Female;
    return std::nullopt;
}

TChartView* TTMForm::nomogramView(NomogramKind kind) const {
    switch (kind) {
        case NomogramKind::Woman:
            return ChartNomWoman;
        case NomogramKind::Man51:
            return ChartNomMan51;
        case NomogramKind::Man49:
            return ChartNomMan49;
        case NomogramKind::Girls:
            return ChartNomGirls;
        case NomogramKind::Boy:
            return ChartNomBoy;
    }
    return nullptr;
}

QString TTMForm::archiveDate() const {
    return QString::fromStdString(decodePassport(ArchiveImage).date);
}

void TTMForm::placeNomogramPoints(std::span<const EvaluatedStudy> studies,
                                  const std::vector<bool>& included, int age,
                                  const std::optional<QString>& archive) {
    const std::optional<NomogramKind> kind = chooseNomogram(patientSex(), age);
    if (!kind || studies.empty()) return;
    TChartView* chart = nomogramView(*kind);
    // Shown even when every study is left out.
    chart->setVisible(true);

    const std::string separator = QLocale().decimalPoint().toStdString();
    QList<QPointF> points;
    QStringList tips;
    for (std::size_t i = 0; i < studies.size(); ++i) {
        if (!included[i]) continue;
        const EvaluatedStudy& study = studies[i];
        PointTip tip;
        tip.number = static_cast<int>(i) + 1;
        tip.hour = study.hour;
        tip.minute = study.minute;
        tip.volume = study.volume;
        tip.qmax = study.qmax;
        tip.zone = nomogramZone(*kind, study.volume, study.qmax);
        if (archive) tip.archiveDate = archive->toStdString();
        points.append(QPointF(study.volume, study.qmax));
        tips.append(QString::fromStdString(pointTipText(tip, separator)));
    }
    chart->appendPoints(points, archive ? kArchivePointColour : kDayPointColour, tips);
}

}  // namespace uroflow
