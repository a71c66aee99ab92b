// Fuzz target: the reader link's core. Commands, blocks from the simulated uroflowmeter,
// stray and malformed reports, unplugging and time-outs interleaved as the input says,
// through the report protocol and the transfer state, with the invariants checked after
// every step: nothing is written past the image or anywhere but where the block belongs,
// blocks at rest leave the day held alone, and a download that ran undisturbed is the
// device's memory byte for byte.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "fuzz/Invariant.h"
#include "fuzz/ReaderOps.h"
#include "reader/Protocol.h"
#include "reader/SimulatedUroflowmeter.h"
#include "reader/Transfer.h"
#include "study/Decoder.h"
#include "study/Passport.h"
#include "study/Signal.h"
#include "study/StudyScan.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::fuzz {
namespace {

constexpr std::int32_t kDownloadBlocks = kMemorySize / kBlockLength + 1;  // and the end block
// Reports one input may hand over, queued answers included: one full download and a few
// more, so every input stays quick.
constexpr int kMaxReports = kDownloadBlocks + 64;
// Commands one input may send: the uroflowmeter queues a whole memory for each read or
// passport command, which cost most of the time of longer inputs.
constexpr int kMaxCommands = 4;
// A report handed over the moment it was read.
constexpr std::uint64_t kReadJustNow = ~std::uint64_t{0};

std::u16string u16(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]));
    }
    return text;
}

// The images one input works on, kept between executions: on the heap alone, so
// AddressSanitizer sees any byte written past one, and allocated once.
struct Images {
    std::unique_ptr<Image> device = std::make_unique<Image>();
    std::unique_ptr<Image> expected = std::make_unique<Image>();
    std::unique_ptr<Image> scanned = std::make_unique<Image>();
    std::unique_ptr<Image> work = std::make_unique<Image>();
    std::vector<std::uint8_t> answer;
};

Images& images() {
    static Images kept;
    return kept;
}

// The window's part of the link, reduced to the core calls it makes.
class Link {
  public:
    Link() {
        static const Image demo = buildDemoDay();
        sim_.loadMemory(std::span(demo).first(kMemorySize));
        device_->fill(0);
        *expected_ = *device_;
        answer_.clear();
        sim_.setEvents({[this] { deviceChange(); },
                        [this](HidDevice&, std::uint8_t, std::span<const std::uint8_t> data,
                               std::uint64_t readNumber) { report(data, readNumber); }});
        sim_.plug();
    }

    void run(FuzzInput& in) {
        while (!in.empty()) {
            step(in);
            checkState();
        }
        // What is still queued, within the input's share of reports.
        while (deliverable() && sim_.queued() > 0) sim_.deliverNext();
        checkState();
        FUZZ_REQUIRE(*device_ == *expected_);
    }

