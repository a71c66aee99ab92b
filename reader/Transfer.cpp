// Storing received blocks, the pending command and the silence of the reader.

#include "reader/Transfer.h"

#include <algorithm>

namespace uroflow {

void Transfer::transferSent(std::int64_t nowMs, std::uint64_t reportsRead) {
    lastSignMs_ = nowMs;
    readBeforeLastWrite_ = reportsRead;
    ending_ = false;
    // After a command, blocks at rest are news again.
    restWarned_ = false;
}

BlockArrival Transfer::receiveBlock(Image& image, std::span<const std::uint8_t> block,
                                    std::int64_t nowMs, std::uint64_t readNumber) {
    BlockArrival arrival;
    // Stored, it would become block 0 of the answer and shift the whole image.
    if (readNumber <= readBeforeLastWrite_) {
        arrival.stale = true;
        return arrival;
    }
    if (pendingCommand() == kCommandNone) {
        // Stored, they would overwrite the day in memory and on screen.
        arrival.atRest = true;
        arrival.warnAtRest = !restWarned_ || nowMs - lastRestBlockMs_ >= kRestBurstGapMs;
        restWarned_ = true;
        lastRestBlockMs_ = nowMs;
        return arrival;
    }

    lastSignMs_ = nowMs;
    if (ReportCount < kMaxTransferBlocks) {
        const std::size_t offset = static_cast<std::size_t>(ReportCount) * kBlockLength;
        const std::size_t length = std::min(block.size(), image.size() - offset);
        std::copy_n(block.begin(), length, image.begin() + offset);
        ++ReportCount;
    }
    arrival.endOfTransfer = isEndOfTransfer(block);
    if (arrival.endOfTransfer) ending_ = true;
    return arrival;
}

void Transfer::readerReplaced() {
    // Another device numbers its reports from 1.
    readBeforeLastWrite_ = 0;
}

void Transfer::restWarningClosed(std::int64_t nowMs) {
    lastRestBlockMs_ = nowMs;
}

bool Transfer::transferStalled(std::int64_t nowMs) const {
    return awaitingBlocks() && nowMs - lastSignMs_ >= kTransferSilenceMs;
}

void Transfer::finishTransfer() {
    OutReport[1] = kCommandNone;
    ReportCount = 0;
    ending_ = false;
}

}  // namespace uroflow
