// The keys beside the buttons: each does what its button does, only while the button is
// enabled and shown, and the bottom bar's menu lists them.

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <functional>

#include "app/FileDialogs.h"
#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {
namespace {

class Shortcuts : public HandlerTest {
  protected:
    void SetUp() override {
        HandlerTest::SetUp();
        loadDay(*threeStudyDay());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void press(const QKeySequence& keys) { QTest::keySequence(form.get(), keys); }
};

TEST_F(Shortcuts, EachKeyDoesWhatItsButtonDoesOnlyWhileTheButtonCan) {
    struct Case {
        const char* name;
        QKeySequence keys;
        QPushButton* button;
        std::function<int()> effect;  // grows by one with each press that did something
    };
    const Case cases[] = {
        {"Ctrl+O", QKeySequence(Qt::CTRL | Qt::Key_O), form->LoadFile,
         [&] { return static_cast<int>(fake.dialogs.openSpecs.size()); }},
        {"Ctrl+S", QKeySequence(Qt::CTRL | Qt::Key_S), form->SaveFileData,
         [&] { return static_cast<int>(fake.dialogs.saveSpecs.size()); }},
        {"Ctrl+P", QKeySequence(Qt::CTRL | Qt::Key_P), form->PrintNomogram,
         [&] { return fake.printer.pages; }},
        {"PgDn", QKeySequence(Qt::Key_PageDown), form->Next,
         [&] { return form->Mst->toPlainText().toInt(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = c.effect();
        press(c.keys);
        EXPECT_EQ(c.effect(), before + 1);
        c.button->setEnabled(false);
        press(c.keys);
        EXPECT_EQ(c.effect(), before + 1);
        c.button->setEnabled(true);
        c.button->hide();
        press(c.keys);
        EXPECT_EQ(c.effect(), before + 1);
        c.button->show();
    }
    // One step forward, one back; none past the first study.
    EXPECT_EQ(form->Mst->toPlainText(), "2");
    press(QKeySequence(Qt::Key_PageUp));
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_FALSE(form->Prev->isEnabled());
    press(QKeySequence(Qt::Key_PageUp));  // the first study: "<" is off
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
}

TEST_F(Shortcuts, CtrlEOpensTheSaveDialogWithTheWorkbookTypeChosen) {
    press(QKeySequence(Qt::CTRL | Qt::Key_E));
    ASSERT_EQ(fake.dialogs.saveSpecs.size(), 1u);
    EXPECT_EQ(fake.dialogs.saveSpecs[0].id, kSaveDialog1.id);
    EXPECT_EQ(fake.dialogs.saveSpecs[0].selectedFilter, QStringLiteral("Книга Exel (*.xlsx)"));
    EXPECT_EQ(fake.dialogs.saveSpecs[0].defaultSuffix, QStringLiteral("xlsx"));
    // Only while "В файл" can.
    form->SaveFileData->setEnabled(false);
    press(QKeySequence(Qt::CTRL | Qt::Key_E));
    form->guard([this] { form->ExcelExportClick(); });
    EXPECT_EQ(fake.dialogs.saveSpecs.size(), 1u);
}

TEST_F(Shortcuts, TheBottomBarMenuListsTheKeysAndTypingStaysTyping) {
    for (QAction* action :
         {form->LoadFileAction, form->SaveFileAction, form->ExcelAction, form->PrintAction,
          form->DayReportAction, form->PrevAction, form->NextAction}) {
        SCOPED_TRACE(action->text().toStdString());
        EXPECT_TRUE(form->BottomBarMenu->actions().contains(action));
        EXPECT_FALSE(action->shortcut().isEmpty());
    }
    EXPECT_EQ(form->NextAction->shortcut(), QKeySequence(Qt::Key_PageDown));

    const std::size_t opened = fake.dialogs.openSpecs.size();
    form->Name->clear();
    form->Name->setFocus();
    QTest::keyClicks(form->Name, QStringLiteral("Petrov P."));
    EXPECT_EQ(form->Name->text(), QStringLiteral("Petrov P."));
    EXPECT_TRUE(fake.dialogs.saveSpecs.empty());
    EXPECT_EQ(fake.dialogs.openSpecs.size(), opened);
}

}  // namespace
}  // namespace uroflow::test
