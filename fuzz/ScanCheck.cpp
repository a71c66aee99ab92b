// The study scan, checked against the memory it scanned.

#include "fuzz/ScanCheck.h"

#include <algorithm>
#include <cstring>

#include "fuzz/Invariant.h"
#include "fuzz/LaidImage.h"
#include "fuzz/TextCheck.h"

namespace uroflow::fuzz {
namespace {

// Stale entries from an earlier day.
constexpr std::uint16_t kStale = 0xABCD;

void checkTable(const Scan& s, const ScanVariant& variant) {
    FUZZ_REQUIRE(s.count <= kMaxStudies);
    FUZZ_REQUIRE(s.starts[kMaxStudies] == 0);
    FUZZ_REQUIRE(s.starts[s.count] == 0 ||
                 (!variant.clearAfterLast && s.starts[s.count] == kStale));
    if (variant.clearAfterLast) {
        FUZZ_REQUIRE(std::all_of(s.starts.begin() + s.count, s.starts.end(),
                                 [](std::uint16_t start) { return start == 0; }));
    }
    const std::uint32_t last = std::min<std::uint32_t>(variant.lastOffset, kFileScanLastOffset);
    for (std::uint16_t i = 0; i < s.count; ++i) {
        FUZZ_REQUIRE(s.starts[i] >= kStudyAreaStart && s.starts[i] <= last);
        FUZZ_REQUIRE(i == 0 || s.starts[i] > s.starts[i - 1]);
    }
}

// The scanned image is the device memory but for sample 2 of each study, and 0 after it.
void checkImage(const Image& device, const Scan& s) {
    const std::uint8_t* const scanned = s.image->data();
    std::size_t from = 0;
    for (std::uint16_t i = 0; i < s.count; ++i) {
        const std::size_t sample2 = s.starts[i] + std::size_t{6};
        // Two studies 2 bytes apart clear overlapping samples.
        if (sample2 > from) {
            FUZZ_REQUIRE(std::memcmp(scanned + from, device.data() + from, sample2 - from) == 0);
        }
        FUZZ_REQUIRE(scanned[sample2] == 0 && scanned[sample2 + 1] == 0);
        from = std::max(from, sample2 + 2);
    }
    if (from < kMemorySize) {
        FUZZ_REQUIRE(std::memcmp(scanned + from, device.data() + from, kMemorySize - from) == 0);
    }
    FUZZ_REQUIRE(allBytes(scanned + kMemorySize, kImageSize - kMemorySize, 0));
}

// Every FE FE pair left in the scanned range is a recorded start, in order.
void checkPairs(const Scan& s, const ScanVariant& variant) {
    if (s.count == kMaxStudies) return;  // later pairs are not recorded
    const std::uint8_t* const image = s.image->data();
    const std::uint8_t* const end =
        image + std::min<std::uint32_t>(variant.lastOffset, kFileScanLastOffset) + 1;
    std::uint16_t pairs = 0;
    for (const std::uint8_t* b = image + kStudyAreaStart; b < end; ++b) {
        b = static_cast<const std::uint8_t*>(
            std::memchr(b, 0xFE, static_cast<std::size_t>(end - b)));
        if (b == nullptr) break;
        if (b[1] == 0xFE) {
            FUZZ_REQUIRE(pairs < s.count && s.starts[pairs] == b - image);
            ++pairs;
        }
    }
    FUZZ_REQUIRE(pairs == s.count);
}

}  // namespace

void scanChecked(const Image& device, const ScanVariant& variant, Scan& into) {
    into.starts.fill(kStale);
    scanStudies(device, *into.image, into.starts, into.count, variant.lastOffset,
                variant.clearAfterLast);
    checkTable(into, variant);
    checkImage(device, into);
    checkPairs(into, variant);
}

Passport passportChecked(const Image& device) {
    Passport passport = decodePassport(device);
    FUZZ_REQUIRE(validUtf8(passport.name) && validUtf8(passport.age) && validUtf8(passport.date));
    FUZZ_REQUIRE(passport.name.size() <= 3 * kNameLength);
    return passport;
}

}  // namespace uroflow::fuzz
