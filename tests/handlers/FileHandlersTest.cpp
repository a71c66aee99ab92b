// Loading a day from a study file and saving it back.

#include <sys/stat.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QXYSeries>

#include "charts/ChartView.h"
#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

using FileHandlers = HandlerTest;

TEST_F(FileHandlers, LoadShowsPassportCountAndFirstStudy) {
    loadDay(*threeStudyDay());

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_EQ(form->Name->text(), QStringLiteral("Иванов"));
    EXPECT_EQ(form->Old->text(), "64");
    EXPECT_EQ(form->DataStart->text(), "05.03.26");
    EXPECT_TRUE(form->sexM->isChecked());
    EXPECT_EQ(form->Tstart->text(), "08:30:00");
    EXPECT_FALSE(form->Twait->text().isEmpty());
    EXPECT_GT(form->charts.ChartGraf->series()->count(), 100);

    for (QWidget* enabled : std::initializer_list<QWidget*>{
             form->Nomogram, form->NomS, form->PrintNomogram, form->VT, form->QV, form->ZoomReset,
             form->EnNom, form->Next, form->SaveFileData})
        EXPECT_TRUE(enabled->isEnabled()) << enabled->objectName().toStdString();
    EXPECT_FALSE(form->Prev->isEnabled());
    EXPECT_EQ(fake.dialogs.openSpecs.at(0).filter, QStringLiteral("текстовые(*.txt)"));
}

TEST_F(FileHandlers, LoadFileNamedLoadsWithoutDialog) {
    const QString path = writeDay(*threeStudyDay());
    form->guard([&] { form->LoadFileNamed(path); });
    EXPECT_TRUE(fake.dialogs.openSpecs.empty());
    EXPECT_EQ(form->Mnt->toPlainText(), "3");
    EXPECT_EQ(form->Tstart->text(), "08:30:00");
}

TEST_F(FileHandlers, SavedFileIsTheImageByteForByte) {
    const QString original = writeDay(*threeStudyDay(), "original.txt");
    fake.dialogs.openNames.push_back(original);
    form->guard([&] { form->LoadFileClick(); });

    const QString first = QDir(fake.userConfigDir.path()).filePath("first.txt");
    fake.dialogs.saveNames = {first, first};
    form->guard([&] { form->SaveFileDataClick(); });
    ASSERT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(fake.dialogs.saveSpecs.size(), 2u);  // the dialog is asked twice
    EXPECT_EQ(fake.dialogs.saveSpecs.at(0).defaultSuffix, "txt");
    EXPECT_EQ(readAll(first).size(), 65536);
    EXPECT_EQ(readAll(first), readAll(original));

    // Load the saved file and save it again: identical.
    const QString second = QDir(fake.userConfigDir.path()).filePath("second.TXT");
    fake.dialogs.openNames.push_back(first);
    fake.dialogs.saveNames = {second, second};
    form->guard([&] {
        form->LoadFileClick();
        form->SaveFileDataClick();
    });
    EXPECT_EQ(readAll(second), readAll(original));
}

TEST_F(FileHandlers, SaveNameRules) {
    loadDay(*threeStudyDay());
    const QDir dir(fake.userConfigDir.path());

    // Another extension: an information box, nothing written.
    fake.dialogs.saveNames = {dir.filePath("day.doc")};
    form->guard([&] { form->SaveFileDataClick(); });
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].caption, QStringLiteral("Сохранение"));
    EXPECT_EQ(fake.dialogs.messages[0].text,
              QStringLiteral("Файл не сохранен: выберите тип файла .txt или .xlsx."));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_FALSE(QFile::exists(dir.filePath("day.doc")));

    // No extension: saved as .txt.
    fake.dialogs.saveNames = {dir.filePath("plain"), dir.filePath("plain")};
    form->guard([&] { form->SaveFileDataClick(); });
    EXPECT_EQ(readAll(dir.filePath("plain.txt")).size(), 65536);

    // Cancelling the second dialog writes nothing.
    fake.dialogs.saveNames = {dir.filePath("kept.txt"), QString()};
    form->guard([&] { form->SaveFileDataClick(); });
    EXPECT_FALSE(QFile::exists(dir.filePath("kept.txt")));

    // A workbook goes to the export, in any letter case, after one dialog.
    fake.dialogs.saveSpecs.clear();
    fake.dialogs.saveNames = {dir.filePath("day.XLSX")};
    form->guard([&] { form->SaveFileDataClick(); });
    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(fake.dialogs.saveSpecs.size(), 1u);
    ASSERT_GE(fake.spreadsheet.calls.size(), 3u);
    EXPECT_EQ(fake.spreadsheet.calls.end()[-3],
              "saveAs " + QFile::encodeName(dir.filePath("day.XLSX")).toStdString());
}

