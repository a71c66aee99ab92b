#pragma once
// The real HID layer on Linux: hidapi's hidraw backend lists, opens, reads and
// writes the devices; a libudev monitor on the "hidraw" subsystem, watched on the
// user-interface thread, raises the device-change notification after every
// arrival or removal, and once shortly after the events are set.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "reader/HidLayer.h"

struct udev;
struct udev_monitor;

namespace uroflow {

class HidapiLayer : public HidLayer {
  public:
    HidapiLayer();
    ~HidapiLayer() override;
    HidapiLayer(const HidapiLayer&) = delete;
    HidapiLayer& operator=(const HidapiLayer&) = delete;

    void setEvents(HidEvents events) override;
    void enumerate(const std::function<bool(HidDevice&, int)>& visit) override;
    Claim claim(HidDevice& device) override;
    std::size_t outputReportLength(HidDevice& device) override;
    WriteResult write(HidDevice& device, std::span<const std::uint8_t> report) override;

  private:
    class Device;
    void watchDevices();
    void devicesChanged();
    void deliver(const std::weak_ptr<Device>& device, std::span<const std::uint8_t> report,
                 std::uint64_t number);

    // Lives on the user-interface thread: timers, the notifier and the reports
    // handed over by the reading threads run in its context.
    QObject context_;
    QTimer notifyTimer_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    HidEvents events_;
    std::map<std::string, std::shared_ptr<Device>> devices_;  // by device node
};

}  // namespace uroflow
