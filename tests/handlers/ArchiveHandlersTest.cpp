// The patient archive in the window, on the fake platform with a real SQLite archive in a
// temporary folder: days kept as they arrive, a failure reported once and retried, the
// archive window finding, opening, comparing and trending kept days, and its settings.

#include <QAction>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTextEdit>

#include "app/ArchiveSettingsDialog.h"
#include "app/PatientArchiveDialog.h"
#include "archive/Archive.h"
#include "archive/Connection.h"
#include "charts/TrendChart.h"
#include "study/Passport.h"
#include "tests/handlers/HandlerFixture.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {

namespace {

// The demo day (seven voidings) with another name and date; `variant` makes it distinct.
std::unique_ptr<Image> patientDay(const std::string& name, const std::string& date,
                                  std::uint8_t variant = 0) {
    auto day = std::make_unique<Image>(buildDemoDay());
    const std::string bytes = utf8ToCp1251(name);
    std::fill_n(day->begin() + kNameOffset, kNameLength, std::uint8_t{0});
    std::copy(bytes.begin(), bytes.end(), day->begin() + kNameOffset);
    std::copy(date.begin(), date.end(), day->begin() + kDateOffset);
    (*day)[kMemorySize - 1] = variant;
    return day;
}

}  // namespace

class ArchiveWindowTest : public HandlerTest {
  protected:
    QString archiveFile() const {
        return QDir(fake.dataDir.path()).filePath(QStringLiteral("archive.sqlite"));
    }
    std::vector<KeptDay> kept() {
        Archive archive(parseArchiveUrl(archiveFile()));
        return archive.list();
    }
    // The keeping waits for the handler to end.
    static void settle() { QCoreApplication::processEvents(); }
    void press(void (TTMForm::*handler)()) {
        form->guard([&] { (form.get()->*handler)(); });
    }
    int archiveWarnings() const {
        return static_cast<int>(
            std::count_if(fake.dialogs.messages.begin(), fake.dialogs.messages.end(),
                          [](const RecordedMessage& m) {
                              return m.caption == QStringLiteral("Архив пациентов");
                          }));
    }
};

TEST_F(ArchiveWindowTest, LoadedAndDownloadedDaysAreKeptOnce) {
    const auto day = threeStudyDay();
    loadDay(*day);
    settle();
    loadDay(*day);
    settle();
    std::vector<KeptDay> days = kept();
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].source, QStringLiteral("file"));
    EXPECT_TRUE(days[0].fileName.endsWith(QStringLiteral("day.txt")));
    EXPECT_EQ(days[0].studies, 3);

    const auto other = patientDay("Петрова А.А.", "100226");
    fake.reader.loadMemory(std::span(*other).first(kMemorySize));
    fake.reader.plug();
    fake.reader.deliverAll();
    form->VName->setText(QStringLiteral("Врачева В.В."));
    press(&TTMForm::ReadDataClick);
    fake.reader.deliverAll();
    settle();
    days = kept();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[1].source, QStringLiteral("download"));
    EXPECT_EQ(days[1].name, QStringLiteral("Петрова А.А."));
    EXPECT_EQ(days[1].doctor, QStringLiteral("Врачева В.В."));
    EXPECT_EQ(archiveWarnings(), 0);
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(ArchiveWindowTest, ArchiveAwayIsOneWarningTheDayStaysAndIsKeptLater) {
    // Something that is no archive where the archive should be.
    ASSERT_TRUE(QDir().mkpath(archiveFile()));
    const auto day = threeStudyDay();
    loadDay(*day);
    settle();
    EXPECT_EQ(archiveWarnings(), 1);
    EXPECT_TRUE(fake.dialogs.messages.back().text.startsWith(
        QStringLiteral("День не сохранен в архиве пациентов.")));
    EXPECT_EQ(fake.dialogs.messages.back().icon, MsgIcon::Warning);
    EXPECT_EQ(form->Mnt->toPlainText().trimmed(), QStringLiteral("3"));
    EXPECT_TRUE(form->SaveFileData->isEnabled());

    ASSERT_TRUE(QDir(archiveFile()).removeRecursively());
    loadDay(*patientDay("Петрова А.А.", "100226"));
    settle();
    EXPECT_EQ(archiveWarnings(), 1);
    const std::vector<KeptDay> days = kept();
    ASSERT_EQ(days.size(), 2u);  // the day missed before comes first
    EXPECT_EQ(days[0].studies, 3);
    EXPECT_EQ(days[1].name, QStringLiteral("Петрова А.А."));
}

