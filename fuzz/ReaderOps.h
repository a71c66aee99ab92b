#pragma once
// The operations a reader fuzz input is read as: one byte names the operation, the
// bytes after it are its arguments (see ReaderTarget.cpp).

#include <cstdint>

namespace uroflow::fuzz {

enum class ReaderOp : std::uint8_t {
    Read,           // the download button: command 65, the count back to 0
    Command,        // code (1..255); 67 passport, 66 and 71 with a time: their payloads
    Deliver,        // n: hand over the next n + 1 queued events
    DeliverAll,     // hand over everything queued
    StrayBlocks,    // n, then n % 4 + 1 blocks of 32 bytes the uroflowmeter sends unasked
    RawReport,      // length, bytes: one input report of any length, straight to the link
    Unplug,         // the reader leaves the bus
    Plug,           // and comes back
    Wait,           // ms (word, x 4): time passes; a stalled transfer is abandoned
    StopAnswering,  // the uroflowmeter stops in the middle of its answer
    Poke,           // offset (word), n, n % 8 bytes written into the uroflowmeter's memory
    Flood,          // n (word), 32 bytes: n % 2100 copies of one block, straight to the link
    Count
};

}  // namespace uroflow::fuzz
