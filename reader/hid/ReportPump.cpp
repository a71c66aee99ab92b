// The reading thread and its hand-over to the user-interface thread.

#include "reader/hid/ReportPump.h"

#include <QMetaObject>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace uroflow {

namespace {
constexpr std::size_t kBufferSize = 4096;  // the largest HID report
}  // namespace

struct ReportPump::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    bool handled = true;  // the report last handed over has been handled
    Deliver deliver;
};

ReportPump::ReportPump(QObject* context, Read read, Deliver deliver)
    : shared_(std::make_shared<Shared>()) {
    shared_->deliver = std::move(deliver);
    thread_ = std::thread(&ReportPump::run, shared_, std::move(read), context);
}

ReportPump::~ReportPump() {
    stop();
}

void ReportPump::stop() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ReportPump::run(std::shared_ptr<Shared> shared, Read read, QObject* context) {
    std::vector<std::uint8_t> buffer(kBufferSize);
    for (;;) {
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->stopping) return;
        }
        const int length = read(buffer.data(), buffer.size(), kReadTimeoutMs);
        if (length < 0) return;  // gone: the device-change notification follows
        if (length == 0) continue;

        std::unique_lock lock(shared->mutex);
        if (shared->stopping) return;
        shared->handled = false;
        std::vector<std::uint8_t> report(buffer.begin(), buffer.begin() + length);
        // The context outlives the pump (its owner stops the pump first); a call
        // still queued when the context goes is dropped with it.
        QMetaObject::invokeMethod(
            context, [shared, report = std::move(report)] { handOver(shared, report); },
            Qt::QueuedConnection);
        shared->changed.wait(lock, [&] { return shared->handled || shared->stopping; });
    }
}

void ReportPump::handOver(const std::shared_ptr<Shared>& shared,
                          std::span<const std::uint8_t> report) {
    {
        const std::lock_guard lock(shared->mutex);
        if (shared->stopping) return;
    }
    // Handled however the handler ends, so the thread never waits for nothing.
    struct MarkHandled {
        Shared& shared;
        ~MarkHandled() {
            {
                const std::lock_guard lock(shared.mutex);
                shared.handled = true;
            }
            shared.changed.notify_all();
        }
    } markHandled{*shared};
    // Outside the lock: the handler may open a message box, and a device change
    // inside it may stop this very pump.
    shared->deliver(report);
}

}  // namespace uroflow
