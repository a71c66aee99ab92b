// The reader link through the real handlers, with the simulated uroflowmeter in
// place of the reader: discovery, download, the commands, and the mended faults
// (blocks at rest, transfers that stop, errors at the end of a transfer).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <algorithm>

#include "app/DemoPacer.h"
#include "app/Shape.h"
#include "charts/ChartView.h"
#include "tests/handlers/HandlerFixture.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {

namespace {

const QString kReceiveMode = QStringLiteral("Режим приема данных от Считывателя");
const QString kAbandoned = QStringLiteral(
    "Передача данных прервана: Считыватель не отвечает или отсоединен. Повторите команду.");

std::vector<int> bytes(std::initializer_list<int> head, std::size_t zeros = 0) {
    std::vector<int> all(head);
    all.insert(all.end(), zeros, 0);
    return all;
}

}  // namespace

class ReaderTest : public HandlerTest {
  protected:
    SimulatedUroflowmeter& sim() { return fake.reader; }

    void plugIn(const Image& memory) {
        sim().loadMemory(std::span(memory).first(kMemorySize));
        sim().plug();
        sim().deliverAll();
    }
    void press(void (TTMForm::*handler)()) {
        form->guard([&] { (form.get()->*handler)(); });
    }
    void download() {
        press(&TTMForm::ReadDataClick);
        sim().deliverAll();
    }
    // Delivers the first `count` reports of the answer.
    void deliver(int count) {
        for (int i = 0; i < count; ++i) sim().deliverNext();
    }

    std::vector<int> lastWrite() const {
        const auto& writes = fake.reader.writes();
        if (writes.empty()) return {};
        return {writes.back().bytes.begin(), writes.back().bytes.end()};
    }
    std::vector<int> commandsSent() const {
        std::vector<int> codes;
        for (const auto& w : fake.reader.writes()) codes.push_back(w.bytes.at(1));
        return codes;
    }
    bool green() const { return form->palette().color(QPalette::Window) == kMoneyGreen; }
    bool solid() const {
        return !form->Shape1->isHatched() && !form->Shape2->isHatched() &&
               !form->Shape3->isHatched();
    }
    bool shown(const QWidget* control) const { return control->isVisibleTo(form.get()); }
    int messagesWith(const QString& caption) const {
        return static_cast<int>(
            std::count_if(fake.dialogs.messages.begin(), fake.dialogs.messages.end(),
                          [&](const RecordedMessage& m) { return m.caption == caption; }));
    }
    // The state every end of a transfer, and every abandoned one, leaves.
    void expectAtRest() {
        EXPECT_FALSE(green());
        EXPECT_TRUE(solid());
        EXPECT_EQ(form->transfer().ReportCount, 0);
        EXPECT_EQ(form->transfer().pendingCommand(), kCommandNone);
        for (QWidget* command : form->transferCommands()) EXPECT_TRUE(command->isEnabled());
    }
};

TEST_F(ReaderTest, TheReaderIsFoundAtStartLostWhenUnpluggedAndUsableAgainWhenPluggedIn) {
    plugIn(*threeStudyDay());
    EXPECT_NE(form->ReaderDevice, nullptr);
    EXPECT_TRUE(shown(form->ReadData));
    EXPECT_TRUE(shown(form->WriteData));

    sim().unplug();
    sim().deliverAll();
    EXPECT_EQ(form->ReaderDevice, nullptr);
    EXPECT_FALSE(form->ReaderFound);
    EXPECT_FALSE(shown(form->ReadData));
    EXPECT_FALSE(shown(form->WriteData));

    sim().plug();
    sim().deliverAll();
    EXPECT_TRUE(shown(form->ReadData));
    download();
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
}

