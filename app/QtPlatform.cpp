#include "app/QtPlatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QSpacerItem>
#include <chrono>
#include <memory>

#include "app/SleepPeriodDialog.h"

namespace uroflow {

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    MsgButton ours;
    QMessageBox::StandardButton qt;
};

constexpr ButtonPair kButtons[] = {{MbOk, QMessageBox::Ok},
                                   {MbYes, QMessageBox::Yes},
                                   {MbNo, QMessageBox::No},
                                   {MbCancel, QMessageBox::Cancel}};

// Room the window system's title bar takes beside the caption: its icon and buttons.
constexpr int kTitleBarExtra = 160;

// Window managers cut a caption wider than its box ("Проверк... й части"); the box is
// made wide enough for its caption in a bold title font.
void fitCaption(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont title = QApplication::font("QMdiSubWindowTitleBar");
    title.setBold(true);
    const int width = QFontMetrics(title).horizontalAdvance(caption) + kTitleBarExtra;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// The first file pattern of a filter such as "Книга Exel (*.xlsx)", without "*.".
QString suffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* owner, const QString& caption,
                                            const QString& text, MsgIcon icon, int buttons) {
    auto box =
        std::make_unique<QMessageBox>(toQt(icon), caption, text, QMessageBox::NoButton, owner);
    for (const ButtonPair& b : kButtons) {
        if (buttons & b.ours) box->addButton(b.qt);
    }
    // A question before a change to the uroflowmeter sends nothing on Enter or Esc: only
    // "Да" chosen on purpose does.
    const QMessageBox::StandardButton unchanged = (buttons & MbNo)       ? QMessageBox::No
                                                  : (buttons & MbCancel) ? QMessageBox::Cancel
                                                                         : QMessageBox::NoButton;
    if (unchanged != QMessageBox::NoButton) {
        box->setDefaultButton(unchanged);
        box->setEscapeButton(unchanged);
    }
    fitCaption(*box, caption);
    return box;
}

MsgButton QtDialogs::message(const QString& caption, const QString& text, MsgIcon icon,
                             int buttons) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(owner_, caption, text, icon, buttons);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box->exec());
    for (const ButtonPair& b : kButtons) {
        if ((buttons & b.ours) && pressed == b.qt) return b.ours;
    }
    // Closed without a button: the answer that changes nothing.
    if (buttons & MbCancel) return MbCancel;
    if (buttons & MbNo) return MbNo;
    return MbOk;
}

void QtDialogs::showError(const QString& text) {
    QMessageBox::critical(owner_, QStringLiteral("Урофлоуметрия"), text, QMessageBox::Ok);
}

QString QtDialogs::openFileName(const FileDialogSpec& which) {
    return runFileDialog(which, false);
}

QString QtDialogs::saveFileName(const FileDialogSpec& which) {
    return runFileDialog(which, true);
}

bool QtDialogs::printerSetup() {
    if (!printer_) return false;
    QPrintDialog dialog(printer_, owner_);
    // One page of the window: copies and ranges are the printer's business.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<NightWindow> QtDialogs::sleepPeriod(const NightWindow& current) {
    SleepPeriodDialog dialog(current, owner_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.period();
}

QString QtDialogs::runFileDialog(const FileDialogSpec& which, bool save) {
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A chosen file is replaced without a question.
    if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(which.filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    if (!which.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(which.defaultSuffix);
        // A name typed without extension takes the extension of the type chosen.
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, &which](const QString& filter) {
                const QString suffix = suffixOf(filter);
                dialog.setDefaultSuffix(suffix.isEmpty() ? which.defaultSuffix : suffix);
            });
    }
    if (!which.selectedFilter.isEmpty()) {
        dialog.selectNameFilter(which.selectedFilter);
        dialog.setDefaultSuffix(suffixOf(which.selectedFilter));
    }
    const QString last = lastNames_.value(which.id);
    if (!last.isEmpty()) dialog.setDirectory(QFileInfo(last).absolutePath());
    if (!which.proposedName.isEmpty()) {
        dialog.selectFile(which.proposedName);
    } else if (!last.isEmpty()) {
        dialog.selectFile(last);
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty()) lastNames_.insert(which.id, chosen);
    return chosen;
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

std::int64_t SystemClock::steadyMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void QtBeeper::beep() {
    QApplication::beep();
}

}  // namespace uroflow
