// The keys a clinic expects beside the buttons: each does exactly what its button does,
// and nothing while the button is off or hidden; the bottom bar's menu lists them.

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>

#include "app/ActionFollower.h"
#include "app/Unit1.h"

namespace uroflow {

namespace {

// One shortcut: the button it presses, or none for an action of its own.
struct Shortcut {
    QAction* TTMForm::*action;
    const char* text;
    QKeySequence keys;
    QPushButton* TTMForm::*button;
};

}  // namespace

void TTMForm::setUpShortcuts() {
    const Shortcut files[] = {
        {&TTMForm::LoadFileAction, "Из файла...", QKeySequence(Qt::CTRL | Qt::Key_O),
         &TTMForm::LoadFile},
        {&TTMForm::SaveFileAction, "В файл...", QKeySequence(Qt::CTRL | Qt::Key_S),
         &TTMForm::SaveFileData},
        {&TTMForm::ExcelAction, "Экспорт в Excel...", QKeySequence(Qt::CTRL | Qt::Key_E), nullptr},
        {&TTMForm::PrintAction, "Печать...", QKeySequence(Qt::CTRL | Qt::Key_P),
         &TTMForm::PrintNomogram},
    };
    const Shortcut studies[] = {
        {&TTMForm::PrevAction, "Предыдущее исследование", QKeySequence(Qt::Key_PageUp),
         &TTMForm::Prev},
        {&TTMForm::NextAction, "Следующее исследование", QKeySequence(Qt::Key_PageDown),
         &TTMForm::Next},
    };
    auto make = [this](const Shortcut& shortcut) {
        auto* action = new QAction(QString::fromUtf8(shortcut.text), this);
        action->setShortcut(shortcut.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        this->*shortcut.action = action;
        if (!shortcut.button) return action;
        QPushButton* button = this->*shortcut.button;
        new ActionFollower(button, action);
        // The button's own click, so the key runs its handler the same way.
        connect(action, &QAction::triggered, this, [this, button] {
            if (button->isEnabled() && !button->isHidden()) button->click();
        });
        return action;
    };
    for (const Shortcut& shortcut : files) BottomBarMenu->addAction(make(shortcut));
    // The workbook is what "В файл" offers with the other type chosen.
    new ActionFollower(SaveFileData, ExcelAction);
    connect(ExcelAction, &QAction::triggered, this,
            [this] { guard([this] { ExcelExportClick(); }); });
    BottomBarMenu->addAction(DayReportAction);
    BottomBarMenu->addSeparator();
    for (const Shortcut& shortcut : studies) BottomBarMenu->addAction(make(shortcut));
}

}  // namespace uroflow
