// Saving the day to a study file and loading it back.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
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
            writeStudyFile(withDefaultSuffix(nativePath(confirmed)), DeviceImage);
            return;
        }
    }
}

void TTMForm::LoadFileClick() {
    resetViewForLoad();
    const QString path = platform_.dialogs.openFileName(kOpenDialog1);
    // After a cancel the image already held is scanned and shown again.
    if (!path.isEmpty()) replaceImageFromFile(path);
    showLoadedImage({});
}

void TTMForm::LoadFileNamed(const QString& path) {
    resetViewForLoad();
    replaceImageFromFile(path);
    showLoadedImage({});
}

void TTMForm::resetViewForLoad() {
    leaveNomogram();
    ChartGraf->setVisible(true);
    CurStudy = 0;
    StudyCount = 0;
    CurStudyStart = kStudyAreaStart;
}

void TTMForm::replaceImageFromFile(const QString& path) {
    // Read into a scratch image first: a failed load must not leave a broken
    // image behind the day still on screen (a later save would write it).
    auto loaded = std::make_unique<Image>();
    readStudyFile(nativePath(path), *loaded);
    DeviceImage = *loaded;
}

void TTMForm::showLoadedImage(const LoadSteps& steps) {
    CurStudyStart = kStudyAreaStart;
    StudyCount = 0;
    if (steps.passport) Edit_byteArray();
    if (!steps.studies) {
        std::copy_n(DeviceImage.begin(), kMemorySize, WorkImage.begin());
        return;
    }
    scanStudies(DeviceImage, ScannedImage, StudyStarts, StudyCount, steps.scan.lastOffset,
                steps.scan.clearAfterLast);
    WorkImage = ScannedImage;
    // A new day: a study left out for the last patient is not left out for this one.
    NomInclude.fill(true);
    EnNom->setChecked(true);
    if (!steps.download || StudyCount > 0) setMemoText(Mnt, QString::number(StudyCount));
    if (steps.download) showBatteryState();
    Graf_byteArray(nporValue());
    if (steps.download) return;
    for (QWidget* control : studyCommands()) control->setEnabled(true);
    for (QWidget* control : studyNavigation()) control->setEnabled(true);
    Prev->setEnabled(false);
}

}  // namespace uroflow
