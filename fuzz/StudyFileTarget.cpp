// Fuzz target: bytes as a study file holds them, read by the file load and then scanned
// and drawn as the window does after it. The first byte says what the file is beside the
// bytes: bit 0, the rest of the memory follows unwritten (a full file); bit 1, 64 bytes
// more follow past the memory (a longer file, whose tail is ignored).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "files/StudyFile.h"
#include "fuzz/DrawCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/Invariant.h"
#include "fuzz/LaidImage.h"
#include "fuzz/ScanCheck.h"
#include "study/RuntimeError.h"

namespace uroflow::fuzz {
namespace {

constexpr char kShortFileText[] = "Read beyond end of file";
constexpr std::size_t kLongerBy = 64;

// One file for the whole run, removed at its end.
class ScratchFile {
  public:
    ScratchFile()
        : path_(std::filesystem::temp_directory_path() /
                ("uroflow-fuzz-" + std::to_string(std::random_device{}()) + ".txt")) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    void write(const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        FUZZ_REQUIRE(out.good());
    }
    std::string path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

void run(const std::uint8_t* data, std::size_t size) {
    static ScratchFile file;
    static std::vector<std::uint8_t> bytes;
    static const auto device = std::make_unique<Image>();
    static Scan scanned;
    static const auto work = std::make_unique<Image>();
    FuzzInput in(data, size);
    const std::uint8_t kind = in.byte();
    const auto laid = in.bytes(kMemorySize + kLongerBy);
    bytes.assign(laid.begin(), laid.end());
    if ((kind & 1) != 0 && bytes.size() < kMemorySize) bytes.resize(kMemorySize, 0xFF);
    if ((kind & 2) != 0 && bytes.size() >= kMemorySize) bytes.resize(kMemorySize + kLongerBy, 0x5A);
    file.write(bytes);

    // Stale bytes of an earlier day, which the load must not leave behind.
    device->fill(0xA5);
    bool complete = true;
    try {
        readStudyFile(file.path(), *device);
    } catch (const RuntimeError& error) {
        FUZZ_REQUIRE(std::string(error.what()) == kShortFileText);
        complete = false;
    }
    const std::size_t read = std::min(bytes.size(), kMemorySize);
    FUZZ_REQUIRE(complete == (bytes.size() >= kMemorySize));
    // What was read is the file's start; everything else is 0.
    FUZZ_REQUIRE(std::equal(bytes.begin(), bytes.begin() + read, device->begin()));
    FUZZ_REQUIRE(allBytes(device->data() + read, kImageSize - read, 0));
    if (!complete) return;  // the load ends with the error

    scanChecked(*device, kFileScan, scanned);
    // The first drawing: the first study found.
    if (scanned.count > 0)
        drawChecked(*scanned.image, *work,
                    studyParams(scanned.starts, scanned.count, 0, calibrationCoefficient(*device)));
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}
