// The day report from the window: Ctrl+D or the bottom bar's context menu, a save
// dialog, the PDF of the day on screen.

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <optional>
#include <vector>

#include "app/ActionFollower.h"
#include "app/DayReportPdf.h"
#include "app/Dialogs.h"
#include "app/FileDialogs.h"
#include "app/Settings.h"
#include "app/Shape.h"
#include "app/Unit1.h"
#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "files/SaveName.h"

namespace uroflow {

namespace {

// Opens the bottom bar's menu on a right click on one of its panels or buttons, also a
// disabled button (Qt's disabled buttons swallow the click, so it never reaches the
// window).
class BottomBarMenuOpener : public QObject {
  public:
    explicit BottomBarMenuOpener(QMenu* menu) : QObject(menu), menu_(menu) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu) return false;
        menu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }

  private:
    QMenu* menu_;
};

const QString kSleepPeriodCaption = QStringLiteral("Период сна");

std::string utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

void TTMForm::setUpDayReport() {
    DayReportAction = new QAction(QStringLiteral("Отчет за сутки (PDF)..."), this);
    DayReportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    DayReportAction->setShortcutContext(Qt::WindowShortcut);
    addAction(DayReportAction);
    connect(DayReportAction, &QAction::triggered, this,
            [this] { guard([this] { DayReportClick(); }); });
    // The report needs a day on screen, which "В файл" being enabled tells; it is also
    // made while the nomogram (which hides that button) is shown, with its comparison.
    new ActionFollower(SaveFileData, DayReportAction, ActionFollower::Follow::Enabled);

    BottomBarMenu = new QMenu(this);
    // The day report among the other commands with keys.
    setUpShortcuts();
    // The edits keep their own menus.
    auto* opener = new BottomBarMenuOpener(BottomBarMenu);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (bottomBar().contains(child->geometry()) && !qobject_cast<QLineEdit*>(child))
            child->installEventFilter(opener);
    }
}

QRect TTMForm::bottomBar() const {
    // The row of the three lower panels with the buttons on them.
    return Shape4->geometry().united(Shape3->geometry()).united(Shape2->geometry());
}

void TTMForm::contextMenuEvent(QContextMenuEvent* event) {
    // Between the panels.
    if (!bottomBar().contains(event->pos())) {
        QWidget::contextMenuEvent(event);
        return;
    }
    BottomBarMenu->popup(event->globalPos());
    event->accept();
}

void TTMForm::DayReportClick() {
    if (!DayReportAction->isEnabled()) return;
    const std::optional<NightWindow> sleep = platform_.dialogs.sleepPeriod(
        readSleepPeriod(platform_.programDir, platform_.userConfigDir));
    if (!sleep) return;
    if (!writeSleepPeriod(platform_.programDir, platform_.userConfigDir, *sleep)) {
        platform_.dialogs.message(kSleepPeriodCaption,
                                  QStringLiteral("Период сна не удалось сохранить в rdp.ini: "
                                                 "отчет составляется с ним, но в следующий раз "
                                                 "будет предложен прежний."),
                                  MsgIcon::Warning, MbOk);
    }
    const FileDialogSpec dialog{
        QStringLiteral("DayReportDialog"), QStringLiteral("Документ PDF (*.pdf)"),
        QStringLiteral("pdf"),
        QString::fromStdString(dayReportFileName(utf8(Name->text()), utf8(DataStart->text())))};
    QString chosen = platform_.dialogs.saveFileName(dialog);
    if (chosen.isEmpty()) return;
    if (fileExtension(QFile::encodeName(chosen).toStdString()).empty())
        chosen += QStringLiteral(".pdf");

    // The passport as the window shows it: the doctor may have corrected it.
    Passport shown;
    if (sexM->isChecked()) shown.sex = Sex::Male;
    if (sexF->isChecked()) shown.sex = Sex::Female;
    shown.name = utf8(Name->text());
    shown.age = utf8(Old->text());
    shown.date = utf8(DataStart->text());
    // The placeholder of an unset name is no doctor's name.
    const QString doctor = shownDoctorName(VName->text());
    // The day as the window holds it, with the studies the doctor left out.
    const DayReport report = buildDayReport(*day_);
    DaySheet sheet = buildDaySheet(report, shown, utf8(doctor), *sleep);
    // The archived day the doctor compares with on screen is on the page too.
    if (archiveOnScreen()) {
        const std::vector<EvaluatedStudy> archive = day_->evaluateArchive();
        for (std::size_t j = 0; j < archive.size(); ++j)
            sheet.archivePoints.push_back(
                {static_cast<int>(j) + 1, archive[j].volume, archive[j].qmax});
        sheet.archiveDate = utf8(archiveDate());
    }
    writeDayReportPdf(sheet, nativePath(chosen));
}

}  // namespace uroflow
