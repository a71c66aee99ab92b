// Seed sequences of the reader target: the download and the commands as the window
// runs them, and the ways a transfer goes wrong (restart, unplug, silence, floods,
// reports of odd length, stray blocks). The uroflowmeter holds the demo day.

#include <initializer_list>

#include "fuzz/ReaderOps.h"
#include "fuzz/Seeds.h"
#include "reader/Protocol.h"

namespace uroflow::fuzz {
namespace {

class Sequence {
  public:
    explicit Sequence(std::string name) { seed_.name = std::move(name); }

    Sequence& op(ReaderOp op, std::initializer_list<std::uint8_t> arguments = {}) {
        seed_.bytes.push_back(static_cast<std::uint8_t>(op));
        seed_.bytes.insert(seed_.bytes.end(), arguments);
        return *this;
    }
    Sequence& args(std::initializer_list<std::uint8_t> arguments) {
        seed_.bytes.insert(seed_.bytes.end(), arguments);
        return *this;
    }
    Sequence& word(std::uint16_t value) {
        seed_.bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        seed_.bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        return *this;
    }
    // A length byte and the bytes.
    Sequence& counted(const std::string& bytes) {
        seed_.bytes.push_back(static_cast<std::uint8_t>(bytes.size()));
        return text(bytes);
    }
    Sequence& text(const std::string& bytes) {
        seed_.bytes.insert(seed_.bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // The two device changes queued at start: the reader is found.
    Sequence& start() { return op(ReaderOp::Deliver, {1}); }
    Sequence& download() { return op(ReaderOp::Read).op(ReaderOp::DeliverAll); }
    Sequence& wait(std::uint16_t quarterMs) { return op(ReaderOp::Wait).word(quarterMs); }

    Seed seed() const { return seed_; }

  private:
    Seed seed_;
};

// Characters as the target reads them: UTF-16, high byte first.
std::string u16(const std::string& ascii) {
    std::string bytes;
    for (const char c : ascii) {
        bytes.push_back(0);
        bytes.push_back(c);
    }
    return bytes;
}

constexpr std::uint16_t kSilence = 16000 / 4;  // past the 15 s after which a transfer stalls

}  // namespace

std::vector<Seed> readerSeeds() {
    const std::string age = u16("45");
    const std::string date = u16("05.03.24");
    const std::string clock = u16("12:30");
    const std::string endBlock(endOfTransferBlock().begin(), endOfTransferBlock().end());
    const std::string name = "\xD0\x9F\xD0\xB0\xD1\x86\xD0\xB8\xD0\xB5\xD0\xBD\xD1\x82 \xD0\x9F.";
    return {
        Sequence("download").start().download().seed(),
        Sequence("download-restarted")
            .start()
            .op(ReaderOp::Read)
            .op(ReaderOp::Deliver, {200})
            .download()
            .seed(),
        Sequence("passport-then-download")
            .start()
            .op(ReaderOp::Command, {kCommandPassport, 1})
            .counted(name)
            .counted(age)
            .counted(date)
            .op(ReaderOp::DeliverAll)
            .download()
            .seed(),
        Sequence("erase-and-calibrate")
            .start()
            .op(ReaderOp::Command, {kCommandErase})
            .counted(clock)
            .op(ReaderOp::DeliverAll)
            .op(ReaderOp::Command, {kCommandCalibrate})
            .counted(clock)
            .op(ReaderOp::DeliverAll)
            .download()
            .seed(),
        Sequence("unplugged-in-transfer")
            .start()
            .op(ReaderOp::Read)
            .op(ReaderOp::Deliver, {100})
            .op(ReaderOp::Unplug)
            .op(ReaderOp::DeliverAll)
            .wait(kSilence)
            .op(ReaderOp::Plug)
            .op(ReaderOp::DeliverAll)
            .download()
            .seed(),
        Sequence("silent-reader")
            .start()
            .op(ReaderOp::Read)
            .op(ReaderOp::Deliver, {10})
            .op(ReaderOp::StopAnswering)
            .wait(kSilence)
            .op(ReaderOp::DeliverAll)
            .seed(),
        Sequence("stray-blocks-at-rest")
            .start()
            .download()
            .op(ReaderOp::StrayBlocks, {1})
            .text(std::string(32, '\xFE'))
            .text(std::string(32, '\x21'))
            .op(ReaderOp::DeliverAll)
            .wait(12000 / 4)
            .op(ReaderOp::StrayBlocks, {0})
            .text(endBlock)
            .op(ReaderOp::DeliverAll)
            .seed(),
        Sequence("flood-past-the-image")
            .start()
            .op(ReaderOp::Read)
            .op(ReaderOp::Flood)
            .word(2099)
            .text(std::string(32, '\xFE'))
            .op(ReaderOp::RawReport)
            .counted(endBlock)
            .seed(),
        Sequence("reports-of-odd-length")
            .start()
            .op(ReaderOp::RawReport)
            .counted("\xFE\xFF!!!")
            .op(ReaderOp::Read)
            .op(ReaderOp::RawReport, {0})
            .op(ReaderOp::RawReport)
            .counted(std::string(31, '\x01'))
            .op(ReaderOp::RawReport)
            .counted(std::string(64, '\x02'))
            .op(ReaderOp::RawReport)
            .counted(endBlock + "!")
            .op(ReaderOp::DeliverAll)
            .seed(),
        Sequence("invalid-start-time")
            .start()
            .op(ReaderOp::Poke)
            .word(101)
            .args({2, 25, 61})
            .download()
            .seed(),
    };
}

}  // namespace uroflow::fuzz