TEST_F(FileHandlers, FailedLoadKeepsTheDayOnScreenAndInMemory) {
    loadDay(*threeStudyDay());
    const Image before = form->day().deviceImage();
    const QString shownName = form->Name->text();

    QByteArray bytes(65535, '\x11');
    const QString shortPath = QDir(fake.userConfigDir.path()).filePath("short.txt");
    QFile file(shortPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    fake.dialogs.openNames.push_back(shortPath);
    form->guard([&] { form->LoadFileClick(); });
    EXPECT_EQ(fake.dialogs.errors, QStringList{"Read beyond end of file"});
    EXPECT_TRUE(form->day().deviceImage() == before);
    EXPECT_EQ(form->Name->text(), shownName);
}

TEST_F(FileHandlers, FifoIsRefusedAtOnceAndTheDayStays) {
    loadDay(*threeStudyDay());
    const Image before = form->day().deviceImage();
    // Before, the open waited for a writer and the window froze for good.
    const QString fifo = QDir(fake.userConfigDir.path()).filePath("fifo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    fake.dialogs.openNames.push_back(fifo);
    form->guard([&] { form->LoadFileClick(); });
    EXPECT_EQ(fake.dialogs.errors, QStringList{"File access denied"});
    EXPECT_TRUE(form->day().deviceImage() == before);
}

TEST_F(FileHandlers, LongFileReadsFirst64KiB) {
    auto image = threeStudyDay();
    const QString path = writeDay(*image);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("extra");
    file.close();

    fake.dialogs.openNames.push_back(path);
    form->guard([&] { form->LoadFileClick(); });
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
    EXPECT_TRUE(form->day().deviceImage() == *image);
}

TEST_F(FileHandlers, CancelledOpenKeepsTheDayAsItWas) {
    // Nothing loaded yet: nothing happens.
    form->guard([&] { form->LoadFileClick(); });
    EXPECT_TRUE(form->Mnt->toPlainText().isEmpty());
    EXPECT_TRUE(fake.dialogs.messages.empty());

    // With a day held: the study shown, its include flag and the view all stay.
    loadDay(*threeStudyDay());
    form->guard([&] { form->NextClick(); });
    form->EnNom->setChecked(false);
    form->guard([&] { form->EnNomClick(); });
    form->guard([&] { form->QVClick(); });
    const QString shown = indexTexts();
    form->guard([&] { form->LoadFileClick(); });
    EXPECT_EQ(form->Mst->toPlainText(), "2");
    EXPECT_EQ(indexTexts(), shown);
    EXPECT_FALSE(form->day().included(1));
    EXPECT_FALSE(form->EnNom->isChecked());
    EXPECT_TRUE(form->charts.ChartVQ->isVisibleTo(form.get()));
    EXPECT_FALSE(form->charts.ChartGraf->isVisibleTo(form.get()));
}

// After "Read beyond end of file" the window still shows the day held, and the steps
// and the nomogram work on it.
TEST_F(FileHandlers, FailedLoadLeavesAWorkingWindow) {
    loadDay(*threeStudyDay());
    form->guard([&] { form->NextClick(); });
    const QString shortPath = writeDay(*threeStudyDay(), QStringLiteral("short.txt"));
    QFile::resize(shortPath, 1000);
    fake.dialogs.openNames.push_back(shortPath);
    form->guard([&] { form->LoadFileClick(); });
    ASSERT_EQ(fake.dialogs.errors, QStringList{"Read beyond end of file"});
    EXPECT_EQ(form->Mst->toPlainText(), "2");
    EXPECT_EQ(form->Tstart->text(), "12:30:00");

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->Mst->toPlainText(), "3");
    EXPECT_EQ(form->Tstart->text(), "18:30:00");
    form->sexM->setChecked(true);
    form->Old->setText(QStringLiteral("64"));
    form->guard([&] { form->NomogramClick(); });
    EXPECT_TRUE(form->charts.ChartNomMan51->isVisibleTo(form.get()));
    EXPECT_EQ(form->charts.ChartNomMan51->series()->count(), 3);
    EXPECT_EQ(fake.dialogs.errors.size(), 1);
}

}  // namespace uroflow::test
