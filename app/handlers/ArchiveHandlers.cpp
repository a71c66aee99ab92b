// The patient archive from the window: every downloaded or loaded day kept at once, the
// window "Архив пациентов" (Ctrl+F) to find, open, compare and follow kept days, and the
// archive's settings.

#include <QAction>
#include <QColor>
#include <QDialogButtonBox>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <memory>

#include "app/ArchiveSettings.h"
#include "app/ArchiveSettingsDialog.h"
#include "app/Dialogs.h"
#include "app/PatientArchiveDialog.h"
#include "app/PatientTrend.h"
#include "app/Settings.h"
#include "app/Unit1.h"
#include "archive/ArchiveError.h"
#include "archive/DayOverviews.h"
#include "charts/TrendChart.h"

namespace uroflow {

namespace {

const QString kArchiveCaption = QStringLiteral("Архив пациентов");
const QString kNotKeptText = QStringLiteral(
    "День не сохранен в архиве пациентов.\n%1\n\nДень остается на экране, его можно сохранить "
    "кнопкой \"В файл\". Программа сохранит его в архив при следующей загрузке, когда архив "
    "будет доступен.");
const QString kNoDayToCompareText =
    QStringLiteral("Для сравнения нужен день на экране: загрузите или откройте день пациента.");
const QString kConnectedText = QStringLiteral("Соединение установлено. Дней в архиве: %1.");
const QString kSettingsNotWrittenText =
    QStringLiteral("Настройка не сохранена: файл rdp.ini не удалось записать.");

// Days waiting for an archive that was away; the oldest go first when more come.
constexpr std::size_t kMaxPendingKeeps = 32;

void showProblem(QLabel* label, const QString& text, bool problem) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, problem ? QColor(180, 0, 0) : QColor(0, 0, 0));
    label->setPalette(palette);
    label->setText(text);
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QString number(const std::optional<double>& value, int decimals) {
    return value ? QLocale().toString(*value, 'f', decimals) : QString();
}

ArchiveAddress embeddedIn(const QString& dataDir) {
    return parseArchiveUrl(QDir(dataDir).filePath(QString::fromLatin1(kEmbeddedFileName)));
}

}  // namespace

void TTMForm::setUpArchive() {
    PatientArchiveAction = new QAction(kArchiveCaption + QStringLiteral("..."), this);
    PatientArchiveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    PatientArchiveAction->setShortcutContext(Qt::WindowShortcut);
    addAction(PatientArchiveAction);
    connect(PatientArchiveAction, &QAction::triggered, this,
            guarded(&TTMForm::PatientArchiveClick));
    ArchiveSettingsAction = new QAction(QStringLiteral("Настройка архива..."), this);
    connect(ArchiveSettingsAction, &QAction::triggered, this,
            guarded(&TTMForm::ArchiveSettingsClick));
    BottomBarMenu->addSeparator();
    BottomBarMenu->addAction(PatientArchiveAction);
    BottomBarMenu->addAction(ArchiveSettingsAction);
}

Archive& TTMForm::archive() {
    if (!archive_) {
        const QString url = readArchiveUrl(platform_.programDir, platform_.userConfigDir);
        archive_ = std::make_unique<Archive>(url.isEmpty() ? embeddedIn(platform_.dataDir)
                                                           : parseArchiveUrl(url));
    }
    return *archive_;
}

void TTMForm::keepLater(KeepSource source, const QString& fileName) {
    pendingKeeps_.push_back({std::make_unique<Image>(day_->deviceImage()), source, fileName,
                             shownDoctorName(VName->text())});
    if (pendingKeeps_.size() > kMaxPendingKeeps) pendingKeeps_.erase(pendingKeeps_.begin());
    QTimer::singleShot(0, this, guarded(&TTMForm::keepPending));
}

void TTMForm::keepPending() {
    try {
        while (!pendingKeeps_.empty()) {
            const PendingKeep& day = pendingKeeps_.front();
            archive().keep(*day.image, day.source, day.fileName, day.doctor);
            pendingKeeps_.erase(pendingKeeps_.begin());
        }
    } catch (const ArchiveError& error) {
        platform_.dialogs.message(kArchiveCaption,
                                  kNotKeptText.arg(QString::fromUtf8(error.what())),
                                  MsgIcon::Warning, MbOk);
    }
}

