// The simulated reader and uroflowmeter: memory, commands and the report queue.

#include "reader/SimulatedUroflowmeter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "study/Image.h"

namespace uroflow {

namespace {

constexpr std::size_t kPassportStart = 33;  // the 31 payload bytes of 67 land at 33..63
constexpr std::uint16_t kCalibrationZero = 1000;
// Readings a 50 g weight gives: K = 4 x (B - A) = 50,000.
constexpr std::uint16_t kCalibrationLoaded = kCalibrationZero + 12500;
// Delivered events a queue that never runs dry keeps at most about this many of.
constexpr std::size_t kCompactAfter = 4096;

std::string systemText(int error) {
    return std::strerror(error);
}

void putWord(std::span<std::uint8_t> memory, std::size_t offset, std::uint16_t value) {
    memory[offset] = static_cast<std::uint8_t>(value >> 8);
    memory[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

class SimulatedUroflowmeter::Device : public HidDevice {
  public:
    Device(std::uint16_t vendor, std::uint16_t product) : vendor_(vendor), product_(product) {}
    std::uint16_t vendorId() const override { return vendor_; }
    std::uint16_t productId() const override { return product_; }

    bool claimed = false;
    std::uint64_t reportsRead = 0;

  private:
    std::uint16_t vendor_;
    std::uint16_t product_;
};

SimulatedUroflowmeter::SimulatedUroflowmeter() : memory_(kMemorySize, 0xFF) {
    devices_.push_back(std::make_unique<Device>(kReaderVendorId, kReaderProductId));
}

SimulatedUroflowmeter::~SimulatedUroflowmeter() = default;

void SimulatedUroflowmeter::setEvents(HidEvents events) {
    events_ = std::move(events);
    if (events_.deviceChange) queueDeviceChange();
}

void SimulatedUroflowmeter::enumerate(const std::function<bool(HidDevice&, int)>& visit) {
    int index = 0;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (i == 0 && !plugged_) continue;  // the reader is listed only while plugged in
        if (!visit(*devices_[i], index++)) return;
    }
}

Claim SimulatedUroflowmeter::claim(HidDevice& device) {
    auto& ours = static_cast<Device&>(device);
    const bool isOurReader = &ours == devices_.front().get();
    Claim result;
    result.device = isOurReader ? "/dev/hidraw-sim0" : "/dev/hidraw-sim";
    if (isOurReader && !plugged_) {
        result.status = ClaimStatus::Failed;
        result.errorText = systemText(ENODEV);
        return result;
    }
    if (isOurReader && denyAccess_ && !ours.claimed) {
        result.status = ClaimStatus::AccessDenied;
        result.errorText = systemText(EACCES);
        return result;
    }
    ours.claimed = true;
    result.status = ClaimStatus::Claimed;
    return result;
}

std::size_t SimulatedUroflowmeter::outputReportLength(HidDevice&) {
    return kReportLength;
}

WriteResult SimulatedUroflowmeter::write(HidDevice& device, std::span<const std::uint8_t> report) {
    auto& ours = static_cast<Device&>(device);
    const bool isOurReader = &ours == devices_.front().get();
    if ((isOurReader && !plugged_) || !ours.claimed) return {false, systemText(ENODEV)};
    // Counted before the device takes the report: its answer is read after.
    const std::uint64_t readBefore = ours.reportsRead;
    if (!writeError_.empty()) return {false, writeError_, readBefore};
    writes_.push_back({&device, std::vector<std::uint8_t>(report.begin(), report.end())});
    if (isOurReader) obey(report);
    return {true, {}, readBefore};
}

void SimulatedUroflowmeter::obey(std::span<const std::uint8_t> report) {
    if (report.size() < 2) return;
    const std::uint8_t command = report[1];
    if (command == kCommandNone) return;
    // A new command makes the uroflowmeter start over: what it was still sending is
    // lost, what the PC has read already is not.
    dropAnswer(false);
    const std::span<const std::uint8_t> payload =
        report.subspan(2, std::min(report.size() - 2, kPayloadLength));
    switch (command) {
        case kCommandRead:
            queueMemory();
            break;
        case kCommandPassport:
            std::copy(payload.begin(), payload.end(), memory_.begin() + kPassportStart);
            queueMemory();
            break;
        case kCommandErase:
            std::fill(memory_.begin() + kStudyAreaStart, memory_.end(), std::uint8_t{0xFF});
            issueTime_.assign(payload.begin(),
                              payload.begin() + std::min<std::size_t>(5, payload.size()));
            break;
        case kCommandCalibrate:
            putWord(memory_, kCalibrationAOffset, kCalibrationZero);
            putWord(memory_, kCalibrationBOffset, kCalibrationLoaded);
            break;
        default:
            return;  // unknown codes are not answered
    }
    queueBlock(endOfTransferBlock(), devices_.front().get());
}

void SimulatedUroflowmeter::loadMemory(std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), memory_.size()), memory_.begin());
}

void SimulatedUroflowmeter::plug() {
    plugged_ = true;
    if (events_.deviceChange) queueDeviceChange();
}

