#pragma once
// The study scan: finds the start words of the studies in a memory image.

#include <array>
#include <cstdint>

#include "study/Image.h"

namespace uroflow {

using StudyStartTable = std::array<std::uint16_t, kStudyTableSize>;

// Last offset the download scan tests: 32 bytes per received report.
std::uint32_t downloadScanLastOffset(std::int32_t reportCount);
inline constexpr std::uint32_t kFileScanLastOffset = 65535;

// Copies bytes 0..65535 of `device` into `work`, records every FE FE pair at offsets
// 99..lastOffset into `starts` (at most kMaxStudies; the entry after the last one
// recorded stays 0), clears sample 2 of each study in `work` and sets `count`.
// With `clearAfterLast` (download) the entries after the last study are zeroed;
// without it (file load) they keep their previous values.
void scanStudies(const Image& device, Image& work, StudyStartTable& starts, std::uint16_t& count,
                 std::uint32_t lastOffset, bool clearAfterLast);

// The two ways a new image is scanned: after a file load the whole memory, after a
// download the blocks received, with the entries after the last study zeroed.
struct ScanVariant {
    std::uint32_t lastOffset = kFileScanLastOffset;
    bool clearAfterLast = false;
};
inline constexpr ScanVariant kFileScan{kFileScanLastOffset, false};
inline ScanVariant downloadScan(std::int32_t reportCount) {
    return {downloadScanLastOffset(reportCount), true};
}

}  // namespace uroflow
