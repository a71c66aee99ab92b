// The standard figures in the window (a tool tip beside the indices) and the sleep period
// asked before the day report and remembered in rdp.ini.

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTime>
#include <QTimeEdit>
#include <memory>

#include "app/Settings.h"
#include "app/SleepPeriodDialog.h"
#include "tests/handlers/HandlerFixture.h"
#include "tests/handlers/PdfText.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {
namespace {

using StandardFigures = HandlerTest;

TEST_F(StandardFigures, TheStudyOnScreenShowsThemBesideItsIndicesWithoutChangingAnyHint) {
    const QString qmaxHint = form->Qmax->toolTip();
    loadDay(*std::make_unique<Image>(buildDemoDay()));
    // The demo day's first voiding: 16,5 ml/s over 2 s against the device's 17,4.
    for (const QLabel* unit : form->unitLabels) {
        const QString tip = unit->toolTip();
        EXPECT_TRUE(tip.contains(QStringLiteral("Qmax (за 2 сек): 16,5 мл/сек")))
            << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Время потока: 40,5 сек")));
        EXPECT_TRUE(tip.contains(QStringLiteral("Оценка: без замечаний")));
    }
    EXPECT_EQ(form->Qmax->text(), QStringLiteral("17,4"));
    EXPECT_EQ(form->Qmax->toolTip(), qmaxHint);

    form->Next->click();
    EXPECT_TRUE(form->unitLabels[0]->toolTip().contains(QStringLiteral("13,8 мл/сек")))
        << form->unitLabels[0]->toolTip().toStdString();
}

TEST_F(StandardFigures, AStudyThatFailedToDecodeSaysItHasNone) {
    for (const SampleDay& day : sampleDays()) {
        if (day.name != "invalid-start-time") continue;
        loadDay(buildDemoDay(day.plan, day.end));
    }
    EXPECT_TRUE(form->unitLabels[0]->toolTip().contains(QStringLiteral("Qmax (за 2 сек): 17,0")));
    // The second study's time is invalid: its own error, no figures of another study.
    form->Next->click();
    EXPECT_EQ(fake.dialogs.errors.size(), 1);
    EXPECT_TRUE(form->unitLabels[0]->toolTip().contains(QStringLiteral("не выполнен")))
        << form->unitLabels[0]->toolTip().toStdString();
}

TEST_F(StandardFigures, TheSleepPeriodIsAskedBeforeTheReportAndRemembered) {
    loadDay(*std::make_unique<Image>(buildDemoDay()));
    const QString pdf = QDir(fake.userConfigDir.path()).filePath(QStringLiteral("day.pdf"));

    // Cancelled: no report, nothing remembered.
    fake.dialogs.sleepPeriods.push_back(std::nullopt);
    form->DayReportAction->trigger();
    EXPECT_TRUE(fake.dialogs.saveSpecs.empty());
    ASSERT_EQ(fake.dialogs.sleepPeriodsOffered.size(), 1u);
    EXPECT_EQ(fake.dialogs.sleepPeriodsOffered[0].from, 23 * 60);
    EXPECT_EQ(fake.dialogs.sleepPeriodsOffered[0].to, 7 * 60);

    fake.dialogs.sleepPeriods.push_back(NightWindow{22 * 60 + 30, 6 * 60});
    fake.dialogs.saveNames.push_back(pdf);
    form->DayReportAction->trigger();
    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_TRUE(pdfText(pdf, 1).contains(QStringLiteral("Период сна: 22:30–06:00")));

    // A voiding the doctor leaves out on the nomogram is left out of the page too.
    form->Next->click();
    form->Next->click();
    form->EnNom->click();
    ASSERT_FALSE(form->EnNom->isChecked());
    fake.dialogs.saveNames.push_back(pdf);
    form->DayReportAction->trigger();
    const QString page = pdfText(pdf, 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("Исключены врачом из оценки: № 3")))
        << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("Мочеиспусканий: 6")));

    // The next report offers it again, from rdp.ini.
    const QSettings ini(settingsFileToRead(fake.programDir.path(), fake.userConfigDir.path()),
                        QSettings::IniFormat);
    EXPECT_EQ(ini.value(QString::fromLatin1(kSleepPeriodKey)).toString(),
              QStringLiteral("22:30-06:00"));
    fake.dialogs.sleepPeriods.push_back(std::nullopt);
    form->DayReportAction->trigger();
    ASSERT_EQ(fake.dialogs.sleepPeriodsOffered.size(), 4u);
    EXPECT_EQ(fake.dialogs.sleepPeriodsOffered[3].from, 22 * 60 + 30);
    EXPECT_EQ(fake.dialogs.sleepPeriodsOffered[3].to, 6 * 60);
}

TEST_F(StandardFigures, TheArchivedDayComparedWithOnScreenIsOnThePage) {
    const QString archive =
        writeDay(*std::make_unique<Image>(buildDemoDay()), QStringLiteral("archive.txt"));
    loadDay(*std::make_unique<Image>(buildDemoDay()));
    const QString pdf = QDir(fake.userConfigDir.path()).filePath(QStringLiteral("day.pdf"));
    fake.dialogs.saveNames.push_back(pdf);
    form->DayReportAction->trigger();
    EXPECT_FALSE(pdfText(pdf, 1).contains(QStringLiteral("архивный день 05.03.26")));

    form->Nomogram->click();
    fake.dialogs.openNames.push_back(archive);
    form->NomS->click();
    ASSERT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    fake.dialogs.saveNames.push_back(pdf);
    form->DayReportAction->trigger();
    EXPECT_TRUE(pdfText(pdf, 1).simplified().contains(QStringLiteral("архивный день 05.03.26")));
}

TEST(SleepPeriodDialog, OffersThePeriodAndRefusesTwoEqualTimes) {
    SleepPeriodDialog dialog(NightWindow{23 * 60, 7 * 60}, nullptr);
    EXPECT_EQ(dialog.Bedtime->time(), QTime(23, 0));
    EXPECT_EQ(dialog.Rising->time(), QTime(7, 0));
    QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(ok->isEnabled());
    dialog.Rising->setTime(QTime(23, 0));
    EXPECT_FALSE(ok->isEnabled());
    dialog.Bedtime->setTime(QTime(0, 30));
    dialog.Rising->setTime(QTime(8, 15));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(dialog.period().from, 30);
    EXPECT_EQ(dialog.period().to, 8 * 60 + 15);
}

}  // namespace
}  // namespace uroflow::test