void SimulatedUroflowmeter::unplug() {
    plugged_ = false;
    devices_.front()->claimed = false;
    dropAnswer(true);
    if (events_.deviceChange) queueDeviceChange();
}

HidDevice& SimulatedUroflowmeter::addDevice(std::uint16_t vendorId, std::uint16_t productId) {
    devices_.push_back(std::make_unique<Device>(vendorId, productId));
    return *devices_.back();
}

HidDevice& SimulatedUroflowmeter::reader() {
    return *devices_.front();
}

void SimulatedUroflowmeter::stopAnswering() {
    dropAnswer(false);
}

void SimulatedUroflowmeter::sendBlocks(std::span<const Block> blocks, HidDevice* from) {
    Device* device = from ? static_cast<Device*>(from) : devices_.front().get();
    for (const Block& block : blocks) queueBlock(block, device);
}

void SimulatedUroflowmeter::setReadAhead(std::size_t reports) {
    readAhead_ = reports;
    readAhead();
}

std::uint64_t SimulatedUroflowmeter::reportsRead(HidDevice& device) const {
    return static_cast<Device&>(device).reportsRead;
}

void SimulatedUroflowmeter::markRead(Event& event) {
    if (event.readNumber == 0) event.readNumber = ++event.from->reportsRead;
}

void SimulatedUroflowmeter::readAhead() {
    // Nothing is read ahead by default: no need to walk the queue.
    if (readAhead_ == 0) return;
    std::size_t reports = 0;
    for (std::size_t i = head_; i < queue_.size(); ++i) {
        Event& event = queue_[i];
        if (event.deviceChange) continue;
        if (reports++ == readAhead_) return;
        markRead(event);
    }
}

SimulatedUroflowmeter::Event& SimulatedUroflowmeter::pushEvent() {
    return queue_.emplace_back();
}

void SimulatedUroflowmeter::finishQueueing(bool wasEmpty) {
    readAhead();
    if (wasEmpty && wake_) wake_();
}

void SimulatedUroflowmeter::queueDeviceChange() {
    const bool wasEmpty = queued() == 0;
    pushEvent().deviceChange = true;
    finishQueueing(wasEmpty);
}

void SimulatedUroflowmeter::queueBlock(std::span<const std::uint8_t> block, Device* from) {
    const bool wasEmpty = queued() == 0;
    Event& event = pushEvent();
    event.from = from;
    event.report[0] = 0;  // report ID
    std::copy_n(block.begin(), std::min(block.size(), kBlockLength), event.report.begin() + 1);
    finishQueueing(wasEmpty);
}

void SimulatedUroflowmeter::queueMemory() {
    // Block by block as queueBlock() does, with the queue's bookkeeping done once.
    const bool wasEmpty = queued() == 0;
    // Room for the memory and the end block after it, taken at once.
    queue_.reserve(queue_.size() + memory_.size() / kBlockLength + 1);
    for (std::size_t offset = 0; offset < memory_.size(); offset += kBlockLength) {
        Event& event = pushEvent();
        event.from = devices_.front().get();
        std::copy_n(memory_.begin() + static_cast<std::ptrdiff_t>(offset), kBlockLength,
                    event.report.begin() + 1);
    }
    finishQueueing(wasEmpty);
}

void SimulatedUroflowmeter::dropAnswer(bool readToo) {
    Device* reader = devices_.front().get();
    const auto waiting = queue_.begin() + static_cast<std::ptrdiff_t>(head_);
    queue_.erase(std::remove_if(waiting, queue_.end(),
                                [reader, readToo](const Event& e) {
                                    return !e.deviceChange && e.from == reader &&
                                           (readToo || e.readNumber == 0);
                                }),
                 queue_.end());
}

SimulatedUroflowmeter::Delivered SimulatedUroflowmeter::deliverNext() {
    if (queued() == 0) return Delivered::Nothing;
    if (!queue_[head_].deviceChange && deliveringReport_) return Delivered::Held;
    Event event = queue_[head_++];
    // A drained queue starts over at the front of its storage, keeping its capacity; one
    // that never drains drops what it delivered once that is most of it.
    if (head_ == queue_.size()) {
        queue_.clear();
        head_ = 0;
    } else if (head_ >= kCompactAfter && 2 * head_ >= queue_.size()) {
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    readAhead();

    if (event.deviceChange) {
        if (events_.deviceChange) events_.deviceChange();
        return Delivered::DeviceChange;
    }
    // Reports of a device nobody claimed go nowhere, as on a real bus.
    if (!event.from->claimed || !events_.inputReport) return Delivered::Report;
    struct Delivering {
        bool& flag;
        explicit Delivering(bool& f) : flag(f) { flag = true; }
        ~Delivering() { flag = false; }
    } delivering(deliveringReport_);
    markRead(event);
    events_.inputReport(*event.from, event.report[0],
                        std::span<const std::uint8_t>(event.report).subspan(1), event.readNumber);
    return Delivered::Report;
}

std::size_t SimulatedUroflowmeter::deliverAll() {
    std::size_t count = 0;
    for (;;) {
        const Delivered delivered = deliverNext();
        if (delivered == Delivered::Nothing || delivered == Delivered::Held) return count;
        ++count;
    }
}

}  // namespace uroflow
