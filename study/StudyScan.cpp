// The study scan: the start words of a memory image and sample 2 of each cleared.
#include "study/StudyScan.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace uroflow {

std::uint32_t downloadScanLastOffset(std::int32_t reportCount) {
    if (reportCount <= 0) return 0;  // nothing received: no offset from 99 on is tested
    const std::int64_t last = std::int64_t{32} * reportCount;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(last, kFileScanLastOffset));
}

void scanStudies(const Image& device, Image& work, StudyStartTable& starts, std::uint16_t& count,
                 std::uint32_t lastOffset, bool clearAfterLast) {
    count = 0;
    std::copy_n(device.begin(), kMemorySize, work.begin());
    // The spare bytes after the memory only ever receive zeros from the scan and the
    // decoder; resetting them keeps every decode independent of what came before.
    std::fill(work.begin() + kMemorySize, work.end(), std::uint8_t{0});

    const std::size_t last = std::min<std::size_t>(lastOffset, kFileScanLastOffset);
    const std::uint8_t* const bytes = work.data();
    // The table has room for kMaxStudies starts and a terminating 0. Later pairs are
    // ignored altogether, so their sample 2 is not cleared either.
    for (std::size_t j = kStudyAreaStart; j <= last && count < kMaxStudies; ++j) {
        // Most of the memory holds no FE at all: memchr skips it at once. The search
        // starts after every clearing, so a start cleared as sample 2 is not recorded.
        const void* const found = std::memchr(bytes + j, 0xFE, last - j + 1);
        if (found == nullptr) break;
        j = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes);
        if (work[j + 1] == 0xFE) {
            starts[count] = static_cast<std::uint16_t>(j);
            ++count;
            work[j + 6] = 0;  // sample 2 of the study
            work[j + 7] = 0;
        }
    }

    if (clearAfterLast) std::fill(starts.begin() + count, starts.begin() + kMaxStudies, 0);
    starts[kMaxStudies] = 0;
}

}  // namespace uroflow
