#include "files/StudyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
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
    // The system's own words, in English whatever the locale, so the number means
    // something to the user.
    const std::string text = "I/O error " + std::to_string(error);
    const char* description = ::strerrordesc_np(error);
    return description ? text + ": " + description : text;
}

void readStudyFile(const std::string& path, Image& device) {
    device.fill(0);
    // Only a regular file is a day. A FIFO would block the open (and the window) until
    // something writes to it; a socket or a device is no file at all.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) fail(EACCES, FileAccess::Read);
    // Non-blocking open, so a FIFO put in its place since cannot block either.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid()) {
        const int error = errno;
        if (error == ENOENT && parentFolderMissing(path)) fail(ENOTDIR, FileAccess::Read);
        fail(error, FileAccess::Read);
    }
    if (::fstat(file.get(), &info) != 0) fail(errno, FileAccess::Read);
    if (!S_ISREG(info.st_mode)) fail(EACCES, FileAccess::Read);
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

void writeAll(const Descriptor& file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno, FileAccess::Write);
        }
        // A write that stores nothing without an error means the medium is full.
        if (put == 0) fail(ENOSPC, FileAccess::Write);
        done += static_cast<std::size_t>(put);
    }
}

// The file a name stands for: symbolic links followed, so a day saved through a link
// replaces the real file and the link stays. A name that does not resolve (nothing
// there yet, a dangling link, a loop) is used as it is and fails or creates on open.
std::string realTarget(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// Replaces an existing file only once the new contents are complete and on disk beside
// it, so a full disk or a failing medium never leaves the earlier file cut short. The new
// file gets the old one's owner and permission bits. Returns false when no such file can
// be made (a folder the user may not write, an owner only root may give): then the file
// is overwritten in place.
bool replaceBySibling(const std::string& target, const struct stat& existing,
                      std::span<const std::uint8_t> bytes) {
    // A file the user may not write stays protected: the in-place write reports it.
    if (::access(target.c_str(), W_OK) != 0) return false;
    // Other names of the same file see the new day only when it is written in place.
    if (existing.st_nlink > 1) return false;
    std::string sibling = target + ".XXXXXX";
    Descriptor file(::mkstemp(sibling.data()));
    if (!file.valid()) return false;
    struct stat created {};
    const bool sameOwner = ::fstat(file.get(), &created) == 0 &&
                           created.st_uid == existing.st_uid && created.st_gid == existing.st_gid;
    // fchown before fchmod: changing the owner clears set-id bits.
    if ((!sameOwner && ::fchown(file.get(), existing.st_uid, existing.st_gid) != 0) ||
        ::fchmod(file.get(), existing.st_mode & 07777) != 0) {
        ::unlink(sibling.c_str());
        return false;
    }
    try {
        writeAll(file, bytes);
        if (::fsync(file.get()) != 0 || file.close() != 0) fail(errno, FileAccess::Write);
        if (::rename(sibling.c_str(), target.c_str()) != 0) fail(errno, FileAccess::Write);
    } catch (...) {
        ::unlink(sibling.c_str());
        throw;
    }
    return true;
}

// Overwrites the file's first bytes without truncating it first, so an existing file
// keeps its blocks and a full disk cannot leave it half written; a longer file is cut
// to the new contents only once they are in. Creates the file when there is none.
void writeInPlace(const std::string& target, std::span<const std::uint8_t> bytes) {
    // Non-blocking, so a FIFO put there meanwhile fails instead of waiting for a reader.
    Descriptor file(::open(target.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!file.valid()) fail(errno, FileAccess::Write);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) fail(errno, FileAccess::Write);
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        fail(errno, FileAccess::Write);
    }
    writeAll(file, bytes);
    const auto size = static_cast<off_t>(bytes.size());
    if (S_ISREG(info.st_mode) && info.st_size > size && ::ftruncate(file.get(), size) != 0) {
        fail(errno, FileAccess::Write);
    }
    if (file.close() != 0) fail(errno, FileAccess::Write);
}

}  // namespace

void writeStudyFile(const std::string& path, const Image& device) {
    writeWholeFile(path, std::span(device.data(), kMemorySize));
}

void writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string target = realTarget(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        // A FIFO would wait for a reader and a socket cannot be opened: neither is a day.
        if (S_ISFIFO(existing.st_mode) || S_ISSOCK(existing.st_mode)) {
            fail(EACCES, FileAccess::Write);
        }
        if (S_ISREG(existing.st_mode) && replaceBySibling(target, existing, bytes)) return;
    }
    writeInPlace(target, bytes);
}

}  // namespace uroflow
