// The day report as a PDF: its pages and texts read back with poppler's tools, the
// window's command, and the batch command line.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/DayReportPdf.h"
#include "app/Shape.h"
#include "charts/ChartSetup.h"
#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "files/ExportTarget.h"
#include "files/StudyFile.h"
#include "study/IndexTexts.h"
#include "tests/handlers/HandlerFixture.h"
#include "tests/handlers/PdfText.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The demo day with four more voidings in the evening and night: eleven.
std::unique_ptr<Image> elevenVoidings() {
    std::vector<DemoVoiding> plan = demoDayPlan();
    plan.back().hour = 21;
    for (const std::uint8_t hour : {22, 1, 4, 7}) plan.push_back({hour, 30, 3, 250, 15, false});
    return std::make_unique<Image>(buildDemoDay(plan));
}

class DayReportTest : public HandlerTest {
  protected:
    QString target(const QString& name) const {
        return QDir(fake.userConfigDir.path()).filePath(name);
    }
};

TEST_F(DayReportTest, DemoDayOnOnePageWithTheWindowsTexts) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    const DayReport report = buildDayReport(*device);
    const QString path = target(QStringLiteral("demo.pdf"));
    writeDayReportPdf(buildDaySheet(report, report.passport, "Петров П.П."),
                      QFile::encodeName(path).toStdString());

    ASSERT_EQ(pdfPages(path), 1);
    EXPECT_EQ(pdfPictures(path), 0);
    const QString page = pdfText(path, 1);
    for (const QString& expected :
         {QStringLiteral("Иванов И.И."), QStringLiteral("Петров П.П."), QStringLiteral("05.03.26"),
          QStringLiteral("Урофлоуметр \"Квартон-64К\""), QStringLiteral("Сводка за сутки")}) {
        EXPECT_TRUE(page.contains(expected)) << expected.toStdString();
    }
    // The nomogram of a man over 50, named by its title; the page's text runs in lines.
    const QString title = nomogramTexts(NomogramKind::Man51).title;
    EXPECT_TRUE(page.simplified().contains(title)) << page.toStdString();
    ASSERT_EQ(report.studies.size(), 7u);
    for (const StudyReport& study : report.studies) {
        SCOPED_TRACE(study.number);
        EXPECT_TRUE(page.contains(text(*study.start)));
        EXPECT_TRUE(page.contains(text(reportTexts(study.indices).vml)));
    }
}

TEST_F(DayReportTest, WithoutSexTheNomogramPlaceSaysSo) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    DayReport report = buildDayReport(*device);
    Passport shown = report.passport;
    shown.sex.reset();
    const QString path = target(QStringLiteral("nosex.pdf"));
    writeDayReportPdf(buildDaySheet(report, shown, ""), QFile::encodeName(path).toStdString());
    const QString page = pdfText(path, 1).simplified();
    EXPECT_TRUE(page.contains(QStringLiteral("Номограмма не выбрана: не указан пол пациента")));
    EXPECT_FALSE(page.contains(QStringLiteral("Компьютерная оценка")));
}

TEST_F(DayReportTest, ElevenVoidingsTakeTwoPagesEachWithTheHeader) {
    const auto device = elevenVoidings();
    const DayReport report = buildDayReport(*device);
    ASSERT_EQ(report.studies.size(), 11u);
    const QString path = target(QStringLiteral("eleven.pdf"));
    writeDayReportPdf(buildDaySheet(report, report.passport, ""),
                      QFile::encodeName(path).toStdString());

    ASSERT_EQ(pdfPages(path), 2);
    const QString first = pdfText(path, 1);
    const QString second = pdfText(path, 2);
    for (const QString& page : {first, second}) {
        EXPECT_TRUE(page.contains(QStringLiteral("ФИО пациента: Иванов И.И.")));
        EXPECT_TRUE(page.contains(QStringLiteral("Урофлоуметр \"Квартон-64К\"")));
    }
    // The eleventh voiding (07:30) is on the second page only; the summary on the first.
    EXPECT_FALSE(first.contains(QStringLiteral("07:30:00")));
    EXPECT_TRUE(second.contains(QStringLiteral("07:30:00")));
    EXPECT_TRUE(second.contains(QStringLiteral("№ 11")));
    EXPECT_TRUE(first.contains(QStringLiteral("Мочеиспусканий: 11")));
    EXPECT_FALSE(second.contains(QStringLiteral("Мочеиспусканий:")));
    EXPECT_TRUE(second.contains(QStringLiteral("Страница 2 из 2")));
}

