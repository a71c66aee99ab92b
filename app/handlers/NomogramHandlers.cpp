// The day on the nomogram: evaluation, leaving studies out, and an archived day beside it.

#include <QCheckBox>
#include <QColor>
#include <QLabel>
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
#include "charts/NomogramBackground.h"
#include "files/StudyFile.h"
#include "nomogram/NomogramChoice.h"
#include "nomogram/PointTip.h"
#include "study/Decoder.h"
#include "study/Passport.h"

namespace uroflow {

namespace {

const QString kPassportCaption = QStringLiteral("Проверка паспортной части");
const QString kAgeMissingText = QStringLiteral("Укажите возраст пациента!");
const QString kArchiveCaption = QStringLiteral("Сравнение с номограммой от: ");

}  // namespace

void TTMForm::NomogramClick() {
    DateArj->setVisible(false);
    const bool anyStudy = !day_->evaluateNomogram().empty();

    charts.ChartVQ->setVisible(false);
    for (TChartView* chart : nomogramCharts()) chart->clearSeries();
    const std::optional<int> age = nomogramAge();
    if (!age) return;
    for (QWidget* control : std::initializer_list<QWidget*>{Next, Prev, EnNom})
        control->setEnabled(false);
    PrintNomogram->setEnabled(true);
    // The chart is shown even when every study is left out.
    if (anyStudy) placeNomogramPoints(day_->nomogramPoints(), *age, std::nullopt);
}

void TTMForm::EnNomClick() {
    day_->include(day_->curStudy(), EnNom->isChecked());
}

void TTMForm::NomSClick() {
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
    day_->takeArchive(day);
    DateArj->setVisible(true);
    DateArj->setText(kArchiveCaption + archiveDate());
}

void TTMForm::placeArchiveDay() {
    const std::vector<EvaluatedStudy> studies = day_->evaluateArchive();
    const std::optional<int> age = nomogramAge();
    if (!age) return;
    // Every archived study is drawn: the inclusion flags belong to the current day.
    std::vector<NomogramPoint> points;
    for (std::size_t j = 0; j < studies.size(); ++j)
        points.push_back({static_cast<std::uint16_t>(j), studies[j]});
    if (!points.empty()) placeNomogramPoints(points, *age, archiveDate());
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
    const QString name = QString::fromLatin1(nomogramChartName(kind));
    for (TChartView* view : nomogramCharts())
        if (view->objectName() == name) return view;
    return nullptr;
}

bool TTMForm::archiveOnScreen() const {
    const auto charts = nomogramCharts();
    // Shown in the window, whether or not the window itself is on the screen yet.
    const bool nomogramShown = std::any_of(
        charts.begin(), charts.end(), [](const TChartView* chart) { return !chart->isHidden(); });
    return nomogramShown && !DateArj->isHidden() && DateArj->text().startsWith(kArchiveCaption);
}

QString TTMForm::archiveDate() const {
    return QString::fromStdString(day_->archiveDate());
}

void TTMForm::placeNomogramPoints(const std::vector<NomogramPoint>& points, int age,
                                  const std::optional<QString>& archive) {
    const std::optional<NomogramKind> kind = chooseNomogram(patientSex(), age);
    if (!kind) return;
    TChartView* chart = nomogramView(*kind);
    // The chosen chart alone: one left from another sex or age would lie on top of it,
    // empty, and be printed.
    for (TChartView* view : nomogramCharts()) view->setVisible(view == chart);

    const std::string separator = QLocale().decimalPoint().toStdString();
    QList<QPointF> placed;
    QStringList tips;
    for (const NomogramPoint& point : points) {
        const EvaluatedStudy& study = point.values;
        PointTip tip;
        tip.number = point.study + 1;
        tip.hour = study.hour;
        tip.minute = study.minute;
        tip.volume = study.volume;
        tip.qmax = study.qmax;
        tip.zone = nomogramZone(*kind, study.volume, study.qmax);
        if (archive) tip.archiveDate = archive->toStdString();
        placed.append(QPointF(study.volume, study.qmax));
        tips.append(QString::fromStdString(pointTipText(tip, separator)));
    }
    chart->appendPoints(placed, archive ? kArchivePointColour : kDayPointColour, tips);
}

}  // namespace uroflow
