#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/StudyFile.h"
#include "study/RuntimeError.h"
#include "tests/files/TempFolder.h"

namespace uroflow {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// Bytes that differ at every position of a 251-byte period, so shifts and gaps show.
std::vector<char> pattern(std::size_t size) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// File bytes against image bytes, both read as unsigned.
bool sameBytes(const std::vector<char>& bytes, Image::const_iterator image) {
    return std::equal(bytes.begin(), bytes.end(), image,
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::unique_ptr<Image> filledImage(std::uint8_t value) {
    auto image = std::make_unique<Image>();
    image->fill(value);
    return image;
}

std::string errorOf(auto&& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.what();
    }
    return "no error";
}

TEST(StudyFile, RoundTripIsByteForByteAndLeavesTailOut) {
    TempFolder folder;
    auto image = filledImage(0);
    const std::vector<char> bytes = pattern(kImageSize);
    std::copy(bytes.begin(), bytes.end(), image->begin());

    writeStudyFile(folder.file("day.txt"), *image);
    const std::vector<char> first = readBytes(folder.file("day.txt"));
    ASSERT_EQ(first.size(), kMemorySize);
    EXPECT_TRUE(sameBytes(first, image->begin()));

    auto loaded = filledImage(0xAA);
    readStudyFile(folder.file("day.txt"), *loaded);
    EXPECT_TRUE(std::equal(loaded->begin(), loaded->begin() + kMemorySize, image->begin()));
    EXPECT_TRUE(std::all_of(loaded->begin() + kMemorySize, loaded->end(),
                            [](std::uint8_t b) { return b == 0; }));

    // Saving the loaded image over an existing file replaces it with identical bytes.
    writeStudyFile(folder.file("day.txt"), *loaded);
    EXPECT_EQ(readBytes(folder.file("day.txt")), first);
}

TEST(StudyFile, ShortFileKeepsBytesReadAndZerosTheRest) {
    TempFolder folder;
    const std::vector<char> bytes = pattern(kMemorySize - 1);
    writeBytes(folder.file("short.txt"), bytes);
    auto image = filledImage(0xAA);

    EXPECT_EQ(errorOf([&] { readStudyFile(folder.file("short.txt"), *image); }),
              "Read beyond end of file");
    EXPECT_TRUE(sameBytes(bytes, image->begin()));
    EXPECT_TRUE(std::all_of(image->begin() + bytes.size(), image->end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(StudyFile, LongFileReadsTheFirst64KiB) {
    TempFolder folder;
    const std::vector<char> bytes = pattern(kMemorySize + 1);
    writeBytes(folder.file("long.txt"), bytes);
    auto image = filledImage(0xAA);

    readStudyFile(folder.file("long.txt"), *image);
    EXPECT_TRUE(sameBytes({bytes.begin(), bytes.begin() + kMemorySize}, image->begin()));
    EXPECT_TRUE(std::all_of(image->begin() + kMemorySize, image->end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(StudyFile, ReadOnlyFileLoads) {
    TempFolder folder;
    const std::string path = folder.file("archive.txt");
    writeBytes(path, pattern(kMemorySize));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    auto image = filledImage(0);
    readStudyFile(path, *image);
    EXPECT_EQ((*image)[300], 300 % 251);
}

TEST(StudyFile, OpenFailuresGiveTheFileLayerTexts) {
    TempFolder folder;
    writeBytes(folder.file("plain"), pattern(10));
    std::filesystem::create_directory(folder.file("folder"));
    auto image = filledImage(0);

    struct Case {
        const char* what;
        std::string path;
        bool write;
        const char* text;
    };
    const Case cases[] = {
        {"missing file", folder.file("missing.txt"), false, "File not found"},
        {"missing folder, read", folder.file("none/day.txt"), false, "Path not found"},
        {"missing folder, write", folder.file("none/day.txt"), true, "Path not found"},
        {"file as folder, read", folder.file("plain/day.txt"), false, "Path not found"},
        {"file as folder, write", folder.file("plain/day.txt"), true, "Path not found"},
        {"folder, read", folder.file("folder"), false, "File access denied"},
        {"folder, write", folder.file("folder"), true, "File access denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf([&] {
                      c.write ? writeStudyFile(c.path, *image) : readStudyFile(c.path, *image);
                  }),
                  c.text);
    }
}

TEST(StudyFile, ReplacingKeepsModeAndLeavesNothingBeside) {
    TempFolder folder;
    const std::string path = folder.file("day.txt");
    writeBytes(path, pattern(kMemorySize));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    writeStudyFile(path, *filledImage(7));
    const std::vector<char> bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), kMemorySize);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char b) { return b == 7; }));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    const auto entries = std::distance(std::filesystem::directory_iterator(folder.file("")),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}

TEST(StudyFile, FullDiskIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto image = filledImage(0);
    EXPECT_EQ(errorOf([&] { writeStudyFile("/dev/full", *image); }), "Disk full");
}

TEST(StudyFile, ReadOnlyFileIsNotReplaced) {
    // Permission bits do not stop root.
    if (::geteuid() == 0) GTEST_SKIP() << "running as root";
    TempFolder folder;
    const std::string path = folder.file("locked.txt");
    writeBytes(path, pattern(10));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    auto image = filledImage(0);
    EXPECT_EQ(errorOf([&] { writeStudyFile(path, *image); }), "File access denied");
    EXPECT_EQ(readBytes(path).size(), 10u);
}

TEST(StudyFile, ErrorTextsByErrno) {
    EXPECT_EQ(fileErrorText(ENOENT, FileAccess::Read), "File not found");
    EXPECT_EQ(fileErrorText(ENOENT, FileAccess::Write), "Path not found");
    EXPECT_EQ(fileErrorText(ENOSPC, FileAccess::Read), "I/O error 28: No space left on device");
    EXPECT_EQ(fileErrorText(EIO, FileAccess::Read), "I/O error 5: Input/output error");
    EXPECT_EQ(fileErrorText(9999, FileAccess::Read), "I/O error 9999");
}

// A socket bound to a path, closed again; the path stays a socket.
void makeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

TEST(StudyFile, NoRegularFileNoDayAndNoWaiting) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
    makeSocket(folder.file("socket"));
    std::filesystem::create_symlink(folder.file("fifo"), folder.file("link-to-fifo"));
    std::filesystem::create_symlink(folder.file("loop-a"), folder.file("loop-b"));
    std::filesystem::create_symlink(folder.file("loop-b"), folder.file("loop-a"));
    auto image = filledImage(0);

    struct Case {
        std::string path;
        bool write;
        const char* text;
    };
    // A FIFO with no writer used to block the open for good; these must return at once.
    const Case cases[] = {
        {folder.file("fifo"), false, "File access denied"},
        {folder.file("link-to-fifo"), false, "File access denied"},
        {folder.file("socket"), false, "File access denied"},
        {"/dev/null", false, "File access denied"},
        {folder.file("fifo"), true, "File access denied"},
        {folder.file("link-to-fifo"), true, "File access denied"},
        {folder.file("socket"), true, "File access denied"},
        {folder.file("loop-a"), false, "I/O error 40: Too many levels of symbolic links"},
        {folder.file("loop-a"), true, "I/O error 40: Too many levels of symbolic links"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + (c.write ? " (write)" : " (read)"));
        EXPECT_EQ(errorOf([&] {
                      c.write ? writeStudyFile(c.path, *image) : readStudyFile(c.path, *image);
                  }),
                  c.text);
    }
    // Still what they were.
    EXPECT_TRUE(std::filesystem::is_fifo(folder.file("fifo")));
    EXPECT_TRUE(std::filesystem::is_socket(folder.file("socket")));
}

TEST(StudyFile, SavingThroughALinkReplacesTheRealFileAndKeepsItsOwnerAndMode) {
    TempFolder links;
    TempFolder days;
    const std::string real = days.file("day.txt");
    writeBytes(real, pattern(kMemorySize));
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    // Only root can hand a file to someone else; the copy must then carry that owner too.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 4321, 4322), 0);
    }
    const std::string link = links.file("day.txt");
    std::filesystem::create_symlink(real, link);

