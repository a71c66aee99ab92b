#pragma once
// Seam for every modal dialog the window opens.

#include <QString>
#include <optional>

#include "files/NightWindow.h"

namespace uroflow {

enum class MsgIcon { None, Information, Warning, Error, Question };

// Buttons of a message box, combinable as flags; the answer is one of them.
enum MsgButton : int { MbOk = 1, MbYes = 2, MbNo = 4, MbCancel = 8 };

// One file dialog of the window: it remembers the last name chosen in it.
struct FileDialogSpec {
    QString id;             // "OpenDialog1", "SaveDialog1"
    QString filter;         // Qt filter: "Name (*.txt);;Other (*.xlsx)"
    QString defaultSuffix;  // without dot; empty for none
    // A file name to offer, in the folder last chosen in this dialog; empty: the dialog
    // offers the last name chosen in it.
    QString proposedName = {};
    // The type chosen when the dialog opens, one of `filter`'s; empty: the first.
    QString selectedFilter = {};
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Modal message box owned by the main window; returns the button pressed.
    virtual MsgButton message(const QString& caption, const QString& text, MsgIcon icon,
                              int buttons) = 0;
    // The application's general error box for runtime errors.
    virtual void showError(const QString& text) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString openFileName(const FileDialogSpec& which) = 0;
    virtual QString saveFileName(const FileDialogSpec& which) = 0;
    // The printer set-up dialog; true when the user confirmed it. Cancelling keeps
    // the printer settings as they were.
    virtual bool printerSetup() = 0;
    // The sleep period the day report's night figures assume, offered as `current`;
    // empty when the user cancelled.
    virtual std::optional<NightWindow> sleepPeriod(const NightWindow& current) = 0;
};

}  // namespace uroflow