TEST_F(ReaderTest, AThreeStudyDownloadShowsTheDay) {
    plugIn(*threeStudyDay());
    press(&TTMForm::ReadDataClick);
    EXPECT_EQ(lastWrite(), bytes({0x00, 0x41}, 31));
    EXPECT_TRUE(form->Shape2->isHatched());
    EXPECT_FALSE(shown(form->charts.ChartGraf));
    EXPECT_FALSE(form->LoadFile->isEnabled());
    EXPECT_TRUE(form->ReadData->isEnabled());
    deliver(10);
    EXPECT_TRUE(green());
    EXPECT_EQ(form->transfer().ReportCount, 10);
    sim().deliverAll();

    EXPECT_EQ(commandsSent(), (std::vector<int>{0x41, 0x00}));
    expectAtRest();
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_EQ(form->day().studyStart(3), 0);
    EXPECT_EQ(form->Tstart->text(), "08:30:00");
    EXPECT_FALSE(form->charts.Series1->points().isEmpty());
    for (QWidget* control :
         {static_cast<QWidget*>(form->Next), static_cast<QWidget*>(form->VT),
          static_cast<QWidget*>(form->Nomogram), static_cast<QWidget*>(form->SaveFileData)})
        EXPECT_TRUE(control->isEnabled());
    EXPECT_TRUE(shown(form->charts.ChartGraf));
    EXPECT_TRUE(shown(form->DateArj));
    EXPECT_TRUE(shown(form->Ur));
    EXPECT_EQ(form->Ur->text(), QStringLiteral("Uбат > 2,7В"));
    EXPECT_EQ(form->Name->text(), QStringLiteral("Иванов"));
    EXPECT_TRUE(form->sexM->isChecked());
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(ReaderTest, ADownloadWithoutStudies) {
    ImageBuilder b;
    b.calibration(50000).byte(98, 0xFE).byte(99, 0xFE);  // a pair at 98-99 is not searched
    b.word(200, 0xFEFD);
    plugIn(*b.build());
    download();
    EXPECT_EQ(form->day().studyCount(), 0);
    EXPECT_TRUE(form->Mnt->toPlainText().isEmpty());
    EXPECT_TRUE(form->charts.Series1->points().isEmpty());
    expectAtRest();
    EXPECT_EQ(fake.beeper.beeps, 1);
}

TEST_F(ReaderTest, BatteryStates) {
    struct Case {
        std::uint8_t byte;
        const char* text;
        bool red;
        bool message;
    };
    for (const Case& c : {Case{0xE0, "Uбат < 2,7В", true, true},
                          Case{0xF0, "Uбат > 2,7В", false, false}, Case{0x00, "", false, false}}) {
        SCOPED_TRACE(c.byte);
        fake.dialogs.messages.clear();
        auto day = threeStudyDay();
        (*day)[kBatteryOffset] = c.byte;
        sim().loadMemory(std::span(*day).first(kMemorySize));
        if (!sim().plugged()) plugIn(*day);
        download();
        EXPECT_EQ(form->Ur->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(form->Ur->palette().color(QPalette::Base) == QColor(255, 0, 0), c.red);
        EXPECT_FALSE(form->Ur->font().bold());
        ASSERT_EQ(fake.dialogs.messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            const RecordedMessage& m = fake.dialogs.messages[0];
            EXPECT_EQ(m.caption, QStringLiteral("Проверка батареи датчика"));
            EXPECT_EQ(m.text,
                      QStringLiteral(
                          "ВНИМАНИЕ! Батарея разряжена! Возможны сбои при стирании и записи!"));
            EXPECT_EQ(m.icon, MsgIcon::Information);
        }
        EXPECT_EQ(form->Mnt->toPlainText(), "3");  // the download goes on
    }
}

TEST_F(ReaderTest, BlocksAtRestLeaveTheDayAloneAndAreWarnedAboutOnce) {
    plugIn(*threeStudyDay());
    download();
    const auto before = std::make_unique<Image>(form->day().deviceImage());
    const QString shownTime = form->Tstart->text();
    std::vector<Block> stray(2049);
    for (Block& block : stray) block.fill(0xFE);  // start words everywhere
    stray.back() = endOfTransferBlock();
    sim().sendBlocks(stray);
    sim().deliverAll();

    EXPECT_EQ(messagesWith(kReceiveMode), 1);
    EXPECT_EQ(form->focusWidget(), form->ReadData);
    EXPECT_EQ(fake.dialogs.messages.back().text,
              QStringLiteral("Нажмите кнопку \"Загрузка\" или отсоедините Считыватель от ПК(USB) "
                             "для автономного запуска Урофлоуметра!"));
    EXPECT_TRUE(std::equal(before->begin(), before->end(), form->day().deviceImage().begin()));
    EXPECT_EQ(form->transfer().ReportCount, 0);
    EXPECT_EQ(form->day().studyCount(), 3);
    EXPECT_EQ(form->Tstart->text(), shownTime);
    EXPECT_EQ(fake.beeper.beeps, 1);  // the end block at rest ended nothing

    // After the next command a burst is news again.
    press(&TTMForm::EraseDataClick);
    sim().deliverAll();
    sim().sendBlocks(std::vector<Block>(3));
    sim().deliverAll();
    EXPECT_EQ(messagesWith(kReceiveMode), 2);
}

TEST_F(ReaderTest, PassportWriteSendsTheExactReportAndRefillsThePassportFromTheAnswer) {
    plugIn(*threeStudyDay());
    download();
    form->Name->setText(QStringLiteral("Пациент П."));
    form->Old->setText("45");
    form->DataStart->setText("05.03.24");
    form->sexM->setChecked(true);
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::WriteDataClick);

    EXPECT_EQ(fake.dialogs.messages.back().caption, QStringLiteral("Внимание!"));
    EXPECT_EQ(fake.dialogs.messages.back().text, QStringLiteral("Записать в память урофлоуметра?"));
    EXPECT_EQ(fake.dialogs.messages.back().buttons, MbYes | MbNo);
    EXPECT_EQ(lastWrite(),
              (std::vector<int>{0x00, 0x43, 0x01, 0xCF, 0xE0, 0xF6, 0xE8, 0xE5, 0xED, 0xF2, 0x20,
                                0xCF, 0x2E, 0,    0,    0,    0,    0,    0,    0,    0,    0,
                                0,    0x34, 0x35, 0x30, 0x35, 0x30, 0x33, 0x32, 0x34, 0x3A, 0x3A}));
    EXPECT_TRUE(form->Shape1->isHatched());
    EXPECT_FALSE(form->Shape2->isHatched());
    EXPECT_FALSE(form->ReceiveStudies);
    EXPECT_TRUE(form->ReceivePassport);

    form->Name->clear();
    sim().deliverAll();  // the whole memory again, then the end block
    expectAtRest();
    EXPECT_EQ(form->Name->text(), QStringLiteral("Пациент П."));
    EXPECT_EQ(form->DataStart->text(), "05.03.24");
    EXPECT_TRUE(form->Mnt->toPlainText().isEmpty());  // no studies asked for
}

TEST_F(ReaderTest, PassportChecksComeBeforeTheQuestionAndSendNothing) {
    plugIn(*threeStudyDay());
    struct Case {
        bool sex;
        const char* age;
        const char* date;
        const char* text;
        QWidget* focus;
    };
    const Case cases[] = {
        {false, "45", "05.03.24", "Укажите пол!", form->sexM},
        {true, "", "05.03.24", "Укажите возраст пациента!", form->Old},
        {true, "45", "5.3.24", "Укажите дату исследования в виде дд.мм.гг!", form->DataStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        form->ReceiveStudies = true;
        form->sexM->setChecked(c.sex);
        if (!c.sex) {
            form->sexM->setAutoExclusive(false);
            form->sexM->setChecked(false);
            form->sexM->setAutoExclusive(true);
        }
        form->Old->setText(c.age);
        form->DataStart->setText(c.date);
        fake.dialogs.messages.clear();
        press(&TTMForm::WriteDataClick);
        ASSERT_EQ(fake.dialogs.messages.size(), 1u);
        EXPECT_EQ(fake.dialogs.messages[0].caption, QStringLiteral("Проверка паспортной части"));
        EXPECT_EQ(fake.dialogs.messages[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Information);
        EXPECT_EQ(form->focusWidget(), c.focus);
        EXPECT_TRUE(form->ReceiveStudies);  // flags unchanged
    }
    EXPECT_TRUE(fake.reader.writes().empty());
}

TEST_F(ReaderTest, NoToThePassportQuestionSendsNothingButSetsTheFlags) {
    plugIn(*threeStudyDay());
    form->Old->setText("7");
    form->DataStart->setText("05.03.24");
    form->sexF->setChecked(true);
    fake.dialogs.answers = {MbNo};
    press(&TTMForm::WriteDataClick);
    EXPECT_TRUE(fake.reader.writes().empty());
    EXPECT_FALSE(form->ReceiveStudies);
    EXPECT_TRUE(form->ReceivePassport);
    EXPECT_FALSE(form->Shape1->isHatched());

    fake.dialogs.answers = {MbYes};
    press(&TTMForm::WriteDataClick);
    EXPECT_EQ(lastWrite().at(2), 0x00);  // female
}

TEST_F(ReaderTest, EraseAndCalibrationSendTheTimeOfIssue) {
    plugIn(*threeStudyDay());
    fake.clock.current = QDateTime(QDate(2026, 3, 5), QTime(9, 7, 41));
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::EraseDataClick);
    EXPECT_EQ(fake.dialogs.messages.back().text, QStringLiteral("Очистить память урофлоуметра?"));
    EXPECT_EQ(lastWrite(), bytes({0x00, 0x42, 0x30, 0x39, 0x3A, 0x30, 0x37}, 26));
    EXPECT_EQ(form->TimeNow->text(), "09:07");
    EXPECT_FALSE(form->Shape1->isHatched());
    EXPECT_TRUE(form->Shape2->isHatched());
    EXPECT_FALSE(form->ReceiveStudies);
    EXPECT_FALSE(form->ReceivePassport);
    sim().deliverAll();
    expectAtRest();
    EXPECT_EQ(sim().issueTime(), "09:07");

    fake.clock.current = QDateTime(QDate(2026, 3, 5), QTime(14, 30));
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::CalibrClick);
    EXPECT_EQ(fake.dialogs.messages.back().text, QStringLiteral("Откалибровать Урофлоуметр?"));
    EXPECT_EQ(lastWrite(), bytes({0x00, 0x47, 0x31, 0x34, 0x3A, 0x33, 0x30}, 26));
    EXPECT_EQ(form->TimeNow->text(), "14:30");
    EXPECT_TRUE(form->Shape3->isHatched());
    EXPECT_FALSE(form->Shape2->isHatched());
    sim().deliverAll();
    expectAtRest();
    EXPECT_EQ(fake.beeper.beeps, 2);
}

TEST_F(ReaderTest, NoToEraseOrCalibrationDuringADownloadLeavesOnlyTheCommonEnd) {
    plugIn(*threeStudyDay());
    press(&TTMForm::ReadDataClick);
    deliver(100);
    fake.dialogs.answers = {MbNo, MbNo};
    press(&TTMForm::EraseDataClick);
    press(&TTMForm::CalibrClick);
    EXPECT_FALSE(form->ReceiveStudies);
    EXPECT_FALSE(form->ReceivePassport);
    EXPECT_EQ(commandsSent(), std::vector<int>{0x41});
    sim().deliverAll();
    expectAtRest();
    EXPECT_TRUE(form->Mnt->toPlainText().isEmpty());
    EXPECT_TRUE(form->Name->text().isEmpty());
    EXPECT_EQ(fake.beeper.beeps, 1);
}

TEST_F(ReaderTest, CommandsWithoutAReaderAskNothing) {
    loadDay(*threeStudyDay());
    form->charts.ChartNomMan51->setVisible(true);
    press(&TTMForm::CalibrClick);
    press(&TTMForm::EraseDataClick);
    EXPECT_FALSE(shown(form->charts.ChartNomMan51));
    EXPECT_FALSE(form->PrintNomogram->isEnabled());
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_TRUE(fake.reader.writes().empty());
}

TEST_F(ReaderTest, AFailedWriteShowsTheSystemTextAndTheCommandStillMarksItsBand) {
    plugIn(*threeStudyDay());
    sim().failWrites("Input/output error");
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::EraseDataClick);
    EXPECT_FALSE(form->WriteOK);
    EXPECT_EQ(fake.dialogs.messages.back().caption, QStringLiteral("Урофлоуметрия"));
    EXPECT_EQ(fake.dialogs.messages.back().text, "Input/output error");
    EXPECT_TRUE(form->Shape2->isHatched());
    EXPECT_FALSE(form->ReceivePassport);
}

