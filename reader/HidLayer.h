#pragma once
// Seam to the USB HID devices: exactly what the reader link needs of them.
// The real backend is reader/hid/ (hidapi and libudev); the simulated uroflowmeter
// (reader/SimulatedUroflowmeter.h) is a second implementation for tests and the
// demo mode.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace uroflow {

// One HID device as the layer lists it. The window reads its ids, compares handles
// and hands them back to the layer, nothing more. A handle stays valid until the
// layer's next enumerate() and while a report of the device is being delivered.
class HidDevice {
  public:
    virtual ~HidDevice() = default;
    virtual std::uint16_t vendorId() const = 0;
    virtual std::uint16_t productId() const = 0;

  protected:
    HidDevice() = default;
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;
};

// What the layer calls, always on the user-interface thread.
struct HidEvents {
    // The set of devices changed; also raised once shortly after the events are set.
    std::function<void()> deviceChange;
    // One input report of a claimed device, one at a time in arrival order: the
    // next is not delivered before this call has returned. `readNumber` is its place
    // among the reports read from the device, from 1, counted when it was read.
    std::function<void(HidDevice& device, std::uint8_t reportId, std::span<const std::uint8_t> data,
                       std::uint64_t readNumber)>
        inputReport;
};

enum class ClaimStatus {
    Claimed,       // open for reading and writing, its reports are delivered
    AccessDenied,  // present, but the user may not open it
    Failed,        // present, but it could not be opened for another reason
};

struct Claim {
    ClaimStatus status = ClaimStatus::Failed;
    std::string device;     // the device's node, for the user to see
    std::string errorText;  // the system's text when not claimed
};

struct WriteResult {
    bool ok = false;
    std::string errorText;  // the system's text on failure
    // Reports of the device read before the write returned: those numbered up to
    // this were on their way before the device took the report, so none of them
    // answers it. Reports the layer still held unread when the write began count
    // among them.
    std::uint64_t reportsRead = 0;
};

class HidLayer {
  public:
    virtual ~HidLayer() = default;

    // Empty events: nothing more is delivered (the window is going away).
    virtual void setEvents(HidEvents events) = 0;

    // Calls `visit` once per present device with its 0-based position in the list,
    // until it returns false.
    virtual void enumerate(const std::function<bool(HidDevice&, int)>& visit) = 0;

    // Reserves the device and opens it; from then on its input reports are
    // delivered. Claiming a device already claimed keeps it as it is.
    virtual Claim claim(HidDevice& device) = 0;

    // The device's output report length in bytes, report ID included.
    virtual std::size_t outputReportLength(HidDevice& device) = 0;

    // Sends the bytes, report ID first, and returns when they are written.
    virtual WriteResult write(HidDevice& device, std::span<const std::uint8_t> report) = 0;
};

}  // namespace uroflow