  private:
    void step(FuzzInput& in) {
        switch (static_cast<ReaderOp>(in.byte() % static_cast<int>(ReaderOp::Count))) {
            case ReaderOp::Read:
                if (send(bareCommand(kCommandRead))) transfer_.ReportCount = 0;
                break;
            case ReaderOp::Command: {
                // The window sends the read code only from the download button, which
                // starts the count over: so does any read sent here.
                const OutputReport report = command(in);
                if (send(report) && report[1] == kCommandRead) transfer_.ReportCount = 0;
                break;
            }
            case ReaderOp::Deliver:
                for (int n = in.byte(); n >= 0 && deliverable(); --n) sim_.deliverNext();
                break;
            case ReaderOp::DeliverAll:
                while (deliverable() && sim_.queued() > 0) sim_.deliverNext();
                break;
            case ReaderOp::StrayBlocks: {
                std::vector<Block> blocks(in.byte() % 4 + 1);
                for (Block& block : blocks) {
                    const auto bytes = in.bytes(kBlockLength);
                    std::copy(bytes.begin(), bytes.end(), block.begin());
                }
                // Queued after any answer in progress; an end block among them is a
                // real end of transfer if a command is still pending then.
                sim_.sendBlocks(blocks);
                undisturbed_ = false;
                break;
            }
            case ReaderOp::RawReport:
                // Disturbed before it is handed over: it may itself end the transfer. Read
                // just now: never part of an earlier command's time.
                undisturbed_ = false;
                if (deliverable()) report(in.bytes(in.byte() % 70), kReadJustNow);
                break;
            case ReaderOp::Unplug:
                sim_.unplug();
                undisturbed_ = false;
                break;
            case ReaderOp::Plug:
                sim_.plug();
                break;
            case ReaderOp::Wait:
                nowMs_ += std::int64_t{in.word()} * 4;
                // The window's timer: a transfer the reader stopped answering is given up.
                if (transfer_.transferStalled(nowMs_)) {
                    transfer_.finishTransfer();
                    undisturbed_ = false;
                }
                break;
            case ReaderOp::StopAnswering:
                sim_.stopAnswering();
                undisturbed_ = false;
                break;
            case ReaderOp::Poke: {
                const std::size_t offset = in.word();
                const auto bytes = in.bytes(in.byte() % 8);
                const std::span<std::uint8_t> memory = sim_.memory();
                for (std::size_t i = 0; i < bytes.size() && offset + i < memory.size(); ++i) {
                    memory[offset + i] = bytes[i];
                }
                break;
            }
            case ReaderOp::Flood: {
                const int copies = in.word() % 2100;
                Block block{};
                const auto bytes = in.bytes(kBlockLength);
                std::copy(bytes.begin(), bytes.end(), block.begin());
                undisturbed_ = false;
                for (int i = 0; i < copies && deliverable(); ++i) report(block, kReadJustNow);
                break;
            }
            case ReaderOp::Count:
                break;
        }
    }

    OutputReport command(FuzzInput& in) {
        const std::uint8_t code = std::max<std::uint8_t>(in.byte(), 1);
        if (code == kCommandPassport) {
            const std::uint8_t sex = in.byte() % 3;
            const auto name = in.bytes(in.byte() % 40);
            const std::u16string age = u16(in.bytes(in.byte() % 8));
            const std::u16string date = u16(in.bytes(in.byte() % 20));
            const OutputReport report = passportCommand(
                sex == 2 ? std::nullopt : std::optional(sex == 1 ? Sex::Male : Sex::Female),
                std::string(name.begin(), name.end()), stagePassport(age, date));
            FUZZ_REQUIRE(report[0] == 0 && report[1] == kCommandPassport);
            return report;
        }
        if (code == kCommandErase || code == kCommandCalibrate) {
            const OutputReport report = clockCommand(code, u16(in.bytes(in.byte() % 16)));
            FUZZ_REQUIRE(std::all_of(report.begin() + 7, report.end(),
                                     [](std::uint8_t b) { return b == 0; }));
            return report;
        }
        return bareCommand(code);
    }

    // Click_code: nothing without a reader; a report the reader did not take leaves
    // nothing pending.
    bool send(const OutputReport& report) {
        if (reader_ == nullptr || commands_ == kMaxCommands) return false;
        ++commands_;
        transfer_.OutReport = report;
        // Blocks still queued from before reach the link ahead of the answer, inside it.
        const bool queueEmpty = sim_.queued() == 0;
        const WriteResult result = sim_.write(*reader_, report);
        const bool written = result.ok;
        if (written) {
            transfer_.transferSent(nowMs_, result.reportsRead);
        } else {
            transfer_.finishTransfer();
        }
        // What an undisturbed answer to this command must leave in the image.
        undisturbed_ =
            written && queueEmpty && (report[1] == kCommandRead || report[1] == kCommandPassport);
        if (undisturbed_) answer_.assign(sim_.memory().begin(), sim_.memory().end());
        return true;
    }

    bool deliverable() const { return reports_ < kMaxReports; }

    void deviceChange() {
        reader_ = nullptr;
        sim_.enumerate([this](HidDevice& device, int) {
            if (isReader(device.vendorId(), device.productId())) {
                reader_ = &device;
                sim_.claim(device);
            }
            return true;
        });
    }