void TTMForm::PatientArchiveClick() {
    if (!PatientArchive) {
        PatientArchive = new PatientArchiveDialog(this);
        PatientArchiveDialog* dialog = PatientArchive;
        connect(dialog->Search, &QLineEdit::textChanged, this,
                guarded(&TTMForm::ArchiveSearchChange));
        connect(dialog->Patients, &QTableWidget::itemSelectionChanged, this,
                guarded(&TTMForm::ArchivePatientChange));
        connect(dialog->OpenDay, &QPushButton::clicked, this, guarded(&TTMForm::ArchiveOpenClick));
        connect(dialog->Days, &QTableWidget::cellDoubleClicked, this,
                guarded(&TTMForm::ArchiveOpenClick));
        connect(dialog->CompareDay, &QPushButton::clicked, this,
                guarded(&TTMForm::ArchiveCompareClick));
    }
    ArchiveSearchChange();
    PatientArchive->show();
    PatientArchive->raise();
    PatientArchive->activateWindow();
    PatientArchive->Search->setFocus();
}

void TTMForm::ArchiveSearchChange() {
    PatientArchiveDialog& dialog = *PatientArchive;
    archivePatients_.clear();
    const QSignalBlocker quiet(dialog.Patients);
    dialog.Patients->setRowCount(0);
    try {
        archivePatients_ = groupPatients(archive().list(dialog.Search->text().trimmed()));
        showProblem(dialog.Status, describeArchive(archive().address()), false);
    } catch (const ArchiveError& error) {
        showProblem(dialog.Status, QString::fromUtf8(error.what()), true);
    }
    dialog.Patients->setRowCount(static_cast<int>(archivePatients_.size()));
    for (int row = 0; row < dialog.Patients->rowCount(); ++row) {
        const Patient& patient = archivePatients_[static_cast<std::size_t>(row)];
        dialog.Patients->setItem(row, 0, cell(patient.name));
        dialog.Patients->setItem(row, 1, cell(patient.sex, Qt::AlignHCenter));
        dialog.Patients->setItem(row, 2, cell(patient.age, Qt::AlignRight));
        dialog.Patients->setItem(row, 3,
                                 cell(QString::number(patient.days.size()), Qt::AlignRight));
    }
    if (!archivePatients_.empty()) dialog.Patients->selectRow(0);
    ArchivePatientChange();
}

const Patient* TTMForm::chosenPatient() const {
    const int row = PatientArchive ? PatientArchive->Patients->currentRow() : -1;
    if (row < 0 || static_cast<std::size_t>(row) >= archivePatients_.size()) return nullptr;
    return &archivePatients_[static_cast<std::size_t>(row)];
}

void TTMForm::ArchivePatientChange() {
    PatientArchiveDialog& dialog = *PatientArchive;
    dialog.Days->setRowCount(0);
    const Patient* patient = chosenPatient();
    if (!patient) {
        dialog.Trend->setPoints({});
        return;
    }
    // Every number is decoded from the kept bytes, as the window would show them; the
    // days' bytes come in one query and each day is evaluated once. Bytes that cannot be
    // read leave the numbers and the trend empty, the days still listed to open the others.
    std::vector<DayOverview> overviews;
    try {
        overviews = dayOverviews(archive(), patient->days);
    } catch (const ArchiveError& error) {
        showProblem(dialog.Status, QString::fromUtf8(error.what()), true);
    }
    const bool evaluated = overviews.size() == patient->days.size();
    dialog.Days->setRowCount(static_cast<int>(patient->days.size()));
    for (int row = 0; row < dialog.Days->rowCount(); ++row) {
        const KeptDay& day = patient->days[static_cast<std::size_t>(row)];
        QTableWidgetItem* date = cell(day.date);
        date->setData(Qt::UserRole, day.id);
        dialog.Days->setItem(row, 0, date);
        if (!evaluated) continue;
        const DayOverview& overview = overviews[static_cast<std::size_t>(row)];
        dialog.Days->setItem(row, 1, cell(QString::number(overview.voidings), Qt::AlignRight));
        dialog.Days->setItem(row, 2, cell(number(overview.largestVolume, 0), Qt::AlignRight));
        dialog.Days->setItem(row, 3, cell(number(overview.highestQmax, 1), Qt::AlignRight));
    }
    dialog.Days->selectRow(dialog.Days->rowCount() - 1);
    dialog.Trend->setPoints(patientTrend(*patient, overviews));
}

std::optional<qint64> TTMForm::chosenArchiveDay() const {
    if (!PatientArchive) return std::nullopt;
    const QTableWidgetItem* date =
        PatientArchive->Days->item(PatientArchive->Days->currentRow(), 0);
    if (!date) return std::nullopt;
    return date->data(Qt::UserRole).toLongLong();
}

