// The window right after start: control flags, texts from the clock, input
// limits, the Tab chain, and the guard every handler runs in.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "app/Unit1.h"
#include "charts/ChartView.h"
#include "study/RuntimeError.h"
#include "tests/support/FakePlatform.h"

namespace uroflow::test {
namespace {

class WindowStart : public ::testing::Test {
  protected:
    FakePlatform fake;
    TTMForm window{fake.platform()};

    bool shown(const QWidget* control) const { return control->isVisibleTo(&window); }
};

TEST_F(WindowStart, OnlyTheFlowChartIsShown) {
    EXPECT_TRUE(shown(window.charts.ChartGraf));
    for (const QWidget* chart : {static_cast<QWidget*>(window.charts.ChartVQ),
                                 static_cast<QWidget*>(window.charts.ChartNomWoman),
                                 static_cast<QWidget*>(window.charts.ChartNomMan51),
                                 static_cast<QWidget*>(window.charts.ChartNomMan49),
                                 static_cast<QWidget*>(window.charts.ChartNomGirls),
                                 static_cast<QWidget*>(window.charts.ChartNomBoy)}) {
        EXPECT_FALSE(shown(chart)) << chart->objectName().toStdString();
    }
    EXPECT_TRUE(window.charts.Series1->points().isEmpty());
}

TEST_F(WindowStart, ControlFlags) {
    struct Flags {
        const char* name;
        QWidget* control;
        bool visible;
        bool enabled;
    };
    const Flags table[] = {
        {"Next", window.Next, true, false},
        {"Prev", window.Prev, true, false},
        {"VT", window.VT, true, false},
        {"QV", window.QV, true, false},
        {"ZoomReset", window.ZoomReset, true, false},
        {"Nomogram", window.Nomogram, true, false},
        {"NomS", window.NomS, true, false},
        {"PrintNomogram", window.PrintNomogram, true, false},
        {"SaveFileData", window.SaveFileData, true, false},
        {"EnNom", window.EnNom, true, false},
        {"LoadFile", window.LoadFile, true, true},
        {"EraseData", window.EraseData, true, true},
        {"ReadData", window.ReadData, true, true},
        {"WriteData", window.WriteData, true, true},
        {"Calibr", window.Calibr, false, true},
        {"Edit_Calibr", window.Edit_Calibr, false, true},
        {"LabelUro", window.LabelUro, false, true},
        {"DateArj", window.DateArj, false, true},
        {"Fokys", window.Fokys, true, true},
        {"EditBuffer", window.EditBuffer, false, true},
        {"Npor", window.Npor, false, true},
        {"TimeNow", window.TimeNow, false, false},
        {"Ur", window.Ur, true, true},
    };
    for (const Flags& row : table) {
        EXPECT_EQ(shown(row.control), row.visible) << row.name;
        EXPECT_EQ(row.control->isEnabled(), row.enabled) << row.name;
    }
    EXPECT_TRUE(window.EnNom->isChecked());
    EXPECT_FALSE(window.sexM->isChecked());
    EXPECT_FALSE(window.sexF->isChecked());
    for (std::size_t i = 0; i < kMaxStudies; ++i) ASSERT_TRUE(window.day().included(i));
}

TEST_F(WindowStart, AuxiliaryTextsAndReadOnlyFields) {
    EXPECT_EQ(window.Npor->text(), QStringLiteral("10"));
    EXPECT_EQ(window.nporValue(), 10);
    EXPECT_EQ(window.Fokys->text(), QStringLiteral("Fokys"));
    EXPECT_EQ(window.Fokys->geometry(), QRect(136, 536, 25, 21));
    EXPECT_EQ(window.TimeNow->maxLength(), 5);
    for (const QLineEdit* value :
         {window.Twait, window.TQmax, window.FlowTime, window.Ttotal, window.Qave, window.Qmax,
          window.VQmax, window.Vml, window.Tstart, window.Ur, window.Edit_Calibr}) {
        EXPECT_TRUE(value->isReadOnly());
        EXPECT_TRUE(value->text().isEmpty());
    }
    EXPECT_TRUE(window.Mst->isReadOnly());
    EXPECT_TRUE(window.Mnt->isReadOnly());
}

TEST(WindowClock, TimeAndDateComeFromTheClockInFixedFormats) {
    struct Case {
        QDateTime now;
        const char* time;
        const char* date;
    };
    const Case cases[] = {
        {QDateTime(QDate(2026, 3, 5), QTime(7, 4)), "07:04", "05.03.26"},
        {QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59)), "23:59", "31.12.09"},
        {QDateTime(QDate(2030, 1, 1), QTime(0, 0)), "00:00", "01.01.30"},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.clock.current = c.now;
        TTMForm window(fake.platform());
        EXPECT_EQ(window.TimeNow->text(), QString::fromLatin1(c.time));
        EXPECT_EQ(window.DataStart->text(), QString::fromLatin1(c.date));
    }
}

