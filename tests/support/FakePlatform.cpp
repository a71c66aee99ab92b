#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <sstream>

#include "study/RuntimeError.h"

namespace uroflow::test {

namespace {

MsgButton firstOffered(int buttons) {
    for (MsgButton b : {MbOk, MbYes, MbNo, MbCancel}) {
        if (buttons & b) return b;
    }
    return MbOk;
}

QString nextName(std::deque<QString>& names) {
    if (names.empty()) return {};
    QString name = names.front();
    names.pop_front();
    return name;
}

class FakeSession : public SpreadsheetSession {
  public:
    explicit FakeSession(FakeSpreadsheet& app) : app_(app) {}
    ~FakeSession() override { app_.calls.push_back("release"); }

    void setVisible(bool visible) override { record("visible", visible); }
    void addWorkbook() override { record("workbook"); }
    void selectWorksheet(int number) override { record("sheet", number); }
    void setText(int row, int column, const std::string& utf8) override {
        record("text", row, column, utf8);
    }
    void setInteger(int row, int column, std::int64_t value) override {
        record("int", row, column, value);
    }
    void setDouble(int row, int column, double value) override {
        record("double", row, column, value);
    }
    void saveAs(const std::string& path) override {
        record("saveAs", path);
        if (!app_.saveError.empty()) throw RuntimeError(app_.saveError);
    }
    void close() override { record("close"); }

  private:
    template <typename... Args>
    void record(const char* call, const Args&... args) {
        std::ostringstream entry;
        entry << call;
        ((entry << ' ' << args), ...);
        app_.calls.push_back(entry.str());
    }

    FakeSpreadsheet& app_;
};

}  // namespace

std::unique_ptr<SpreadsheetSession> FakeSpreadsheet::connect() {
    calls.push_back("connect");
    if (onConnect) onConnect();
    if (!available) return nullptr;
    return std::make_unique<FakeSession>(*this);
}

MsgButton FakeDialogs::message(const QString& caption, const QString& text, MsgIcon icon,
                               int buttons) {
    messages.push_back({caption, text, icon, buttons});
    // A copy: the hook may open further boxes.
    if (onMessage) onMessage(RecordedMessage(messages.back()));
    if (answers.empty()) return firstOffered(buttons);
    const MsgButton answer = answers.front();
    answers.pop_front();
    // A scripted answer the box does not offer is a fault of the test script.
    if (!(buttons & answer)) {
        ADD_FAILURE() << "scripted answer " << answer << " is not among the buttons " << buttons
                      << " of \"" << text.toStdString() << "\"";
    }
    return answer;
}

void FakeDialogs::showError(const QString& text) {
    errors.append(text);
}

QString FakeDialogs::openFileName(const FileDialogSpec& which) {
    openSpecs.push_back(which);
    return nextName(openNames);
}

QString FakeDialogs::saveFileName(const FileDialogSpec& which) {
    saveSpecs.push_back(which);
    return nextName(saveNames);
}

bool FakeDialogs::printerSetup() {
    ++printerSetups;
    return printerSetupConfirmed;
}

void FakePrinter::printFitted(const QPicture&, const QSize& size) {
    if (whilePrinting) whilePrinting();
    if (failure) throw RuntimeError(failure->toStdString());
    ++pages;
    lastSize = size;
}

Platform FakePlatform::platform() {
    return platform(printer);
}

Platform FakePlatform::platform(Printer& otherPrinter) {
    return Platform{dialogs, clock,        beeper,      programDir.path(), userConfigDir.path(),
                    reader,  otherPrinter, spreadsheet, dataDir.path()};
}

}  // namespace uroflow::test
