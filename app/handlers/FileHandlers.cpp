// Saving the day to a study file and loading it back.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "app/Dialogs.h"
#include "app/FileDialogs.h"
#include "app/MemoText.h"
#include "app/Unit1.h"
#include "charts/ChartView.h"
#include "files/SaveName.h"
#include "files/StudyFile.h"

namespace uroflow {

void TTMForm::SaveFileDataClick() {
    saveDay(kSaveDialog1);
}

void TTMForm::ExcelExportClick() {
    if (!ExcelAction->isEnabled()) return;
    saveDay(kExcelDialog);
}

void TTMForm::saveDay(const FileDialogSpec& dialog) {
    const QString chosen = platform_.dialogs.saveFileName(dialog);
    if (chosen.isEmpty()) return;

    switch (classifySaveName(nativePath(chosen))) {
        case SaveTarget::Rejected:
            platform_.dialogs.message(QString::fromUtf8(kSaveRejectedCaption),
                                      QString::fromUtf8(kSaveRejectedText), MsgIcon::Information,
                                      MbOk);
            return;
        case SaveTarget::Excel:
            ExportExcel(chosen);
            return;
        case SaveTarget::StudyFile: {
            // The dialog is asked once more, opening on the name just chosen.
            const QString confirmed = platform_.dialogs.saveFileName(kSaveDialog1);
            if (confirmed.isEmpty()) return;
            writeStudyFile(withDefaultSuffix(nativePath(confirmed)), day_->deviceImage());
            return;
        }
    }
}

void TTMForm::LoadFileClick() {
    const QString path = platform_.dialogs.openFileName(kOpenDialog1);
    // Cancelled: the day, its include flags and the view stay as they were.
    if (path.isEmpty()) return;
    LoadFileNamed(nativePath(path));
}

void TTMForm::LoadFileNamed(const std::string& path) {
    // Read before anything changes: a file that cannot be read leaves the day on
    // screen, and everything that works on it, as it was.
    auto loaded = std::make_unique<Image>();
    readStudyFile(path, *loaded);
    resetViewForLoad();
    day_->loadImage(*loaded);
    // The archive records where the day came from as text.
    keepLater(KeepSource::File, QFile::decodeName(QByteArray::fromStdString(path)));
    showLoadedImage({});
}

void TTMForm::resetViewForLoad() {
    leaveNomogram();
    charts.ChartGraf->setVisible(true);
}

void TTMForm::showLoadedImage(const LoadSteps& steps) {
    if (steps.passport) Edit_byteArray();
    if (!steps.studies) {
        day_->dropStudies();
        return;
    }
    day_->scan(steps.scan);
    EnNom->setChecked(true);
    const std::uint16_t count = day_->studyCount();
    if (!steps.download || count > 0) setMemoText(Mnt, QString::number(count));
    if (steps.download) showBatteryState();
    Graf_byteArray(nporValue());
    if (steps.download) return;
    for (QWidget* control : studyCommands()) control->setEnabled(true);
    for (QWidget* control : studyNavigation()) control->setEnabled(true);
    Prev->setEnabled(false);
}

}  // namespace uroflow
