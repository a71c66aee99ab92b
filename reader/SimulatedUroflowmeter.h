#pragma once
// A reader with a uroflowmeter behind it, in software: a second implementation of
// the HID seam for the tests and the demo mode. It holds a 64 KiB memory and
// answers every command the way the device does, with real 33-byte input reports
// (report ID 0, then one 32-byte block) through the seam.
//
// Nothing happens by itself: device changes and reports wait in a queue until
// deliverNext() or deliverAll() hands them over (instantly in tests; the demo
// mode paces them with a timer). Reports are never delivered while one is being
// handled, as the real backend does; device changes are.
//
// By default a report is read off the device the moment it is handed over. With
// setReadAhead(n) the first n reports of the queue count as read already, as the
// real reading thread and the system's buffer hold them: a command written
// meanwhile cannot call them back, and they are handed over after it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "reader/HidLayer.h"
#include "reader/Protocol.h"

namespace uroflow {

class SimulatedUroflowmeter : public HidLayer {
  public:
    // The memory starts unwritten (0xFF); unplugged.
    SimulatedUroflowmeter();
    ~SimulatedUroflowmeter() override;

    // ---- The seam ----
    void setEvents(HidEvents events) override;
    void enumerate(const std::function<bool(HidDevice&, int)>& visit) override;
    Claim claim(HidDevice& device) override;
    std::size_t outputReportLength(HidDevice& device) override;
    WriteResult write(HidDevice& device, std::span<const std::uint8_t> report) override;

    // ---- The device ----
    // Bytes 0..65535 of the device memory.
    std::span<std::uint8_t> memory() { return memory_; }
    std::span<const std::uint8_t> memory() const { return memory_; }
    void loadMemory(std::span<const std::uint8_t> bytes);  // at most 64 KiB from byte 0
    // The time of issue of the last erase command, "HH:mm" as sent.
    const std::string& issueTime() const { return issueTime_; }

    // ---- The bench ----
    // Plugging in and unplugging the reader raise a device change. Unplugging
    // drops the answer still queued.
    void plug();
    void unplug();
    bool plugged() const { return plugged_; }
    // Other HID devices, listed after the reader in the order added; they never
    // answer. Returns the handle, valid as long as this object.
    HidDevice& addDevice(std::uint16_t vendorId, std::uint16_t productId);
    // The uroflowmeter's reader.
    HidDevice& reader();

    // Opening the reader fails as without a udev rule.
    void denyAccess(bool deny) { denyAccess_ = deny; }
    // Writes fail with this system text; empty: they succeed.
    void failWrites(std::string errorText) { writeError_ = std::move(errorText); }

    // The uroflowmeter stops in the middle of its answer: the rest is never sent.
    void stopAnswering();
    // Blocks sent by `from` (the reader by default) outside any command.
    void sendBlocks(std::span<const Block> blocks, HidDevice* from = nullptr);
    // Asynchronous delivery: up to `reports` queued reports are read ahead of being
    // handed over. 0 (the default) reads each as it is handed over.
    void setReadAhead(std::size_t reports);
    // Reports read off `device` so far.
    std::uint64_t reportsRead(HidDevice& device) const;

    // Every output report written to any device, in order, as many bytes as were written.
    struct Written {
        HidDevice* device = nullptr;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Written>& writes() const { return writes_; }

    // ---- Delivery ----
    enum class Delivered { Nothing, DeviceChange, Report, Held };
    // Hands over the next queued event. Held: the next is a report and a report is
    // being handled right now.
    Delivered deliverNext();
    // Delivers until the queue is empty or held; returns the number delivered.
    std::size_t deliverAll();
    std::size_t queued() const { return queue_.size() - head_; }
    // Called when something is queued into an empty queue (the demo mode's pacer
    // wakes up).
    void setQueueWake(std::function<void()> wake) { wake_ = std::move(wake); }

  private:
    class Device;
    // Widest members first: 56 bytes, so a whole memory's answer (2,049 events) stays
    // under 128 KiB, an allocation the allocators serve from their pools.
    struct Event {
        Device* from = nullptr;
        std::uint64_t readNumber = 0;  // 0 while still on the device
        std::array<std::uint8_t, kReportLength> report{};
        bool deviceChange = false;
    };

    // A new event at the back of the queue; finishQueueing() once it is filled in.
    Event& pushEvent();
    void finishQueueing(bool wasEmpty);
    void queueDeviceChange();
    void queueBlock(std::span<const std::uint8_t> block, Device* from);
    void queueMemory();
    // Drops the reader's reports still on the device; those read already too when
    // `readToo` (the device is gone, and its reading with it).
    void dropAnswer(bool readToo);
    void readAhead();
    static void markRead(Event& event);
    void obey(std::span<const std::uint8_t> report);

    std::vector<std::uint8_t> memory_;
    std::string issueTime_;
    std::vector<std::unique_ptr<Device>> devices_;  // [0] is the reader
    bool plugged_ = false;
    bool denyAccess_ = false;
    std::string writeError_;
    std::vector<Written> writes_;

    HidEvents events_;
    // Events queue_[head_..] wait; a vector, so a whole memory's answer is queued without
    // an allocation per few blocks. Delivered ones are dropped once the queue runs dry.
    std::vector<Event> queue_;
    std::size_t head_ = 0;
    bool deliveringReport_ = false;
    std::size_t readAhead_ = 0;
    std::function<void()> wake_;
};

}  // namespace uroflow
