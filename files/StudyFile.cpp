#include "files/StudyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "study/RuntimeError.h"

namespace uroflow {

namespace {

// Owns a file descriptor; closing explicitly reports errors of the last write-back.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

[[noreturn]] void fail(int error, FileAccess access) {
    throw RuntimeError(fileErrorText(error, access));
}

// A missing file and a missing folder both give ENOENT; the user is told which.
bool parentFolderMissing(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return false;
    std::error_code ignored;
    return !std::filesystem::is_directory(parent, ignored);
}

}  // namespace

std::string fileErrorText(int error, FileAccess access) {
    switch (error) {
        case ENOENT:
            return access == FileAccess::Read ? "File not found" : "Path not found";
        case ENOTDIR:
            return "Path not found";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return "File access denied";
        case ENOSPC:
        case EDQUOT:
            if (access == FileAccess::Write) return "Disk full";
            break;
        default:
            break;
    }
    return "I/O error " + std::to_string(error);
}

void readStudyFile(const std::string& path, Image& device) {
    device.fill(0);
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        const int error = errno;
        if (error == ENOENT && parentFolderMissing(path)) fail(ENOTDIR, FileAccess::Read);
        fail(error, FileAccess::Read);
    }
    std::size_t done = 0;
    while (done < kMemorySize) {
        const ssize_t got = ::read(file.get(), device.data() + done, kMemorySize - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            fail(errno, FileAccess::Read);
        }
        if (got == 0) throw RuntimeError("Read beyond end of file");
        done += static_cast<std::size_t>(got);
    }
}

namespace {

void writeImage(Descriptor& file, const Image& device) {
    std::size_t done = 0;
    while (done < kMemorySize) {
        const ssize_t put = ::write(file.get(), device.data() + done, kMemorySize - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno, FileAccess::Write);
        }
        // A write that stores nothing without an error means the medium is full.
        if (put == 0) fail(ENOSPC, FileAccess::Write);
        done += static_cast<std::size_t>(put);
    }
    if (file.close() != 0) fail(errno, FileAccess::Write);
}

// Replaces an existing day only once the new image is complete beside it, so a full
// disk or a failing medium never leaves the earlier file cut short. Returns false
// when no file can be made beside it (then the file is written in place).
bool replaceBySibling(const std::string& path, const Image& device) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) return false;
    // A file the user may not write stays protected: the in-place write reports it.
    if (::access(path.c_str(), W_OK) != 0) return false;
    std::string sibling = path + ".XXXXXX";
    Descriptor file(::mkstemp(sibling.data()));
    if (!file.valid()) return false;
    try {
        ::fchmod(file.get(), existing.st_mode & 07777);
        writeImage(file, device);
        if (::rename(sibling.c_str(), path.c_str()) != 0) fail(errno, FileAccess::Write);
    } catch (...) {
        ::unlink(sibling.c_str());
        throw;
    }
    return true;
}

}  // namespace

void writeStudyFile(const std::string& path, const Image& device) {
    if (replaceBySibling(path, device)) return;
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file.valid()) fail(errno, FileAccess::Write);
    writeImage(file, device);
}

}  // namespace uroflow
