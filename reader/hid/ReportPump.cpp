// The reading thread, its numbering of reports and its hand-over to the
// user-interface thread.

#include "reader/hid/ReportPump.h"

#include <QMetaObject>
#include <atomic>
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
    bool ended = false;   // the thread has returned
    bool inRead = false;  // the thread waits in a read: nothing unread is queued
    bool drainAsked = false;
    bool handled = true;  // the report last handed over has been handled
    std::atomic<std::uint64_t> reads = 0;
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

std::uint64_t ReportPump::reportsRead() const {
    return shared_->reads.load();
}

void ReportPump::drain() {
    std::unique_lock lock(shared_->mutex);
    if (shared_->stopping || shared_->ended || shared_->inRead) return;
    shared_->drainAsked = true;
    shared_->changed.notify_all();
    // The thread never waits on this one, so this wait is short: at most one read
    // that finds data at once.
    shared_->changed.wait(
        lock, [&] { return !shared_->drainAsked || shared_->stopping || shared_->ended; });
}

void ReportPump::stop() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool ReportPump::drainUnread(Shared& shared, const Read& read, std::uint8_t* buffer,
                             std::size_t size) {
    for (;;) {
        const int length = read(buffer, size, 0);
        if (length < 0) return false;
        if (length == 0) return true;
        ++shared.reads;
    }
}

void ReportPump::run(std::shared_ptr<Shared> shared, Read read, QObject* context) {
    std::vector<std::uint8_t> buffer(kBufferSize);
    // Whatever way the thread ends, a drain asked for does not wait for it.
    struct MarkEnded {
        Shared& shared;
        ~MarkEnded() {
            {
                const std::lock_guard lock(shared.mutex);
                shared.ended = true;
                shared.inRead = false;
            }
            shared.changed.notify_all();
        }
    } markEnded{*shared};
    auto drainNow = [&](std::unique_lock<std::mutex>& lock) {
        lock.unlock();
        const bool alive = drainUnread(*shared, read, buffer.data(), buffer.size());
        lock.lock();
        shared->drainAsked = false;
        shared->changed.notify_all();
        return alive;
    };

    for (;;) {
        {
            std::unique_lock lock(shared->mutex);
            if (shared->stopping) return;
            if (shared->drainAsked) {
                if (!drainNow(lock)) return;
                continue;
            }
            shared->inRead = true;
        }
        const int length = read(buffer.data(), buffer.size(), kReadTimeoutMs);
        std::unique_lock lock(shared->mutex);
        shared->inRead = false;
        if (length < 0) return;  // gone: the device-change notification follows
        if (length == 0) continue;
        const std::uint64_t number = ++shared->reads;
        if (shared->stopping) return;
        shared->handled = false;
        std::vector<std::uint8_t> report(buffer.begin(), buffer.begin() + length);
        // The context outlives the pump (its owner stops the pump first); a call
        // still queued when the context goes is dropped with it.
        QMetaObject::invokeMethod(
            context,
            [shared, report = std::move(report), number] { handOver(shared, report, number); },
            Qt::QueuedConnection);
        for (;;) {
            shared->changed.wait(
                lock, [&] { return shared->handled || shared->stopping || shared->drainAsked; });
            if (shared->stopping) return;
            if (shared->handled) break;
            // The report still waits to be handled: what came since is read now.
            if (!drainNow(lock)) return;
        }
    }
}

void ReportPump::handOver(const std::shared_ptr<Shared>& shared,
                          std::span<const std::uint8_t> report, std::uint64_t number) {
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
    shared->deliver(report, number);
}

}  // namespace uroflow
