// Enumeration, claiming, writing and change notification through hidapi and libudev.

#include "reader/hid/HidapiLayer.h"

#include <hidapi/hidapi.h>
#include <libudev.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "reader/hid/ReportDescriptor.h"
#include "reader/hid/ReportPump.h"

namespace uroflow {

namespace {

// The first notification comes once the window is on the screen.
constexpr int kStartNotifyMs = 200;
// Events of one plug-in (one per interface) are raised as one notification.
constexpr int kCoalesceMs = 50;

std::string systemText(int error) {
    return std::strerror(error);
}

std::string hidError(hid_device* device) {
    const wchar_t* text = hid_error(device);
    if (text == nullptr) return "Unknown error";
    return QString::fromWCharArray(text).toStdString();
}

// The report descriptor the kernel publishes for a hidraw node.
ReportLayout readLayout(const std::string& node) {
    const std::filesystem::path sysfs = std::filesystem::path("/sys/class/hidraw") /
                                        std::filesystem::path(node).filename() / "device" /
                                        "report_descriptor";
    std::ifstream in(sysfs, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    return parseReportDescriptor(bytes);
}

}  // namespace

class HidapiLayer::Device : public HidDevice {
  public:
    Device(std::string node, std::uint16_t vendor, std::uint16_t product)
        : node_(std::move(node)), vendor_(vendor), product_(product) {}
    ~Device() override { close(); }

    std::uint16_t vendorId() const override { return vendor_; }
    std::uint16_t productId() const override { return product_; }
    const std::string& node() const { return node_; }

    bool claimed() const { return writing_ != nullptr; }

    // Two handles: hidapi keeps a per-handle error text, so the reading thread and
    // the user-interface thread must not share one.
    void open(hid_device* reading, hid_device* writing, ReportLayout layout,
              std::unique_ptr<ReportPump> pump) {
        reading_ = reading;
        writing_ = writing;
        layout_ = layout;
        pump_ = std::move(pump);
    }

    // Stops the reading thread before the handles go.
    void close() {
        pump_.reset();
        if (reading_) hid_close(reading_);
        if (writing_) hid_close(writing_);
        reading_ = nullptr;
        writing_ = nullptr;
    }

    hid_device* writing() const { return writing_; }
    ReportPump* pump() const { return pump_.get(); }
    const ReportLayout& layout() const { return layout_; }

  private:
    std::string node_;
    std::uint16_t vendor_;
    std::uint16_t product_;
    hid_device* reading_ = nullptr;
    hid_device* writing_ = nullptr;
    ReportLayout layout_;
    std::unique_ptr<ReportPump> pump_;
};

HidapiLayer::HidapiLayer() {
    hid_init();
    notifyTimer_.setSingleShot(true);
    QObject::connect(&notifyTimer_, &QTimer::timeout, &context_, [this] {
        if (events_.deviceChange) events_.deviceChange();
    });
    watchDevices();
}

HidapiLayer::~HidapiLayer() {
    events_ = {};
    for (auto& [node, device] : devices_) device->close();
    devices_.clear();
    notifier_.reset();
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
    hid_exit();
}

void HidapiLayer::watchDevices() {
    udev_ = udev_new();
    if (udev_) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        std::fprintf(stderr,
                     "uroflow: no udev monitor; a reader plugged in later is found only after "
                     "a restart\n");
        return;
    }
    notifier_ =
        std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_,
                     [this] { devicesChanged(); });
}

void HidapiLayer::devicesChanged() {
    // The monitor's socket does not block: take every event waiting.
    while (udev_device* event = udev_monitor_receive_device(monitor_)) udev_device_unref(event);
    notifyTimer_.start(kCoalesceMs);
}

void HidapiLayer::setEvents(HidEvents events) {
    events_ = std::move(events);
    if (events_.deviceChange) {
        notifyTimer_.start(kStartNotifyMs);
    } else {
        notifyTimer_.stop();
    }
}

