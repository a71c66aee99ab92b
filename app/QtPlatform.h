#pragma once
// The real platform: Qt message boxes and file dialogs, the system clock and
// the system beep.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QPrinter;

#include "app/Beeper.h"
#include "app/Clock.h"
#include "app/Dialogs.h"

class QMessageBox;

namespace uroflow {

// The box QtDialogs::message shows (`buttons` a combination of MsgButton), not yet shown.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* owner, const QString& caption,
                                            const QString& text, MsgIcon icon, int buttons);

class QtDialogs : public Dialogs {
  public:
    // Boxes and dialogs are modal to this window once it exists.
    void setOwner(QWidget* owner) { owner_ = owner; }

    MsgButton message(const QString& caption, const QString& text, MsgIcon icon,
                      int buttons) override;
    void showError(const QString& text) override;
    QString openFileName(const FileDialogSpec& which) override;
    QString saveFileName(const FileDialogSpec& which) override;
    bool printerSetup() override;
    std::optional<NightWindow> sleepPeriod(const NightWindow& current) override;
    // The printer whose settings the set-up dialog changes.
    void setPrinter(QPrinter* printer) { printer_ = printer; }

  private:
    QString runFileDialog(const FileDialogSpec& which, bool save);

    QPointer<QWidget> owner_;
    QPrinter* printer_ = nullptr;
    // Last name chosen in each dialog, by dialog id.
    QHash<QString, QString> lastNames_;
};

class SystemClock : public Clock {
  public:
    QDateTime now() const override;
    std::int64_t steadyMs() const override;
};

class QtBeeper : public Beeper {
  public:
    void beep() override;
};

}  // namespace uroflow
