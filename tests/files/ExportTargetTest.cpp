// Where an export may write: the finished file replaces only a regular file, never the
// study it was made from, and a failure leaves everything as it was, with a Russian
// message that names no temporary file.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include "files/DayReport.h"
#include "files/ExportTarget.h"
#include "files/StudyFile.h"
#include "study/RuntimeError.h"
#include "tests/files/TempFolder.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

class ExportTarget : public ::testing::Test {
  protected:
    // The error text of replacing `name` in the folder with `bytes`, empty on success.
    std::string replace(const std::string& path, std::size_t size = 100) {
        const std::vector<std::uint8_t> bytes(size, 0x42);
        try {
            replaceWithExport(path, bytes);
        } catch (const RuntimeError& e) {
            return e.what();
        }
        return {};
    }
    static void expectRussianWithoutTemporaryName(const std::string& text) {
        EXPECT_TRUE(text.starts_with("Файл не сохранен: ")) << text;
        EXPECT_EQ(text.find(".XXXXXX"), std::string::npos) << text;
        EXPECT_EQ(text.find("/tmp"), std::string::npos) << text;
    }

    test::TempFolder folder;
};

TEST_F(ExportTarget, ReplacesARegularFileWholeAndThroughALinkTheFileItPointsTo) {
    const std::string file = folder.file("day.pdf"), link = folder.file("link.pdf");
    test::writeBytes(file, {'o', 'l', 'd'});
    ::chmod(file.c_str(), 0640);
    fs::create_symlink(file, link);
    EXPECT_EQ(replace(link), "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readBytes(file).size(), 100u);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(replace(folder.file("new.pdf")), "");
    EXPECT_EQ(entriesIn(folder.file("")), 3u);
}

TEST_F(ExportTarget, AnythingButARegularFileIsRefusedAndLeftAsItIs) {
    const std::string fifo = folder.file("fifo.xlsx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string refused = replace(fifo);
    expectRussianWithoutTemporaryName(refused);
    EXPECT_NE(refused.find("не обычный файл"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(fifo));

    fs::create_directory(folder.file("folder.xlsx"));
    expectRussianWithoutTemporaryName(replace(folder.file("folder.xlsx")));
    EXPECT_TRUE(fs::is_empty(folder.file("folder.xlsx")));

    // A device node, as /dev/full is (only root may make one).
    const std::string device = folder.file("full.pdf");
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        expectRussianWithoutTemporaryName(replace(device));
        EXPECT_TRUE(fs::is_character_file(device));
    }
    // A link to a FIFO is a FIFO.
    fs::create_symlink(fifo, folder.file("to-fifo.xlsx"));
    expectRussianWithoutTemporaryName(replace(folder.file("to-fifo.xlsx")));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(entriesIn(folder.file("")), fs::exists(device) ? 4u : 3u);
}

TEST_F(ExportTarget, MissingOrReadOnlyFolderGivesTheReason) {
    const std::string missing = replace(folder.file("no/such/day.pdf"));
    expectRussianWithoutTemporaryName(missing);
    EXPECT_NE(missing.find("такой папки нет"), std::string::npos) << missing;

    // Root may write anywhere: the folder is read-only only for others.
    if (::geteuid() == 0) return;
    fs::create_directory(folder.file("ro"));
    fs::permissions(folder.file("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string denied = replace(folder.file("ro/day.pdf"));
    expectRussianWithoutTemporaryName(denied);
    EXPECT_NE(denied.find("нет прав"), std::string::npos) << denied;
}

TEST_F(ExportTarget, AFullDiskLeavesTheOldFileAndNothingBeside) {
    // A small tmpfs where the system allows mounting one; else a file size limit, which
    // fails the write the same way.
    const std::string disk = folder.file("disk");
    fs::create_directory(disk);
    const bool mounted = ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=16k") == 0;
    const std::string file = disk + "/day.xlsx";
    test::writeBytes(file, {'o', 'l', 'd'});
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    if (!mounted) {
        rlimit small = before;
        small.rlim_cur = 8192;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    const std::string full = replace(file, 64 * 1024);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    expectRussianWithoutTemporaryName(full);
    EXPECT_NE(full.find("нет места"), std::string::npos) << full;
    EXPECT_EQ(test::readBytes(file), (std::vector<char>{'o', 'l', 'd'}));
    EXPECT_EQ(entriesIn(disk), 1u);
    if (mounted) ::umount(disk.c_str());
}

TEST_F(ExportTarget, TheStudyItselfIsNeverTheOutput) {
    const std::string day = folder.file("day.txt");
    writeStudyFile(day, test::ImageBuilder().calibration(50000).words(99, {600}).image());
    const std::vector<char> before = test::readBytes(day);
    fs::create_symlink(day, folder.file("link.xlsx"));
    fs::create_hard_link(day, folder.file("hard.xlsx"));
    for (const std::string& out :
         {day, folder.file("link.xlsx"), folder.file("hard.xlsx"), folder.file("./day.txt")}) {
        SCOPED_TRACE(out);
        std::ostringstream stdOut, stdErr;
        EXPECT_EQ(runDayReport({"--xlsx", out, day}, stdOut, stdErr), 1);
        EXPECT_TRUE(stdErr.str().starts_with("uroflow-report: " + out + ": Файл не сохранен: "))
            << stdErr.str();
        EXPECT_NE(stdErr.str().find("файл исследования"), std::string::npos);
        EXPECT_EQ(test::readBytes(day), before);
    }
    EXPECT_NO_THROW(refuseOutputOverInput(folder.file("other.xlsx"), day));
    EXPECT_EQ(entriesIn(folder.file("")), 3u);
}

TEST_F(ExportTarget, NamesAreBytes) {
    // Not UTF-8: the name is written exactly as given.
    const std::string day = folder.file("d\xff\xfe.txt"), out = folder.file("o\xff.xlsx");
    writeStudyFile(day, test::ImageBuilder().calibration(50000).words(99, {600}).image());
    std::ostringstream stdOut, stdErr;
    EXPECT_EQ(runDayReport({"--xlsx", out, day}, stdOut, stdErr), 0) << stdErr.str();
    EXPECT_TRUE(fs::is_regular_file(out));
    EXPECT_EQ(entriesIn(folder.file("")), 2u);
}

}  // namespace
}  // namespace uroflow