    writeStudyFile(link, *filledImage(7));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), real);
    EXPECT_EQ(readBytes(real), std::vector<char>(kMemorySize, 7));
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }
    // Nothing left beside either name.
    for (const TempFolder* folder : {&links, &days}) {
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder->file("")),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

TEST(StudyFile, HardLinkedDayIsOverwrittenInPlaceAndCutOnlyAtTheEnd) {
    TempFolder folder;
    const std::string path = folder.file("day.txt");
    writeBytes(path, pattern(kMemorySize + 1000));
    std::filesystem::create_hard_link(path, folder.file("other.txt"));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    writeStudyFile(path, *filledImage(7));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(readBytes(folder.file("other.txt")), std::vector<char>(kMemorySize, 7));
}

// Writes past `bytes` fail with EFBIG while it lives, standing in for a medium that fails
// part way through a save.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST(StudyFile, SaveFailingPartWayNeverLosesTheDayAlreadyThere) {
    const std::vector<char> old = pattern(kMemorySize);
    enum class Name { Plain, ThroughLink, HardLinked };
    for (const Name name : {Name::Plain, Name::ThroughLink, Name::HardLinked}) {
        SCOPED_TRACE(static_cast<int>(name));
        TempFolder folder;
        const std::string path = folder.file("day.txt");
        writeBytes(path, old);
        std::string saved = path;
        if (name == Name::ThroughLink) {
            saved = folder.file("link.txt");
            std::filesystem::create_symlink(path, saved);
        }
        // Another name of the same file makes the save write in place.
        if (name == Name::HardLinked) std::filesystem::create_hard_link(path, folder.file("b.txt"));
        {
            const FileSizeLimit limit(4096);
            EXPECT_EQ(errorOf([&] { writeStudyFile(saved, *filledImage(7)); }),
                      "I/O error 27: File too large");
        }
        const std::vector<char> now = readBytes(path);
        ASSERT_EQ(now.size(), kMemorySize) << "the day was cut short";
        if (name == Name::HardLinked) {
            // The bytes the medium took are new; nothing after them was cut away.
            EXPECT_EQ(std::vector<char>(now.begin(), now.begin() + 4096),
                      std::vector<char>(4096, 7));
            EXPECT_TRUE(std::equal(now.begin() + 4096, now.end(), old.begin() + 4096));
        } else {
            EXPECT_EQ(now, old);
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("")),
                                    std::filesystem::directory_iterator()),
                      name == Name::Plain ? 1 : 2);
        }
    }
}

}  // namespace
}  // namespace uroflow