TEST_F(ReaderTest, ATransferWhoseReaderIsRemovedOrSilentIsAbandoned) {
    plugIn(*threeStudyDay());
    loadDay(*threeStudyDay());
    fake.dialogs.messages.clear();
    for (const bool removed : {true, false}) {
        SCOPED_TRACE(removed ? "removed" : "silent");
        if (!sim().plugged()) {
            sim().plug();
            sim().deliverAll();
        }
        press(&TTMForm::ReadDataClick);
        deliver(100);
        ASSERT_TRUE(green());
        if (removed) {
            sim().unplug();
            sim().deliverAll();
        } else {
            sim().stopAnswering();
            fake.clock.current = fake.clock.current.addSecs(14);
            press(&TTMForm::TransferTimerTimer);
            EXPECT_TRUE(green());
            fake.clock.current = fake.clock.current.addSecs(1);
            press(&TTMForm::TransferTimerTimer);
        }
        expectAtRest();
        EXPECT_FALSE(form->SaveFileData->isEnabled());  // the image holds half an answer
        ASSERT_FALSE(fake.dialogs.messages.empty());
        EXPECT_EQ(fake.dialogs.messages.back().caption, kReceiveMode);
        EXPECT_EQ(fake.dialogs.messages.back().text, kAbandoned);
        EXPECT_EQ(fake.dialogs.messages.back().icon, MsgIcon::Warning);
        fake.dialogs.messages.clear();
    }
    // A late block counts as arriving at rest.
    sim().sendBlocks(std::vector<Block>(1));
    sim().deliverAll();
    EXPECT_EQ(messagesWith(kReceiveMode), 1);
    EXPECT_EQ(form->transfer().ReportCount, 0);
}

