// Keyboard handling: the key preview of the window, the Ctrl+Shift chord that
// reveals the calibration controls, and the input discipline of the age field.

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <algorithm>

#include "app/Unit1.h"
#include "study/AgeInput.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

char16_t decimalSeparator() {
    return QLocale().decimalPoint().front().unicode();
}

}  // namespace

bool TTMForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget))) return false;
    auto* key = static_cast<QKeyEvent*>(event);

    // A key its control leaves alone is offered to the parents as the same event:
    // the window previews it once, at the control.
    const bool propagated = event == previewedEvent_ && type == previewedType_ &&
                            key->timestamp() == previewedTimestamp_ && previewedWidget_ &&
                            widget != previewedWidget_ && widget->isAncestorOf(previewedWidget_);
    previewedEvent_ = event;
    previewedType_ = type;
    previewedTimestamp_ = key->timestamp();
    previewedWidget_ = widget;
    if (propagated) return false;

    if (type == QEvent::KeyPress) {
        // A modifier key's own press may not yet carry its flag.
        Qt::KeyboardModifiers shift = key->modifiers();
        if (key->key() == Qt::Key_Shift) shift |= Qt::ShiftModifier;
        if (key->key() == Qt::Key_Control) shift |= Qt::ControlModifier;
        guard([&] { FormKeyDown(key->key(), shift); });
        return widget == Old && filterOldKeyPress(key);
    }
    // Held keys repeat their press, not their release.
    if (widget == Old && !key->isAutoRepeat()) {
        guard([&] { OldKeyUp(Old, key->key(), key->modifiers()); });
    }
    return false;
}

// True when the key is taken away from the edit.
bool TTMForm::filterOldKeyPress(QKeyEvent* key) {
    // Keys that type no character move or delete in the edit by themselves; Tab
    // moves the focus before any character is typed.
    if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
        key->key() == Qt::Key_Backtab)
        return false;
    const QChar typed = key->text().front();
    QChar accepted = typed;
    guard([&] { OldKeyPress(Old, accepted); });
    if (accepted.isNull()) return true;
    if (accepted == typed) return false;
    Old->insert(QString(accepted));
    return true;
}

void TTMForm::FormKeyDown(int, Qt::KeyboardModifiers Shift) {
    if (Shift.testFlag(Qt::ControlModifier) && Shift.testFlag(Qt::ShiftModifier)) {
        Calibr->setVisible(true);
        Edit_Calibr->setVisible(true);
    }
}

void TTMForm::OldKeyPress(QLineEdit* Sender, QChar& Key) {
    const std::optional<char16_t> accepted =
        ageKeyPress(Key.unicode(), Sender->text().toStdU16String(), decimalSeparator());
    Key = accepted ? QChar(*accepted) : QChar();
}

void TTMForm::OldKeyUp(QLineEdit* Sender, int Key, Qt::KeyboardModifiers) {
    const AgeKeyUp up = ageKeyUp(
        {Sender->text().toStdU16String(), static_cast<std::size_t>(Sender->cursorPosition())},
        Key == Qt::Key_Backspace, decimalSeparator());
    const QString text = QString::fromStdU16String(up.field.text);
    if (text != Sender->text()) {
        // Qt limits assigned texts as well as typed ones; the "0" put in front of a
        // separator is not typed and may go past the limit.
        if (oldTypedLimit_ == 0) oldTypedLimit_ = Sender->maxLength();
        Sender->setMaxLength(std::max<int>(oldTypedLimit_, static_cast<int>(text.size())));
        Sender->setText(text);
    }
    Sender->setCursorPosition(static_cast<int>(up.field.caret));
    if (up.error) throw RuntimeError(*up.error);
}

}  // namespace uroflow
