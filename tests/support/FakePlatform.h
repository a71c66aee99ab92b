#pragma once
// Test doubles of the window's platform seams: dialogs that answer from a
// script and record what was asked, a settable clock, a beep counter and the
// simulated uroflowmeter in place of the reader.

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Beeper.h"
#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Platform.h"
#include "app/Printer.h"
#include "files/Spreadsheet.h"
#include "reader/SimulatedUroflowmeter.h"

namespace uroflow::test {

struct RecordedMessage {
    QString caption;
    QString text;
    MsgIcon icon = MsgIcon::None;
    int buttons = 0;
};

class FakeDialogs : public Dialogs {
  public:
    MsgButton message(const QString& caption, const QString& text, MsgIcon icon,
                      int buttons) override;
    void showError(const QString& text) override;
    QString openFileName(const FileDialogSpec& which) override;
    QString saveFileName(const FileDialogSpec& which) override;
    bool printerSetup() override;

    // Script: the next answers, in order. Without a scripted answer a message
    // box answers with the first button it offers (Ok, Yes, No, Cancel order);
    // a file dialog without a scripted name is cancelled (empty name).
    std::deque<MsgButton> answers;
    std::deque<QString> openNames;
    std::deque<QString> saveNames;
    bool printerSetupConfirmed = true;
    // Runs while a message box is "open", after it was recorded: what happens
    // meanwhile in the event loop of a real box.
    std::function<void(const RecordedMessage&)> onMessage;

    // What the window asked.
    std::vector<RecordedMessage> messages;
    QStringList errors;
    std::vector<FileDialogSpec> openSpecs;
    std::vector<FileDialogSpec> saveSpecs;
    int printerSetups = 0;
};

// A printer that keeps what it was given. `whilePrinting` runs in place of the
// printing, while the window shows its print appearance; `failure` makes every
// print fail with that text.
class FakePrinter : public Printer {
  public:
    void printFitted(const QPicture& picture, const QSize& size) override;

    std::function<void()> whilePrinting;
    std::optional<QString> failure;
    int pages = 0;
    QSize lastSize;
};

class FakeClock : public Clock {
  public:
    QDateTime now() const override { return current; }
    // Moves with `current`, so a test advances both at once.
    std::int64_t steadyMs() const override { return current.toMSecsSinceEpoch(); }
    QDateTime current{QDate(2026, 3, 5), QTime(7, 4)};
};

class FakeBeeper : public Beeper {
  public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

// The spreadsheet application: records every call of the export in order.
class FakeSpreadsheet : public Spreadsheet {
  public:
    std::unique_ptr<SpreadsheetSession> connect() override;

    // Script.
    bool available = true;            // false: neither attaching nor creating works
    std::string saveError;            // not empty: saveAs fails with this text
    std::function<void()> onConnect;  // runs inside connect, to look at the screen

    // What the export did, one entry per call: "connect", "visible 1", "workbook",
    // "sheet 1", "text R C <text>", "int R C <value>", "double R C <value>",
    // "saveAs <path>", "close", "release".
    std::vector<std::string> calls;
};

// Everything a window under test needs; the folders are fresh and removed
// with the object.
struct FakePlatform {
    FakeDialogs dialogs;
    FakeClock clock;
    FakeBeeper beeper;
    // The reader seam's fake is the simulated uroflowmeter itself; unplugged.
    SimulatedUroflowmeter reader;
    FakePrinter printer;
    FakeSpreadsheet spreadsheet;
    QTemporaryDir programDir;
    QTemporaryDir userConfigDir;
    // The embedded patient archive of the window under test.
    QTemporaryDir dataDir;

    Platform platform();
    // The same with another printer (the real one, printing to a file).
    Platform platform(Printer& otherPrinter);
};

}  // namespace uroflow::test
