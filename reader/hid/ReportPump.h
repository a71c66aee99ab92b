#pragma once
// The reading thread of one open device: it reads input reports with a timeout,
// numbers each as it is read, hands it to the user-interface thread and waits
// until it has been handled there before it reads the next, so a message box
// inside the handler holds up further reports. Stopping never waits on the
// user-interface thread, so it is safe from inside a handler (the reader
// unplugged while a box is open) and at program end.

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

namespace uroflow {

class ReportPump {
  public:
    // Reads one report into the buffer within the timeout: its length, 0 when none
    // came, negative when the device failed or went away (the thread then ends).
    using Read = std::function<int(std::uint8_t* buffer, std::size_t size, int timeoutMs)>;
    // Runs on the thread of the context object with each report and its number
    // among the reports read, from 1.
    using Deliver = std::function<void(std::span<const std::uint8_t> report, std::uint64_t number)>;

    // How long a read waits before the thread looks whether it should stop.
    static constexpr int kReadTimeoutMs = 100;

    // `context` lives on the user-interface thread and outlives the pump.
    ReportPump(QObject* context, Read read, Deliver deliver);
    ~ReportPump();
    ReportPump(const ReportPump&) = delete;
    ReportPump& operator=(const ReportPump&) = delete;

    // Reports read so far.
    std::uint64_t reportsRead() const;

    // Before a write: while a report waits to be handled the system keeps queueing
    // the device's reports unread; they are read now (and dropped, counted), so
    // every report sent before the write is numbered up to reportsRead() once the
    // write has returned. Returns at once while the thread waits in a read, since
    // the system then holds nothing unread. Called on the user-interface thread,
    // also from inside a handler.
    void drain();

    // Ends and joins the thread; reports not yet handled are dropped.
    void stop();

  private:
    struct Shared;
    static void run(std::shared_ptr<Shared> shared, Read read, QObject* context);
    static bool drainUnread(Shared& shared, const Read& read, std::uint8_t* buffer,
                            std::size_t size);
    static void handOver(const std::shared_ptr<Shared>& shared,
                         std::span<const std::uint8_t> report, std::uint64_t number);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace uroflow
