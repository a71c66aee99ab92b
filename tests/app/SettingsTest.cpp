// The doctor's name (and the day report's sleep period) in rdp.ini: defaults, round trips,
// and the fallback to the user's configuration folder when the program's folder cannot
// take the file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <memory>
#include <thread>

#include "app/Settings.h"
#include "app/Unit1.h"
#include "tests/support/FakePlatform.h"

namespace uroflow::test {
namespace {

QString iniIn(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("rdp.ini"));
}

QString storedName(const QString& file) {
    return QSettings(file, QSettings::IniFormat).value(QStringLiteral("tools/edit1")).toString();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A folder name that is a regular file: nothing can be created inside it, even by root.
QString blockedFolder(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("not-a-folder"));
    writeFile(path, "x");
    return path;
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Two instances closing at once: each end writes a whole new file and renames it into
// place, so a reader at any moment finds one of the two names, never half a file.
TEST(Settings, TheFileIsReplacedWholeEvenWhenTwoInstancesEndAtOnce) {
    QTemporaryDir programDir, userDir;
    ASSERT_FALSE(
        writeDoctorName(programDir.path(), userDir.path(), QStringLiteral("Первый")).isEmpty());
    const ino_t before = inodeOf(iniIn(programDir));
    writeDoctorName(programDir.path(), userDir.path(), QStringLiteral("Второй"));
    EXPECT_NE(inodeOf(iniIn(programDir)), before);  // a new file, not rewritten in place

    const QString first = QStringLiteral("Иванова Мария Петровна"),
                  second = QStringLiteral("Петров Иван Сергеевич");
    auto instance = [&](const QString& name) {
        for (int i = 0; i < 40; ++i) {
            EXPECT_FALSE(writeDoctorName(programDir.path(), userDir.path(), name).isEmpty());
        }
    };
    std::thread a(instance, first), b(instance, second);
    int reads = 0;
    for (; reads < 200; ++reads) {
        const QString read = readDoctorName(programDir.path(), userDir.path());
        EXPECT_TRUE(read == first || read == second || read == QStringLiteral("Второй"))
            << read.toStdString();
    }
    a.join();
    b.join();
    const QString last = readDoctorName(programDir.path(), userDir.path());
    EXPECT_TRUE(last == first || last == second);
    // Nothing left beside it.
    EXPECT_EQ(QDir(programDir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("rdp.ini")});
}

TEST(Settings, FirstStartShowsDefaultAndEndWritesToolsEdit1) {
    FakePlatform fake;
    auto window = std::make_unique<TTMForm>(fake.platform());
    EXPECT_EQ(window->VName->text(), QStringLiteral("введите ФИО врача"));
    EXPECT_FALSE(QFile::exists(iniIn(fake.programDir)));

    window.reset();
    QFile file(iniIn(fake.programDir));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString contents = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(contents.contains(QStringLiteral("[tools]")));
    EXPECT_TRUE(contents.contains(QStringLiteral("edit1=введите ФИО врача")));
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST(Settings, NameTypedInOneRunIsShownAtTheNext) {
    FakePlatform fake;
    const QString name = QStringLiteral("Иванова Мария Петровна");
    {
        TTMForm window(fake.platform());
        window.VName->setText(name);
    }
    TTMForm next(fake.platform());
    EXPECT_EQ(next.VName->text(), name);
    // The file holds plain UTF-8, readable by any editor.
    QFile file(iniIn(fake.programDir));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(name.toUtf8()));
}

TEST(Settings, NamesWithIniSyntaxRoundTrip) {
    const QString names[] = {
        QStringLiteral("Петров, П.П."),
        QStringLiteral("a=b; [c] #d"),
        QStringLiteral("  с пробелами  "),
        QStringLiteral("\"в кавычках\""),
        QString(),
    };
    for (const QString& name : names) {
        QTemporaryDir program;
        QTemporaryDir user;
        ASSERT_EQ(writeDoctorName(program.path(), user.path(), name), iniIn(program));
        EXPECT_EQ(readDoctorName(program.path(), user.path()), name) << name.toStdString();
    }
}

TEST(Settings, MissingKeyOrUnreadableFileGivesDefault) {
    QTemporaryDir program;
    QTemporaryDir user;
    writeFile(iniIn(program), "[other]\nedit1=x\n[tools]\nedit2=y\n");
    EXPECT_EQ(readDoctorName(program.path(), user.path()), QStringLiteral("введите ФИО врача"));
}

TEST(Settings, UnwritableProgramFolderKeepsNameInUserFolder) {
    FakePlatform fake;
    Platform platform = fake.platform();
    platform.programDir = blockedFolder(fake.programDir);
    const QString name = QStringLiteral("Сидоров С.С.");
    {
        TTMForm window(platform);
        EXPECT_EQ(window.VName->text(), QStringLiteral("введите ФИО врача"));
        window.VName->setText(name);
    }
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
    EXPECT_EQ(storedName(iniIn(fake.userConfigDir)), name);

    TTMForm next(platform);
    EXPECT_EQ(next.VName->text(), name);
}

TEST(Settings, UserFolderIsCreatedWhenMissing) {
    QTemporaryDir program;
    QTemporaryDir user;
    const QString userDir = user.filePath(QStringLiteral("config/uroflow"));
    EXPECT_EQ(writeDoctorName(blockedFolder(program), userDir, QStringLiteral("N")),
              QDir(userDir).filePath(QStringLiteral("rdp.ini")));
    EXPECT_EQ(readDoctorName(blockedFolder(program), userDir), QStringLiteral("N"));
}

TEST(Settings, ProgramFolderFileThatCannotBeReplacedFallsBackToUserFolder) {
    // rdp.ini is taken by a folder: the program's folder is writable, its file is not.
    QTemporaryDir program;
    QTemporaryDir user;
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("rdp.ini")));
    EXPECT_EQ(writeDoctorName(program.path(), user.path(), QStringLiteral("Врач")), iniIn(user));
    EXPECT_EQ(readDoctorName(program.path(), user.path()), QStringLiteral("Врач"));
}

