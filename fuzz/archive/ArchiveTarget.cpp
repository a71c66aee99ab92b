// Fuzz target: a study file's start, the rest of its 64 KiB unwritten, imported into the
// patient archive as `uroflow-archive import` keeps it: added the first time, found as
// already kept the second; its facts are those the core reads from the bytes, the bytes
// come back unchanged, and a search by the day's own name finds it. The archive is an
// SQLite file in a folder of its own, begun afresh every few hundred inputs.
// Unlike the other targets this one takes Qt: the archive is Qt SQL.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "archive/Archive.h"
#include "archive/DayFacts.h"
#include "fuzz/Invariant.h"
#include "fuzz/LaidImage.h"

namespace uroflow::fuzz {
namespace {

// Inputs one archive file takes before it is begun afresh: each new day adds 64 KiB.
constexpr int kInputsPerArchive = 256;

// Qt SQL finds its drivers through the application object.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "uroflow-fuzz-archive";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// A folder in memory where the system has one: every keep commits with a sync, which on a
// disk would take most of the time, and the path under test is the archive's, not the disk's.
QString placeForArchives() {
    const QString memory = QStringLiteral("/dev/shm");
    return QFileInfo(memory).isDir() && QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
}

class ImportArchive {
  public:
    Archive& archive() {
        if (!archive_ || ++uses_ > kInputsPerArchive) restart();
        return *archive_;
    }
    // Whether these bytes were kept into this archive file before.
    bool keptBefore(const QString& sha256) { return !kept_.insert(sha256).second; }
    // Closes the archive and removes its folder.
    void release() {
        archive_.reset();
        folder_.reset();
        kept_.clear();
    }

  private:
    void restart() {
        archive_.reset();
        folder_ = std::make_unique<QTemporaryDir>(placeForArchives() +
                                                  QStringLiteral("/uroflow-fuzz-archive-XXXXXX"));
        FUZZ_REQUIRE(folder_->isValid());
        ArchiveAddress address;
        address.file = folder_->filePath(QStringLiteral("archive.sqlite"));
        archive_ = std::make_unique<Archive>(address);
        archive_->open();
        kept_.clear();
        uses_ = 1;
        // Qt SQL's own globals are gone by the time this object's destructor would run
        // at exit: the archive is closed before them, by a handler registered after them.
        if (!releasedAtExit_) {
            std::atexit(releaseAtExit);
            releasedAtExit_ = true;
        }
    }
    static void releaseAtExit();

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<Archive> archive_;  // closed before its folder goes
    std::set<QString> kept_;
    int uses_ = 0;
    bool releasedAtExit_ = false;
};

ImportArchive& importArchive() {
    static ImportArchive place;
    return place;
}

void ImportArchive::releaseAtExit() {
    importArchive().release();
}

void run(const std::uint8_t* data, std::size_t size) {
    ensureApplication();
    static LaidImage memory;
    ImportArchive& place = importArchive();
    static const auto back = std::make_unique<Image>();
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    Archive& archive = place.archive();

    const QString file = QStringLiteral("/home/doctor/day.txt");
    const QString sha256 = imageSha256(device);
    const KeepResult first =
        archive.keep(device, KeepSource::Import, file, QStringLiteral("Петров"));
    FUZZ_REQUIRE(first.added != place.keptBefore(sha256));
    const KeepResult again = archive.keep(device, KeepSource::Import, file, {});
    FUZZ_REQUIRE(again.id == first.id && !again.added);

    // What the archive records is what the core reads from the bytes.
    const std::optional<KeptDay> day = archive.day(first.id);
    FUZZ_REQUIRE(day.has_value());
    const DayFacts facts = dayFacts(device);
    FUZZ_REQUIRE(day->sha256 == sha256);
    FUZZ_REQUIRE(day->name == QString::fromStdString(facts.passport.name));
    FUZZ_REQUIRE(day->sex == QString::fromStdString(sexText(facts.passport.sex)));
    FUZZ_REQUIRE(day->age == QString::fromStdString(facts.passport.age));
    FUZZ_REQUIRE(day->date == QString::fromStdString(facts.passport.date));
    FUZZ_REQUIRE(day->calibrCoef == facts.calibrCoef && day->studies == facts.studies);
    FUZZ_REQUIRE(day->firstStart == QString::fromStdString(facts.firstStart.value_or("")));
    FUZZ_REQUIRE(day->lastStart == QString::fromStdString(facts.lastStart.value_or("")));

    // The bytes come back as they were kept, the spare tail 0 as after a file load.
    *back = archive.image(first.id);
    FUZZ_REQUIRE(std::equal(device.begin(), device.begin() + kMemorySize, back->begin()));
    FUZZ_REQUIRE(std::all_of(back->begin() + kMemorySize, back->end(),
                             [](std::uint8_t b) { return b == 0; }));

    // The day is found by its own name, whatever characters the name holds.
    if (!day->name.isEmpty()) {
        const std::vector<KeptDay> found = archive.list(day->name);
        FUZZ_REQUIRE(std::any_of(found.begin(), found.end(),
                                 [&](const KeptDay& d) { return d.id == first.id; }));
    }
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}