void HidapiLayer::enumerate(const std::function<bool(HidDevice&, int)>& visit) {
    std::map<std::string, std::shared_ptr<Device>> present;
    std::vector<std::shared_ptr<Device>> listed;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* info = list; info; info = info->next) {
        // One entry per top-level collection: a device node is listed once.
        const std::string node = info->path ? info->path : "";
        if (node.empty() || present.contains(node)) continue;
        std::shared_ptr<Device> device;
        const auto known = devices_.find(node);
        if (known != devices_.end() && known->second->vendorId() == info->vendor_id &&
            known->second->productId() == info->product_id) {
            device = known->second;  // a claimed device stays claimed
        } else {
            device = std::make_shared<Device>(node, info->vendor_id, info->product_id);
        }
        present.emplace(node, device);
        listed.push_back(device);
    }
    hid_free_enumeration(list);

    for (auto& [node, device] : devices_) {
        const auto still = present.find(node);
        if (still == present.end() || still->second != device) device->close();
    }
    devices_ = std::move(present);

    // The list is held here, so a visit that leads to another enumeration (a
    // message box, a nested event loop) cannot pull a device from under it.
    int index = 0;
    for (const auto& device : listed) {
        if (!visit(*device, index++)) return;
    }
}

Claim HidapiLayer::claim(HidDevice& handle) {
    auto& device = static_cast<Device&>(handle);
    Claim result;
    result.device = device.node();
    if (device.claimed()) {
        result.status = ClaimStatus::Claimed;
        return result;
    }
    // hidapi says only "failed to open"; the user needs to know it is the rights.
    if (::access(device.node().c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        result.status = ClaimStatus::AccessDenied;
        result.errorText = systemText(EACCES);
        return result;
    }
    hid_device* reading = hid_open_path(device.node().c_str());
    hid_device* writing = reading ? hid_open_path(device.node().c_str()) : nullptr;
    if (!reading || !writing) {
        const int error = errno;
        result.status = error == EACCES ? ClaimStatus::AccessDenied : ClaimStatus::Failed;
        result.errorText = hidError(nullptr);
        if (reading) hid_close(reading);
        return result;
    }

    std::weak_ptr<Device> weak = devices_.at(device.node());
    auto pump = std::make_unique<ReportPump>(
        &context_,
        [reading](std::uint8_t* buffer, std::size_t size, int timeoutMs) {
            return hid_read_timeout(reading, buffer, size, timeoutMs);
        },
        [this, weak](std::span<const std::uint8_t> report, std::uint64_t number) {
            deliver(weak, report, number);
        });
    device.open(reading, writing, readLayout(device.node()), std::move(pump));
    result.status = ClaimStatus::Claimed;
    return result;
}

void HidapiLayer::deliver(const std::weak_ptr<Device>& weak, std::span<const std::uint8_t> report,
                          std::uint64_t number) {
    // Held for the length of the handler, even if an enumeration inside it drops
    // the device.
    const std::shared_ptr<Device> device = weak.lock();
    if (!device || !device->claimed() || !events_.inputReport) return;
    std::uint8_t reportId = 0;
    if (device->layout().numberedReports && !report.empty()) {
        reportId = report.front();
        report = report.subspan(1);
    }
    events_.inputReport(*device, reportId, report, number);
}

std::size_t HidapiLayer::outputReportLength(HidDevice& handle) {
    auto& device = static_cast<Device&>(handle);
    if (device.claimed()) return device.layout().outputReportLength;
    return readLayout(device.node()).outputReportLength;
}

WriteResult HidapiLayer::write(HidDevice& handle, std::span<const std::uint8_t> report) {
    auto& device = static_cast<Device&>(handle);
    if (!device.claimed()) return {false, systemText(ENODEV)};
    // Reports the system still holds unread were sent before this write.
    device.pump()->drain();
    const bool written = hid_write(device.writing(), report.data(), report.size()) >= 0;
    const std::uint64_t readBefore = device.pump()->reportsRead();
    if (!written) return {false, hidError(device.writing()), readBefore};
    return {true, {}, readBefore};
}

}  // namespace uroflow
