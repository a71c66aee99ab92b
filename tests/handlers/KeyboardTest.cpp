// The key preview of the window and the age field, through real key events.

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {

namespace {

constexpr char kBackspace = '\b';

// A key as a Russian keyboard types it: a letter outside Latin-1.
void typeLetter(QLineEdit* edit, QChar letter) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(letter));
    QApplication::sendEvent(edit, &release);
}

}  // namespace

class Keyboard : public HandlerTest {
  protected:
    // Types `key` into the age field after `before`, the caret at the end.
    QString typeAge(const QString& before, char key) {
        form->Old->setText(before);
        form->Old->setCursorPosition(static_cast<int>(before.size()));
        if (key == kBackspace) {
            QTest::keyClick(form->Old, Qt::Key_Backspace);
        } else {
            QTest::keyClick(form->Old, key);
        }
        return form->Old->text();
    }
    bool calibrationShown() const {
        return form->Calibr->isVisibleTo(form.get()) && form->Edit_Calibr->isVisibleTo(form.get());
    }
};

TEST_F(Keyboard, OnlyCtrlAndShiftTogetherRevealTheCalibrationControls) {
    QTest::keyClick(form->Name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->Name, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(form->Name, Qt::Key_Control);
    QTest::keyClick(form->Name, Qt::Key_Shift);
    EXPECT_FALSE(calibrationShown());
    QTest::keyPress(form->Old, Qt::Key_Shift, Qt::ControlModifier);
    EXPECT_TRUE(calibrationShown());
}

// Every row of the table is a core test (tests/study/AgeInputTest.cpp); these check
// that the keys reach it and its answer reaches the field.
TEST_F(Keyboard, AgeKeysUnderACommaLocale) {
    EXPECT_EQ(typeAge("", '.'), "0,");
    EXPECT_EQ(typeAge("0", '7'), "7");
    EXPECT_EQ(typeAge("2,5", ','), "2,5");
    EXPECT_EQ(typeAge("1,5", kBackspace), "1,");
    EXPECT_EQ(typeAge("12", 'a'), "12");
    form->Old->setText("2");
    typeLetter(form->Old, QChar(0x0431));  // б
    EXPECT_EQ(form->Old->text(), "2,");
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(Keyboard, AgeKeysUnderAPointLocale) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(typeAge("", ','), "0.");
    form->Old->setText("2");
    typeLetter(form->Old, QChar(0x042E));  // Ю
    EXPECT_EQ(form->Old->text(), "2.");
}

TEST_F(Keyboard, ASeparatorTypedInFrontGivesFourCharactersThenTheLimitHoldsAgain) {
    form->Old->setText("25");
    form->Old->setCursorPosition(0);
    QTest::keyClick(form->Old, ',');
    EXPECT_EQ(form->Old->text(), "0,25");
    EXPECT_EQ(form->Old->cursorPosition(), 4);
    QTest::keyClick(form->Old, '9');
    EXPECT_EQ(form->Old->text(), "0,25");
    QTest::keyClick(form->Old, Qt::Key_Backspace);
    QTest::keyClick(form->Old, Qt::Key_Backspace);
    EXPECT_EQ(form->Old->text(), "0,");
    QTest::keyClicks(form->Old, "57");
    EXPECT_EQ(form->Old->text(), "0,5");
}

TEST_F(Keyboard, APastedTextThatIsNoNumberGivesTheConversionError) {
    form->Old->setText("abc");
    form->Old->setCursorPosition(1);
    QTest::keyRelease(form->Old, Qt::Key_End);  // any key released
    EXPECT_EQ(fake.dialogs.errors, QStringList{"'abc' is not a valid floating point value"});
    EXPECT_EQ(form->Old->text(), "abc");
    EXPECT_EQ(form->Old->cursorPosition(), 1);
}

}  // namespace uroflow::test