TEST_F(ReaderTest, AnAbandonedCommandKeepsTheDaySaveableOnlyWhileTheImageIsWhole) {
    plugIn(*threeStudyDay());
    loadDay(*threeStudyDay());
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::EraseDataClick);
    sim().stopAnswering();  // not a single block
    fake.clock.current = fake.clock.current.addSecs(20);
    press(&TTMForm::TransferTimerTimer);
    EXPECT_EQ(fake.dialogs.messages.back().text, kAbandoned);
    EXPECT_TRUE(form->SaveFileData->isEnabled());

    form->sexM->setChecked(true);
    form->Old->setText("45");
    form->DataStart->setText("05.03.24");
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::WriteDataClick);
    deliver(50);
    sim().unplug();
    sim().deliverAll();
    EXPECT_EQ(fake.dialogs.messages.back().text, kAbandoned);
    EXPECT_FALSE(form->SaveFileData->isEnabled());
}

TEST_F(ReaderTest, PressingLoadAgainRestartsTheDownload) {
    plugIn(*threeStudyDay());
    press(&TTMForm::ReadDataClick);
    deliver(700);
    press(&TTMForm::ReadDataClick);
    EXPECT_EQ(form->transfer().ReportCount, 0);
    sim().deliverAll();
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
    EXPECT_TRUE(std::equal(sim().memory().begin(), sim().memory().end(),
                           form->day().deviceImage().begin()));
}