TEST_F(ArchiveWindowTest, ArchiveWindowFindsOpensComparesAndTrendsKeptDays) {
    {
        Archive archive(parseArchiveUrl(archiveFile()));
        archive.keep(*patientDay("Петрова А.А.", "120226", 2), KeepSource::Import, {}, {});
        archive.keep(*patientDay("Петрова А.А.", "090226", 1), KeepSource::Import, {}, {});
        archive.keep(*patientDay("Иванов И.И.", "010126"), KeepSource::Import, {}, {});
        archive.keep(*patientDay("ПЕТРОВА А.А.", "150226", 3), KeepSource::Import, {}, {});
    }
    EXPECT_EQ(form->PatientArchiveAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_TRUE(form->BottomBarMenu->actions().contains(form->PatientArchiveAction));
    EXPECT_TRUE(form->BottomBarMenu->actions().contains(form->ArchiveSettingsAction));
    form->PatientArchiveAction->trigger();
    PatientArchiveDialog* dialog = form->PatientArchive;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Patients->rowCount(), 2);

    dialog->Search->setText(QStringLiteral("петр"));
    ASSERT_EQ(dialog->Patients->rowCount(), 1);
    EXPECT_EQ(dialog->Patients->item(0, 1)->text(), QStringLiteral("М"));
    EXPECT_EQ(dialog->Patients->item(0, 2)->text(), QStringLiteral("64"));
    // The same patient in any letter case; the days in date order.
    ASSERT_EQ(dialog->Days->rowCount(), 3);
    EXPECT_EQ(dialog->Days->item(0, 0)->text(), QStringLiteral("09.02.26"));
    EXPECT_EQ(dialog->Days->item(2, 0)->text(), QStringLiteral("15.02.26"));
    EXPECT_EQ(dialog->Days->item(0, 1)->text(), QStringLiteral("7"));
    EXPECT_FALSE(dialog->Days->item(0, 2)->text().isEmpty());
    EXPECT_FALSE(dialog->Days->item(0, 3)->text().isEmpty());
    EXPECT_EQ(dialog->Trend->qmaxSeries()->count(), 21);
    EXPECT_EQ(dialog->Trend->volumeSeries()->count(), 21);

    dialog->Days->selectRow(0);
    dialog->OpenDay->click();
    EXPECT_EQ(form->Name->text(), QStringLiteral("Петрова А.А."));
    EXPECT_EQ(form->DataStart->text(), QStringLiteral("09.02.26"));
    EXPECT_EQ(form->Mnt->toPlainText().trimmed(), QStringLiteral("7"));
    EXPECT_TRUE(form->NomS->isEnabled());
    settle();
    EXPECT_EQ(kept().size(), 4u);  // an opened day is not kept twice

    dialog->Days->selectRow(2);
    dialog->CompareDay->click();
    EXPECT_TRUE(form->DateArj->isVisible() || !form->isVisible());
    EXPECT_EQ(form->DateArj->text(), QStringLiteral("Сравнение с номограммой от: 15.02.26"));
    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();

    dialog->Search->setText(QStringLiteral("Сидоров"));
    EXPECT_EQ(dialog->Patients->rowCount(), 0);
    EXPECT_EQ(dialog->Days->rowCount(), 0);
    EXPECT_EQ(dialog->Trend->qmaxSeries()->count(), 0);
}

// A kept day whose bytes were changed behind the archive: the patient's days are still
// listed and the others open, the numbers and the trend stay empty, and the archive window
// says why, without the general error box.
TEST_F(ArchiveWindowTest, DamagedDayLeavesThePatientsDaysListedAndSaysWhy) {
    qint64 damaged = 0;
    {
        Archive archive(parseArchiveUrl(archiveFile()));
        archive.keep(*patientDay("Петрова А.А.", "090226", 1), KeepSource::Import, {}, {});
        damaged =
            archive.keep(*patientDay("Петрова А.А.", "120226", 2), KeepSource::Import, {}, {}).id;
    }
    {
        QSqlDatabase db = openEmbedded(QStringLiteral("damage"), archiveFile(), 3000);
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE day_images SET image = ? WHERE day_id = ?"));
        query.addBindValue(QByteArray(kMemorySize, '\0'));
        query.addBindValue(damaged);
        ASSERT_TRUE(query.exec());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("damage"));

    form->PatientArchiveAction->trigger();
    PatientArchiveDialog* dialog = form->PatientArchive;
    ASSERT_EQ(dialog->Days->rowCount(), 2);
    EXPECT_EQ(dialog->Days->item(0, 1), nullptr);
    EXPECT_EQ(dialog->Trend->qmaxSeries()->count(), 0);
    EXPECT_TRUE(dialog->Status->text().contains(QStringLiteral("поврежден")))
        << dialog->Status->text().toStdString();
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());

    dialog->Days->selectRow(0);
    dialog->OpenDay->click();
    EXPECT_EQ(form->DataStart->text(), QStringLiteral("09.02.26"));
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(ArchiveWindowTest, SettingsKeepTheServerUrlWithoutPasswordInRdpIni) {
    form->ArchiveSettingsAction->trigger();
    ArchiveSettingsDialog* dialog = form->ArchiveSettings;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->Embedded->isChecked());
    EXPECT_FALSE(dialog->Url->isEnabled());
    EXPECT_TRUE(dialog->Location->text().contains(archiveFile()));
    dialog->TestConnection->click();
    EXPECT_EQ(dialog->Result->text(), QStringLiteral("Соединение установлено. Дней в архиве: 0."));

    dialog->Server->setChecked(true);
    EXPECT_TRUE(dialog->Url->isEnabled());
    dialog->Url->setText(QStringLiteral("postgresql://doctor:secret@db/uroflow"));
    EXPECT_TRUE(dialog->Location->text().contains(QStringLiteral("пароль не хранится")));
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(dialog->isVisible());
    const QString ini = QDir(fake.programDir.path()).filePath(QStringLiteral("rdp.ini"));
    EXPECT_TRUE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("archive/url")).isNull());

    const QString url =
        QStringLiteral("postgresql://doctor@db.clinic:5433/uroflow?sslmode=require");
    dialog->Url->setText(url);
    EXPECT_EQ(
        dialog->Location->text(),
        QStringLiteral("Сервер PostgreSQL db.clinic:5433, база uroflow, пользователь doctor"));
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("archive/url")).toString(),
              url);

    // Back to the embedded archive: the key is emptied and the next keep goes there.
    form->ArchiveSettingsAction->trigger();
    EXPECT_TRUE(dialog->Server->isChecked());
    EXPECT_EQ(dialog->Url->text(), url);
    dialog->Embedded->setChecked(true);
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("archive/url")).toString(),
              QString());
    loadDay(*threeStudyDay());
    settle();
    EXPECT_EQ(kept().size(), 1u);
    EXPECT_EQ(archiveWarnings(), 0);
}

}  // namespace uroflow::test
