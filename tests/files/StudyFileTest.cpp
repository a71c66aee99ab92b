#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
    EXPECT_EQ(fileErrorText(ENOSPC, FileAccess::Read), "I/O error 28");
    EXPECT_EQ(fileErrorText(EIO, FileAccess::Read), "I/O error 5");
}

}  // namespace
}  // namespace uroflow