TEST_F(WindowStart, TypedInputIsLimitedToTwentyAndThreeCharacters) {
    QTest::keyClicks(window.Name, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(window.Name->text(), QStringLiteral("abcdefghijklmnopqrst"));
    QTest::keyClicks(window.Old, QStringLiteral("12345"));
    EXPECT_EQ(window.Old->text(), QStringLiteral("123"));
}

TEST_F(WindowStart, TabReachesExactlyTheSixStopsInOrder) {
    const std::vector<QWidget*> expected = {window.Name, window.sexM,      window.sexF,
                                            window.Old,  window.WriteData, window.VT};
    std::vector<QWidget*> stops;
    QWidget* current = window.Name;
    do {
        if (current->focusPolicy() & Qt::TabFocus) stops.push_back(current);
        current = current->nextInFocusChain();
    } while (current != window.Name && stops.size() < 100);
    EXPECT_EQ(stops, expected);

    // Nothing else in the window takes the focus from the keyboard.
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (std::find(expected.begin(), expected.end(), control) != expected.end()) continue;
        EXPECT_FALSE(control->focusPolicy() & Qt::TabFocus)
            << control->metaObject()->className() << " " << control->toolTip().toStdString();
    }
    // Buttons outside the chain still answer the mouse.
    EXPECT_EQ(window.LoadFile->focusPolicy(), Qt::NoFocus);
}

TEST_F(WindowStart, TabKeyCyclesThroughTheStopsOnly) {
    // The radio pair is one stop: Tab enters it and leaves it.
    window.VT->setEnabled(true);
    window.show();
    QApplication::setActiveWindow(&window);
    window.Name->setFocus();
    std::vector<QWidget*> visited;
    for (int i = 0; i < 6; ++i) {
        visited.push_back(QApplication::focusWidget());
        QTest::keyClick(visited.back(), Qt::Key_Tab);
    }
    const std::vector<QWidget*> expected = {window.Name,      window.sexM, window.Old,
                                            window.WriteData, window.VT,   window.Name};
    EXPECT_EQ(visited, expected);
}

TEST_F(WindowStart, GuardShowsTheErrorTextAndEndsTheHandler) {
    bool afterThrow = false;
    window.guard([&] {
        throw RuntimeError("'x' is not a valid floating point value");
        afterThrow = true;
    });
    window.guard([] { throw std::out_of_range("Read beyond end of file"); });
    window.guard([] { throw 42; });
    window.Npor->setText(QStringLiteral("1x"));
    window.guard([&] { window.nporValue(); });

    EXPECT_FALSE(afterThrow);
    ASSERT_EQ(fake.dialogs.errors.size(), 4);
    EXPECT_EQ(fake.dialogs.errors[0], QStringLiteral("'x' is not a valid floating point value"));
    EXPECT_EQ(fake.dialogs.errors[1], QStringLiteral("Read beyond end of file"));
    EXPECT_FALSE(fake.dialogs.errors[2].isEmpty());
    EXPECT_EQ(fake.dialogs.errors[3], QStringLiteral("'1x' is not a valid integer value"));
}

TEST_F(WindowStart, ButtonsRunTheirHandlersOnlyWhenEnabled) {
    QTest::mouseClick(window.SaveFileData, Qt::LeftButton);
    EXPECT_TRUE(fake.dialogs.saveSpecs.empty());
    QTest::mouseClick(window.LoadFile, Qt::LeftButton);
    ASSERT_EQ(fake.dialogs.openSpecs.size(), 1u);
    EXPECT_EQ(fake.dialogs.openSpecs.front().id, QStringLiteral("OpenDialog1"));
}

}  // namespace
}  // namespace uroflow::test
