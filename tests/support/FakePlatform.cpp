#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

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

}  // namespace

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

Platform FakePlatform::platform() {
    return Platform{dialogs, clock, beeper, programDir.path(), userConfigDir.path(), reader};
}

}  // namespace uroflow::test
