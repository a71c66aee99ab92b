// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the passport and both study scans (a file load's and a
// download's). Bytes 0 and 1, which the program does not read, give the report count of
// the download.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Invariant.h"
#include "fuzz/LaidImage.h"
#include "fuzz/ScanCheck.h"
#include "fuzz/TextCheck.h"
#include "study/Passport.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    static Scan fileScan;
    static Scan downloaded;
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();

    const Passport passport = passportChecked(device);
    // The name goes back to the device as it came, zero bytes dropped; only 0x98, which
    // has no character in Windows-1251, comes back as "?".
    std::string sent;
    for (std::size_t i = kNameOffset; i < kNameOffset + kNameLength; ++i) {
        if (device[i] != 0) sent.push_back(device[i] == 0x98 ? '?' : static_cast<char>(device[i]));
    }
    FUZZ_REQUIRE(utf8ToCp1251(passport.name) == sent);

    scanChecked(device, kFileScan, fileScan);
    const ScanVariant variant = downloadScan(word(device, 0));
    scanChecked(device, variant, downloaded);
    // A download sees a prefix of what the file load sees.
    FUZZ_REQUIRE(downloaded.count <= fileScan.count);
    FUZZ_REQUIRE(std::equal(downloaded.starts.begin(), downloaded.starts.begin() + downloaded.count,
                            fileScan.starts.begin()));
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}
