// The checks on an export's target and the all-or-nothing write beside it.

#include "files/ExportTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "study/RuntimeError.h"

namespace uroflow {

namespace {

constexpr char kNotSaved[] = "Файл не сохранен: ";

[[noreturn]] void failSave(int error) {
    throw RuntimeError(exportSaveErrorText(error));
}

// The file a name stands for, links followed; the name itself when it does not resolve
// (nothing there yet).
std::string realTarget(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// Closes the descriptor and removes the half-made file unless it was kept.
class Sibling {
  public:
    explicit Sibling(const std::string& target) : name_(target + ".XXXXXX") {
        // Created exclusively: no other file can stand under this name.
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
        if (fd_ < 0) failSave(errno);
    }
    ~Sibling() {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(name_.c_str());
    }
    Sibling(const Sibling&) = delete;
    Sibling& operator=(const Sibling&) = delete;

    void write(std::span<const std::uint8_t> bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (put < 0) {
                if (errno == EINTR) continue;
                failSave(errno);
            }
            if (put == 0) failSave(ENOSPC);
            done += static_cast<std::size_t>(put);
        }
    }

    void finish(mode_t mode) {
        if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0) failSave(errno);
        const int result = ::close(fd_);
        fd_ = -1;
        if (result != 0) failSave(errno);
    }

    void renameOver(const std::string& target) {
        if (::rename(name_.c_str(), target.c_str()) != 0) failSave(errno);
        kept_ = true;
    }

  private:
    std::string name_;
    int fd_ = -1;
    bool kept_ = false;
};

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string exportSaveErrorText(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return std::string(kNotSaved) +
                   "на диске нет места. Освободите место или выберите другой диск.";
        case EACCES:
        case EPERM:
            return std::string(kNotSaved) +
                   "нет прав на запись в эту папку или в этот файл. Выберите другую папку.";
        case EROFS:
            return std::string(kNotSaved) +
                   "диск доступен только для чтения. Выберите другой диск.";
        case ENOENT:
        case ENOTDIR:
            return std::string(kNotSaved) + "такой папки нет. Выберите существующую папку.";
        case EISDIR:
            return std::string(kNotSaved) +
                   "под этим именем находится папка. Выберите другое имя файла.";
        default:
            break;
    }
    const char* description = ::strerrordesc_np(error);
    return std::string(kNotSaved) + "ошибка записи (" +
           (description ? description : "error " + std::to_string(error)) +
           "). Повторите сохранение или выберите другую папку.";
}

void refuseOutputOverInput(const std::string& output, const std::string& input) {
    struct stat out {};
    struct stat in {};
    if (::stat(output.c_str(), &out) != 0 || ::stat(input.c_str(), &in) != 0) return;
    if (out.st_dev == in.st_dev && out.st_ino == in.st_ino) {
        throw RuntimeError(std::string(kNotSaved) +
                           "это файл исследования, из которого он сделан, и исследование "
                           "было бы потеряно. Укажите другое имя файла.");
    }
}

void replaceWithExport(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string target = realTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) failSave(EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        throw RuntimeError(std::string(kNotSaved) +
                           "под этим именем находится не обычный файл (устройство или канал). "
                           "Выберите другое имя файла.");
    }
    // A file the user may not write is not replaced behind its back.
    if (exists && ::access(target.c_str(), W_OK) != 0) failSave(EACCES);

    Sibling sibling(target);
    sibling.write(bytes);
    sibling.finish(exists ? existing.st_mode & 07777 : newFileMode());
    sibling.renameOver(target);
}

}  // namespace uroflow