TEST(Settings, NewerOfTheTwoFilesWinsWhenBothExist) {
    struct Case {
        int userAgeSeconds;  // relative to the program folder's file
        const char* expected;
    };
    for (const Case& c : {Case{+60, "в папке программы"}, Case{-60, "в папке пользователя"}}) {
        QTemporaryDir program;
        QTemporaryDir user;
        ASSERT_FALSE(
            writeDoctorName(program.path(), {}, QStringLiteral("в папке программы")).isEmpty());
        ASSERT_FALSE(
            writeDoctorName({}, user.path(), QStringLiteral("в папке пользователя")).isEmpty());
        const QDateTime base = QDateTime::currentDateTime().addSecs(-3600);
        QFile programFile(iniIn(program));
        QFile userFile(iniIn(user));
        ASSERT_TRUE(programFile.open(QIODevice::ReadWrite) && userFile.open(QIODevice::ReadWrite));
        ASSERT_TRUE(programFile.setFileTime(base, QFileDevice::FileModificationTime));
        ASSERT_TRUE(userFile.setFileTime(base.addSecs(-c.userAgeSeconds),
                                         QFileDevice::FileModificationTime));
        programFile.close();
        userFile.close();
        EXPECT_EQ(readDoctorName(program.path(), user.path()), QString::fromUtf8(c.expected));
    }
}

TEST(Settings, NameThatCannotBeWrittenAnywhereIsReported) {
    FakePlatform fake;
    Platform platform = fake.platform();
    platform.programDir = blockedFolder(fake.programDir);
    platform.userConfigDir = blockedFolder(fake.userConfigDir);
    { TTMForm window(platform); }
    ASSERT_EQ(fake.dialogs.errors.size(), 1);
    EXPECT_TRUE(fake.dialogs.errors.front().startsWith(QStringLiteral("Unable to write to ")));
    EXPECT_TRUE(fake.dialogs.errors.front().endsWith(QStringLiteral("rdp.ini")));
}

// The day report's sleep period sits beside the name and never disturbs it.
TEST(Settings, SleepPeriodIsKeptBesideTheNameAndAnUnreadableOneGivesTheDefault) {
    QTemporaryDir program;
    QTemporaryDir user;
    const NightWindow none = readSleepPeriod(program.path(), user.path());
    EXPECT_EQ(none.from, 23 * 60);
    EXPECT_EQ(none.to, 7 * 60);

    ASSERT_FALSE(writeDoctorName(program.path(), user.path(), QStringLiteral("Петров")).isEmpty());
    ASSERT_TRUE(writeSleepPeriod(program.path(), user.path(), {30, 8 * 60 + 15}));
    EXPECT_EQ(storedName(iniIn(program)), QStringLiteral("Петров"));
    const NightWindow stored = readSleepPeriod(program.path(), user.path());
    EXPECT_EQ(stored.from, 30);
    EXPECT_EQ(stored.to, 8 * 60 + 15);

    QSettings(iniIn(program), QSettings::IniFormat)
        .setValue(QString::fromLatin1(kSleepPeriodKey), QStringLiteral("7-23"));
    EXPECT_EQ(readSleepPeriod(program.path(), user.path()).from, 23 * 60);
}

}  // namespace
}  // namespace uroflow::test