    // HIDDeviceData: one input report's data bytes.
    void report(std::span<const std::uint8_t> data, std::uint64_t readNumber) {
        ++reports_;
        const std::int32_t count = transfer_.ReportCount;
        const bool pending = transfer_.pendingCommand() != kCommandNone;
        const BlockArrival arrival = transfer_.receiveBlock(*device_, data, nowMs_, readNumber);
        if (arrival.stale) {
            // Read before the last command left: nothing of it lands anywhere.
            FUZZ_REQUIRE(transfer_.ReportCount == count && !arrival.atRest);
            return;
        }

        FUZZ_REQUIRE(arrival.atRest == !pending);
        FUZZ_REQUIRE(arrival.endOfTransfer == (pending && isEndOfTransfer(data)));
        if (!pending) {
            // A stray block: the day held stays as it is. Checked once the operation is
            // over: no block after it in the same operation can be pending.
            FUZZ_REQUIRE(transfer_.ReportCount == count);
            strayBlocks_ = true;
            if (arrival.warnAtRest) transfer_.restWarningClosed(nowMs_);
            return;
        }
        if (count < kMaxTransferBlocks) {
            // Stored at its place, as far as the image reaches, and counted.
            const std::size_t offset = static_cast<std::size_t>(count) * kBlockLength;
            const std::size_t length = std::min(data.size(), kImageSize - offset);
            std::copy_n(data.begin(), length, expected_->begin() + offset);
            FUZZ_REQUIRE(transfer_.ReportCount == count + 1);
            FUZZ_REQUIRE(std::memcmp(device_->data() + offset, expected_->data() + offset,
                                     std::min(kBlockLength, kImageSize - offset)) == 0);
        } else {
            FUZZ_REQUIRE(transfer_.ReportCount == count);  // dropped past the image
        }
        if (arrival.endOfTransfer) endOfTransfer();
    }

    // The end-of-transfer steps on the image received, then back to rest.
    void endOfTransfer() {
        FUZZ_REQUIRE(*device_ == *expected_);
        if (undisturbed_ && transfer_.pendingCommand() == kCommandRead) {
            FUZZ_REQUIRE(transfer_.ReportCount == kDownloadBlocks);
        }
        if (undisturbed_ && transfer_.ReportCount == kDownloadBlocks) {
            FUZZ_REQUIRE(std::equal(answer_.begin(), answer_.end(), device_->begin()));
        }
        const Passport passport = decodePassport(*device_);
        FUZZ_REQUIRE(passport.name.size() <= 3 * kNameLength);
        Image& scanned = *images().scanned;
        StudyStartTable starts{};
        std::uint16_t count = 0;
        const ScanVariant variant = downloadScan(transfer_.ReportCount);
        scanStudies(*device_, scanned, starts, count, variant.lastOffset, variant.clearAfterLast);
        FUZZ_REQUIRE(count <= kMaxStudies && starts[count] == 0);
        Image& work = *images().work;
        work = scanned;
        decodeStudy(work, {kStudyAreaStart, kDefaultArtefactThreshold, count,
                           calibrationCoefficient(*device_)});
        transfer_.finishTransfer();
        undisturbed_ = false;
        if (reader_ != nullptr) sim_.write(*reader_, bareCommand(kCommandNone));
    }

    void checkState() {
        if (strayBlocks_) FUZZ_REQUIRE(*device_ == *expected_);
        strayBlocks_ = false;
        FUZZ_REQUIRE(transfer_.ReportCount >= 0 && transfer_.ReportCount <= kMaxTransferBlocks);
        const bool pending = transfer_.pendingCommand() != kCommandNone;
        FUZZ_REQUIRE(pending || transfer_.ReportCount == 0);
        FUZZ_REQUIRE(pending || !transfer_.transferStalled(nowMs_));
    }

    SimulatedUroflowmeter sim_;
    Transfer transfer_;
    HidDevice* reader_ = nullptr;
    std::unique_ptr<Image>& device_ = images().device;
    std::unique_ptr<Image>& expected_ = images().expected;
    std::vector<std::uint8_t>& answer_ = images().answer;
    bool undisturbed_ = false;
    bool strayBlocks_ = false;
    std::int64_t nowMs_ = 0;
    int reports_ = 0;
    int commands_ = 0;
};

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::FuzzInput in(data, size);
    uroflow::fuzz::Link link;
    link.run(in);
    return 0;
}