// The reading thread holds reports it read before a click; they come after the
// command left and must not become block 0 of its answer.
TEST_F(ReaderTest, AReportReadBeforeLoadIsNoPartOfTheDownload) {
    sim().setReadAhead(4);
    plugIn(*threeStudyDay());
    Block stray;
    stray.fill(0xFE);
    sim().sendBlocks(std::vector<Block>{stray});  // read at rest, not yet handed over
    download();
    EXPECT_TRUE(std::equal(sim().memory().begin(), sim().memory().end(),
                           form->day().deviceImage().begin()));
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
    EXPECT_EQ(form->Edit_Calibr->text(), "50000");
    EXPECT_EQ(form->Name->text(), QStringLiteral("Иванов"));
    EXPECT_TRUE(fake.dialogs.messages.empty());
    expectAtRest();
}

TEST_F(ReaderTest, LoadPressedAgainDuringADownloadStartsCleanlyFromBlockZero) {
    sim().setReadAhead(64);
    plugIn(*threeStudyDay());
    press(&TTMForm::ReadDataClick);
    deliver(700);
    EXPECT_TRUE(form->ReadData->isEnabled());
    press(&TTMForm::ReadDataClick);  // 64 blocks of the first answer are still on their way
    EXPECT_GT(sim().queued(), 2049u);
    sim().deliverAll();
    EXPECT_TRUE(std::equal(sim().memory().begin(), sim().memory().end(),
                           form->day().deviceImage().begin()));
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
    expectAtRest();
}

// The controls that act on the day on screen.
std::vector<QWidget*> dayActions(TTMForm& form) {
    const auto commands = form.studyCommands();
    std::vector<QWidget*> all(commands.begin(), commands.end());
    all.insert(all.end(), {form.Prev, form.Next, form.EnNom});
    return all;
}