void TTMForm::ArchiveOpenClick() {
    const std::optional<qint64> id = chosenArchiveDay();
    if (!id) return;
    // Read before anything changes: a day that cannot be read leaves the window as it was.
    const auto day = std::make_unique<Image>(archive().image(*id));
    resetViewForLoad();
    day_->loadImage(*day);
    showLoadedImage({});
}

void TTMForm::ArchiveCompareClick() {
    const std::optional<qint64> id = chosenArchiveDay();
    if (!id) return;
    if (!NomS->isEnabled()) {
        platform_.dialogs.message(kArchiveCaption, kNoDayToCompareText, MsgIcon::Information, MbOk);
        return;
    }
    const auto day = std::make_unique<Image>(archive().image(*id));
    holdArchiveDay(*day);
    placeArchiveDay();
}

void TTMForm::ArchiveSettingsClick() {
    if (!ArchiveSettings) {
        ArchiveSettings = new ArchiveSettingsDialog(this);
        ArchiveSettingsDialog* dialog = ArchiveSettings;
        for (QRadioButton* kind : {dialog->Embedded, dialog->Server}) {
            connect(kind, &QRadioButton::toggled, this,
                    guarded(&TTMForm::ArchiveSettingsKindClick));
        }
        connect(dialog->Url, &QLineEdit::textChanged, this,
                guarded(&TTMForm::ArchiveSettingsKindClick));
        connect(dialog->TestConnection, &QPushButton::clicked, this,
                guarded(&TTMForm::ArchiveSettingsTestClick));
        connect(dialog->Buttons, &QDialogButtonBox::accepted, this,
                guarded(&TTMForm::ArchiveSettingsAccept));
        connect(dialog->Buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    }
    const QString url = readArchiveUrl(platform_.programDir, platform_.userConfigDir);
    ArchiveSettings->Url->setText(url);
    (url.isEmpty() ? ArchiveSettings->Embedded : ArchiveSettings->Server)->setChecked(true);
    ArchiveSettingsKindClick();
    ArchiveSettings->Result->clear();
    ArchiveSettings->open();
}

namespace {

// The archive the settings dialog names; throws ArchiveError for a URL it cannot use.
ArchiveAddress chosenAddress(const ArchiveSettingsDialog& dialog, const QString& dataDir) {
    if (dialog.Embedded->isChecked()) return embeddedIn(dataDir);
    if (dialog.Url->text().trimmed().isEmpty()) {
        throw ArchiveError("Укажите адрес сервера: postgresql://пользователь@сервер:5432/база");
    }
    return parseArchiveUrl(dialog.Url->text());
}

}  // namespace

void TTMForm::ArchiveSettingsKindClick() {
    ArchiveSettingsDialog& dialog = *ArchiveSettings;
    dialog.Url->setEnabled(dialog.Server->isChecked());
    try {
        showProblem(dialog.Location, describeArchive(chosenAddress(dialog, platform_.dataDir)),
                    false);
    } catch (const ArchiveError& error) {
        showProblem(dialog.Location, QString::fromUtf8(error.what()), true);
    }
}

void TTMForm::ArchiveSettingsTestClick() {
    ArchiveSettingsDialog& dialog = *ArchiveSettings;
    try {
        Archive trial(chosenAddress(dialog, platform_.dataDir));
        showProblem(dialog.Result, kConnectedText.arg(trial.list().size()), false);
    } catch (const ArchiveError& error) {
        showProblem(dialog.Result, QString::fromUtf8(error.what()), true);
    }
}

void TTMForm::ArchiveSettingsAccept() {
    ArchiveSettingsDialog& dialog = *ArchiveSettings;
    QString url;
    try {
        if (dialog.Server->isChecked()) {
            chosenAddress(dialog, platform_.dataDir);
            url = dialog.Url->text().trimmed();
        }
    } catch (const ArchiveError& error) {
        showProblem(dialog.Result, QString::fromUtf8(error.what()), true);
        return;
    }
    if (!writeArchiveUrl(platform_.programDir, platform_.userConfigDir, url)) {
        showProblem(dialog.Result, kSettingsNotWrittenText, true);
        return;
    }
    archive_.reset();
    dialog.accept();
    if (PatientArchive && PatientArchive->isVisible()) ArchiveSearchChange();
}

}  // namespace uroflow