TEST_F(DayReportTest, WindowCommandFollowsSaveFileDataAndWritesTheDayOnScreen) {
    QAction* action = form->DayReportAction;
    EXPECT_EQ(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_FALSE(action->isEnabled());
    loadDay(*std::make_unique<Image>(buildDemoDay()));
    ASSERT_TRUE(form->SaveFileData->isEnabled());
    EXPECT_TRUE(action->isEnabled());
    form->SaveFileData->setEnabled(false);
    EXPECT_FALSE(action->isEnabled());
    form->SaveFileData->setEnabled(true);
    EXPECT_TRUE(action->isEnabled());

    // The doctor corrects the name on screen; the page takes it. No extension: ".pdf".
    form->Name->setText(QStringLiteral("Иванова А.А."));
    fake.dialogs.saveNames.push_back(target(QStringLiteral("report")));
    action->trigger();
    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    ASSERT_EQ(fake.dialogs.saveSpecs.size(), 1u);
    EXPECT_EQ(fake.dialogs.saveSpecs[0].proposedName, QStringLiteral("Иванова А.А. 05.03.26.pdf"));
    EXPECT_EQ(fake.dialogs.saveSpecs[0].defaultSuffix, QStringLiteral("pdf"));
    const QString written = target(QStringLiteral("report.pdf"));
    ASSERT_TRUE(QFile::exists(written));
    EXPECT_TRUE(pdfText(written, 1).contains(QStringLiteral("Иванова А.А.")));

    // Cancelled: nothing asked of the file system. Unwritable: the general error box.
    action->trigger();
    EXPECT_EQ(fake.dialogs.saveSpecs.size(), 2u);
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
    const struct {
        QString path;
        QString error;
    } failures[] = {
        {target(QStringLiteral("missing/day.pdf")),
         QString::fromStdString(exportSaveErrorText(ENOENT))},
        {target(QStringLiteral("taken.pdf")), QString::fromStdString(exportSaveErrorText(EISDIR))}};
    ASSERT_TRUE(QDir(fake.userConfigDir.path()).mkdir(QStringLiteral("taken.pdf")));
    for (const auto& failure : failures) {
        fake.dialogs.errors.clear();
        fake.dialogs.saveNames.push_back(failure.path);
        action->trigger();
        EXPECT_EQ(fake.dialogs.errors, QStringList{failure.error}) << failure.path.toStdString();
    }
}

TEST_F(DayReportTest, ShortcutAndBottomBarMenu) {
    loadDay(*std::make_unique<Image>(buildDemoDay()));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Name->setFocus();
    QTest::keyClick(form->Name, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(fake.dialogs.saveSpecs.size(), 1u);  // cancelled, no script

    // A right click on the bottom bar, also on a button of it, enabled or not, reaches
    // the window and offers the report.
    form->EraseData->setEnabled(false);
    for (QWidget* at :
         {static_cast<QWidget*>(form->Shape3), static_cast<QWidget*>(form->SaveFileData),
          static_cast<QWidget*>(form->EraseData)}) {
        SCOPED_TRACE(at->toolTip().toStdString());
        // Through the window system, as a real click comes.
        const QPoint inside = at->mapTo(form.get(), at->rect().center());
        QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, inside);
        EXPECT_TRUE(form->BottomBarMenu->isVisible());
        EXPECT_TRUE(form->BottomBarMenu->actions().contains(form->DayReportAction));
        form->BottomBarMenu->hide();
    }
    const QPoint chartArea(400, 300);
    QContextMenuEvent elsewhere(QContextMenuEvent::Mouse, chartArea, form->mapToGlobal(chartArea));
    QCoreApplication::sendEvent(form.get(), &elsewhere);
    EXPECT_FALSE(form->BottomBarMenu->isVisible());
}

// The program itself, as a batch script runs it.
TEST_F(DayReportTest, CommandLineWritesTheReportOrSaysWhyNot) {
    const QString day = writeDay(*std::make_unique<Image>(buildDemoDay()));
    const QByteArray dayBytes = readAll(day);
    const QString dayLink = target(QStringLiteral("link.pdf"));
    ASSERT_TRUE(QFile::link(day, dayLink));
    const QString out = target(QStringLiteral("batch.pdf"));
    const struct {
        QStringList args;
        int code;
        QString error;
    } cases[] = {
        {{QStringLiteral("--day-report"), out, day}, 0, QString()},
        {{QStringLiteral("--day-report"), out, QStringLiteral("--night"),
          QStringLiteral("22:30-06:30"), day},
         0,
         QString()},
        {{QStringLiteral("--day-report"), out, target(QStringLiteral("none.txt"))},
         1,
         QStringLiteral("uroflow: ") + target(QStringLiteral("none.txt")) +
             QStringLiteral(": File not found\n")},
        {{QStringLiteral("--day-report"), target(QStringLiteral("no/x.pdf")), day},
         1,
         QStringLiteral("uroflow: ") + target(QStringLiteral("no/x.pdf")) + QStringLiteral(": ") +
             QString::fromStdString(exportSaveErrorText(ENOENT))},
        // The study itself, by its name or through a link, is never the output.
        {{QStringLiteral("--day-report"), day, day},
         1,
         QStringLiteral("uroflow: ") + day +
             QStringLiteral(": Файл не сохранен: это файл исследования")},
        {{QStringLiteral("--day-report"), dayLink, day},
         1,
         QStringLiteral("uroflow: ") + dayLink +
             QStringLiteral(": Файл не сохранен: это файл исследования")},
        {{QStringLiteral("--day-report"), out},
         2,
         QStringLiteral("uroflow: --day-report needs the study file FILE\nusage: uroflow ")},
        {{QStringLiteral("--day-report"), out, QStringLiteral("--night"), QStringLiteral("7"), day},
         2,
         QStringLiteral("uroflow: the night must be given as HH:MM-HH:MM with two different "
                        "times, not '7'\nusage: uroflow ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QFile::remove(out);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));  // it must not need one
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(UROFLOW_PROGRAM), c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), c.code);
        const QString error = QString::fromUtf8(process.readAllStandardError());
        if (c.code == 0) {
            EXPECT_EQ(pdfPages(out), 1);
        } else {
            EXPECT_TRUE(error.contains(c.error)) << error.toStdString();
            EXPECT_FALSE(QFile::exists(out));
        }
        EXPECT_EQ(readAll(day), dayBytes);
    }
}

// Exit code and standard error of the program run with exactly these argument bytes
// (QProcess would pass its arguments through a UTF-8 conversion).
struct ProgramRun {
    int code = -1;
    std::string error;
};
ProgramRun runWithBytes(const std::vector<std::string>& args, const std::string& errorFile) {
    std::vector<std::string> all{UROFLOW_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    ProgramRun run;
    if (::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
            run.code = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream error(errorFile);
    run.error.assign(std::istreambuf_iterator<char>(error), {});
    return run;
}

// Names that are no valid UTF-8 are read and written under exactly those names.
TEST_F(DayReportTest, CommandLineTakesFileNamesAsBytes) {
    const std::string folder = QFile::encodeName(fake.userConfigDir.path()).toStdString() + "/";
    const std::string day = folder + "bad\xff day.txt";
    const std::string out = folder + "out\xfe.pdf";
    const std::string errors = folder + "errors.txt";
    writeStudyFile(day, *std::make_unique<Image>(buildDemoDay()));

    ProgramRun run = runWithBytes({"--day-report", out, day}, errors);
    EXPECT_EQ(run.code, 0) << run.error;
    std::ifstream written(out, std::ios::binary);
    std::string start(4, '\0');
    written.read(start.data(), 4);
    EXPECT_EQ(start, "%PDF");
    // Nothing written under another name (Qt's own listing leaves such names out).
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path());
    }
    EXPECT_EQ(names.size(), 3u);

    // A missing one is named with its own bytes.
    const std::string missing = folder + "none\xff.txt";
    run = runWithBytes({"--day-report", out, missing}, errors);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.error.find("uroflow: " + missing + ": File not found\n"), std::string::npos)
        << run.error;
    // Qt's temporary folder could not remove what it cannot name.
    for (const auto& name : names) std::filesystem::remove(name);
}

}  // namespace
}  // namespace uroflow::test