TEST_F(ReaderTest, AfterACommandsAnswerNothingActsOnADayNoLongerInTheImage) {
    enum Command { Passport, Erase, Calibrate };
    for (const Command command : {Passport, Erase, Calibrate}) {
        SCOPED_TRACE(command);
        if (!sim().plugged()) plugIn(*threeStudyDay());
        download();
        press(&TTMForm::NextClick);
        ASSERT_TRUE(form->SaveFileData->isEnabled());
        ASSERT_TRUE(form->Prev->isEnabled());
        form->charts.ChartNomMan51->setVisible(true);
        fake.dialogs.answers = {MbYes};
        switch (command) {
            case Passport:
                form->sexF->setChecked(true);
                form->Old->setText("30");
                form->DataStart->setText("05.03.24");
                press(&TTMForm::WriteDataClick);
                break;
            case Erase:
                press(&TTMForm::EraseDataClick);
                break;
            case Calibrate:
                form->Calibr->show();
                press(&TTMForm::CalibrClick);
                break;
        }
        // While the answer arrives nothing may start a transfer or load a day.
        for (QWidget* control : {form->LoadFile, form->ReadData, form->WriteData, form->EraseData})
            EXPECT_FALSE(control->isEnabled()) << control->toolTip().toStdString();
        sim().deliverAll();
        expectAtRest();
        EXPECT_TRUE(form->ReadData->isEnabled());
        for (QWidget* control : dayActions(*form))
            EXPECT_FALSE(control->isEnabled()) << control->toolTip().toStdString();
        EXPECT_FALSE(form->DayReportAction->isEnabled());
        EXPECT_FALSE(shown(form->charts.ChartNomMan51));

        // A download brings a day back.
        sim().loadMemory(std::span(*threeStudyDay()).first(kMemorySize));
        download();
        for (QWidget* control : {form->SaveFileData, form->Next, form->Nomogram})
            EXPECT_TRUE(control->isEnabled());
        EXPECT_TRUE(form->DayReportAction->isEnabled());
    }
}

TEST_F(ReaderTest, AFileCannotBeLoadedWhileThePassportAnswerArrives) {
    plugIn(*threeStudyDay());
    download();
    auto other = threeStudyDay();
    (*other)[kNameOffset] = 0xCF;  // another patient
    fake.dialogs.openNames.push_back(writeDay(*other, QStringLiteral("other.txt")));
    form->Old->setText("45");
    form->DataStart->setText("05.03.24");
    fake.dialogs.answers = {MbYes};
    press(&TTMForm::WriteDataClick);
    deliver(100);
    ASSERT_TRUE(green());
    form->show();
    QTest::mouseClick(form->LoadFile, Qt::LeftButton);
    EXPECT_EQ(fake.dialogs.openSpecs.size(), 0u);
    sim().deliverAll();
    expectAtRest();
    EXPECT_TRUE(std::equal(sim().memory().begin(), sim().memory().end(),
                           form->day().deviceImage().begin()));
    EXPECT_EQ(fake.dialogs.openNames.size(), 1u);  // never asked for
}

TEST_F(ReaderTest, AFailedWriteGivesOneMessageAndLeavesNothingPending) {
    plugIn(*threeStudyDay());
    loadDay(*threeStudyDay());
    sim().failWrites("Input/output error");
    for (void (TTMForm::*command)() : {&TTMForm::ReadDataClick, &TTMForm::EraseDataClick}) {
        fake.dialogs.messages.clear();
        if (command == &TTMForm::EraseDataClick) fake.dialogs.answers = {MbYes};
        press(command);
        EXPECT_EQ(form->transfer().pendingCommand(), kCommandNone);
        fake.clock.current = fake.clock.current.addSecs(60);
        press(&TTMForm::TransferTimerTimer);
        ASSERT_EQ(messagesWith(QStringLiteral("Урофлоуметрия")), 1);
        EXPECT_EQ(messagesWith(kReceiveMode), 0);
        EXPECT_FALSE(green());
        for (QWidget* control : {form->LoadFile, form->ReadData, form->WriteData, form->EraseData})
            EXPECT_TRUE(control->isEnabled());
    }
}

