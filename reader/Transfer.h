#pragma once
// The receiving side of the reader link: the report last sent (its byte 1 is the
// pending command), the blocks counted in the current transfer, and when the
// reader last showed a sign of life.

#include <cstdint>
#include <span>

#include "reader/Protocol.h"
#include "study/Image.h"

namespace uroflow {

// A transfer with no report for this long after its command or its last block is
// abandoned: the reader was removed or stopped answering.
inline constexpr std::int64_t kTransferSilenceMs = 15000;
// Blocks arriving at rest are warned about once per burst; a burst ends after this
// long without one.
inline constexpr std::int64_t kRestBurstGapMs = 10000;
// Blocks the image holds: 2,048 of memory, the end block and spare room.
inline constexpr std::int32_t kMaxTransferBlocks = kImageSize / kBlockLength;

struct BlockArrival {
    bool stale = false;          // read before the last command left: no part of any answer
    bool atRest = false;         // no command pending: neither stored nor counted
    bool warnAtRest = false;     // the first block of a burst at rest: tell the user
    bool endOfTransfer = false;  // a pending transfer's end block
};

class Transfer {
  public:
    OutputReport OutReport{};      // the output report last sent
    std::int32_t ReportCount = 0;  // blocks stored in this transfer, end block included

    std::uint8_t pendingCommand() const { return OutReport[1]; }
    // A command is pending and its end block has not arrived yet.
    bool awaitingBlocks() const { return pendingCommand() != kCommandNone && !ending_; }

    // OutReport has just been written to the reader at `nowMs`; `reportsRead` reports
    // of the reader had been read by then (WriteResult::reportsRead).
    void transferSent(std::int64_t nowMs, std::uint64_t reportsRead);

    // One block from the reader, the `readNumber`th read from it. A block read
    // before the last write is stale and left alone: the reader sent it before it
    // took the command. Otherwise, while a command is pending it is stored at
    // 32 x ReportCount of `image` (as far as the image reaches; blocks past its end
    // are dropped) and counted; at rest it is left alone.
    BlockArrival receiveBlock(Image& image, std::span<const std::uint8_t> block, std::int64_t nowMs,
                              std::uint64_t readNumber);

    // Another reader (or none) took the place of the one written to last.
    void readerReplaced();

    // The warning about blocks at rest was closed at `nowMs`: the burst goes on
    // from there.
    void restWarningClosed(std::int64_t nowMs);

    // A command is pending, its end block has not arrived, and the reader has been
    // silent for kTransferSilenceMs.
    bool transferStalled(std::int64_t nowMs) const;

    // Back to rest: nothing pending, the count at 0. Used at the end of every
    // transfer and when one is abandoned.
    void finishTransfer();

  private:
    std::int64_t lastSignMs_ = 0;
    std::uint64_t readBeforeLastWrite_ = 0;
    bool ending_ = false;  // the end block arrived; its steps are running
    bool restWarned_ = false;
    std::int64_t lastRestBlockMs_ = 0;
};

}  // namespace uroflow