TEST_F(ReaderTest, AnErrorAtTheEndOfATransferIsShownAndTheLinkStillReturnsToRest) {
    ImageBuilder b;
    b.calibration(50000).addDecodedStudy(kStudyAreaStart, 25, 30,
                                         std::vector<std::uint16_t>(40, 800), 10);
    plugIn(*b.build());
    download();
    EXPECT_EQ(fake.dialogs.errors, QStringList{"'25:30' is not a valid time"});
    expectAtRest();
    EXPECT_EQ(commandsSent(), (std::vector<int>{0x41, 0x00}));
    EXPECT_EQ(fake.beeper.beeps, 1);

    sim().loadMemory(std::span(*threeStudyDay()).first(kMemorySize));
    download();
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
}

TEST_F(ReaderTest, OnlyTheLastReaderEnumeratedIsUsed) {
    HidDevice& second = sim().addDevice(kReaderVendorId, kReaderProductId);
    plugIn(*threeStudyDay());
    EXPECT_EQ(form->ReaderDevice, &second);
    press(&TTMForm::ReadDataClick);
    EXPECT_EQ(sim().writes().back().device, &second);
    // The first reader's blocks (its own memory, say) go nowhere.
    sim().sendBlocks(std::vector<Block>(5));
    sim().deliverAll();
    EXPECT_EQ(form->transfer().ReportCount, 0);
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(ReaderTest, AReaderThatMayNotBeOpenedIsNamedOncePerPlugIn) {
    sim().denyAccess(true);
    plugIn(*threeStudyDay());
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].caption, QStringLiteral("Доступ к Считывателю"));
    // What to do on the installed system, not a path in the sources.
    EXPECT_TRUE(
        fake.dialogs.messages[0].text.contains("/usr/lib/udev/rules.d/70-uroflow-reader.rules"));
    EXPECT_TRUE(fake.dialogs.messages[0].text.contains("подключите его снова"));
    EXPECT_FALSE(fake.dialogs.messages[0].text.contains("packaging/"));
    EXPECT_FALSE(shown(form->ReadData));
    EXPECT_EQ(form->ReaderDevice, nullptr);

    sim().addDevice(0x046D, 0xC077);  // another device comes and goes: no second box
    sim().plug();
    sim().deliverAll();
    EXPECT_EQ(fake.dialogs.messages.size(), 1u);

    sim().unplug();
    sim().deliverAll();
    sim().plug();
    sim().deliverAll();
    EXPECT_EQ(fake.dialogs.messages.size(), 2u);

    sim().denyAccess(false);
    sim().unplug();
    sim().deliverAll();
    sim().plug();
    sim().deliverAll();
    EXPECT_EQ(fake.dialogs.messages.size(), 2u);
    EXPECT_TRUE(shown(form->ReadData));
}

TEST_F(ReaderTest, TheWindowClosedWhileAReportWaitsOnAMessageBox) {
    plugIn(*threeStudyDay());
    download();
    bool held = false;
    fake.dialogs.onMessage = [&](const RecordedMessage&) {
        // While the box is open: the user closes the window, the reader goes on.
        fake.dialogs.onMessage = nullptr;
        form->close();
        sim().sendBlocks(std::vector<Block>(3));
        held = sim().deliverNext() == SimulatedUroflowmeter::Delivered::Held;
    };
    sim().sendBlocks(std::vector<Block>(1));
    EXPECT_EQ(sim().deliverAll(), 4u);
    EXPECT_TRUE(held);
    EXPECT_EQ(messagesWith(kReceiveMode), 1);

    // The window is gone: the reader's reports reach nobody.
    form.reset();
    sim().sendBlocks(std::vector<Block>(3));
    EXPECT_EQ(sim().deliverAll(), 3u);
}

TEST_F(ReaderTest, TheDemoModeDownloadsTheDemoDayPacedThroughTheEventLoop) {
    const auto day = std::make_unique<Image>(buildDemoDay());
    sim().loadMemory(std::span(*day).first(kMemorySize));
    sim().plug();
    DemoPacer pacer(sim());
    while (!form->ReaderFound) QApplication::processEvents(QEventLoop::AllEvents, 10);
    press(&TTMForm::ReadDataClick);
    int turns = 0;
    while (fake.beeper.beeps == 0) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        ++turns;
    }
    // The event loop ran between the reports, not once for all of them.
    EXPECT_GT(turns, 100);
    expectAtRest();
    EXPECT_EQ(form->Mnt->toPlainText(), QString::number(demoDayPlan().size()));
    EXPECT_TRUE(std::equal(sim().memory().begin(), sim().memory().end(),
                           form->day().deviceImage().begin()));
}

}  // namespace uroflow::test
