// The real backend without a device: the report descriptor walk, the layer on
// whatever this machine has, and the reading thread's hand-over to the
// user-interface thread, stopped while a report waits in a nested event loop (a
// message box) and at program end.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "reader/hid/HidapiLayer.h"
#include "reader/hid/ReportDescriptor.h"
#include "reader/hid/ReportPump.h"

namespace uroflow {
namespace {

TEST(ReportDescriptor, VendorDeviceWithThirtyTwoByteReports) {
    const std::vector<std::uint8_t> descriptor = {
        0x06, 0x00, 0xFF,                                // usage page (vendor)
        0x09, 0x01, 0xA1, 0x01,                          // usage, collection (application)
        0x15, 0x00, 0x26, 0xFF, 0x00,                    // logical 0..255
        0x75, 0x08, 0x95, 0x20, 0x09, 0x01, 0x81, 0x02,  // 32 bytes in
        0x95, 0x20, 0x09, 0x01, 0x91, 0x02,              // 32 bytes out
        0xC0};
    const ReportLayout layout = parseReportDescriptor(descriptor);
    EXPECT_EQ(layout.outputReportLength, 33u);
    EXPECT_FALSE(layout.numberedReports);
}

TEST(ReportDescriptor, NumberedReportsTakeTheLongestOutputAndSurviveACutOffEnd) {
    const std::vector<std::uint8_t> descriptor = {
        0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x91, 0x02,  // id 1: 8 bytes out
        0xA4,                                            // push
        0x85, 0x02, 0x95, 0x10, 0x91, 0x02,              // id 2: 16 bytes out
        0xB4,                                            // pop: id 1, count 8 again
        0x75, 0x01, 0x95, 0x04, 0x91, 0x02,              // id 1: 4 more bits
        0xFE, 0x02, 0x10, 0xAA, 0xBB,                    // a long item, skipped
        0x95};                                           // cut off
    const ReportLayout layout = parseReportDescriptor(descriptor);
    EXPECT_TRUE(layout.numberedReports);
    EXPECT_EQ(layout.outputReportLength, 17u);
    EXPECT_EQ(parseReportDescriptor({}).outputReportLength, 0u);
}

// A device whose reports are queued by the test; a read waits for one at most
// its timeout, as hid_read_timeout does.
class FakeDevice {
  public:
    void queue(std::uint8_t value, int count = 1) {
        {
            const std::lock_guard lock(mutex_);
            for (int i = 0; i < count; ++i) reports_.push_back(value);
        }
        arrived_.notify_all();
    }
    void fail() {
        {
            const std::lock_guard lock(mutex_);
            failed_ = true;
        }
        arrived_.notify_all();
    }
    int reads() const { return reads_; }

    ReportPump::Read reader() {
        return [this](std::uint8_t* buffer, std::size_t, int timeoutMs) {
            ++reads_;
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return failed_ || !reports_.empty(); });
            if (failed_) return -1;
            if (reports_.empty()) return 0;
            buffer[0] = reports_.front();
            reports_.pop_front();
            return 1;
        };
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::uint8_t> reports_;
    bool failed_ = false;
    std::atomic<int> reads_ = 0;
};

// Runs the event loop until `done` holds; the ctest timeout catches a hang.
template <typename Done>
void runUntil(Done done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class ReportPumpTest : public ::testing::Test {
  protected:
    QObject context;
    FakeDevice device;
    std::vector<int> delivered;
    int depth = 0;
    int deepest = 0;
};

TEST_F(ReportPumpTest, ReportsArriveOnTheUiThreadInOrderOneAtATime) {
    const auto ui = std::this_thread::get_id();
    ReportPump pump(&context, device.reader(),
                    [&](std::span<const std::uint8_t> report, std::uint64_t) {
                        EXPECT_EQ(std::this_thread::get_id(), ui);
                        ++depth;
                        deepest = std::max(deepest, depth);
                        delivered.push_back(report[0]);
                        // Events run inside the handler, as under a message box: no second
                        // report may come in.
                        QCoreApplication::processEvents();
                        --depth;
                    });
    for (int i = 1; i <= 50; ++i) device.queue(static_cast<std::uint8_t>(i));
    runUntil([&] { return delivered.size() == 50; });
    EXPECT_EQ(deepest, 1);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(delivered[i], i + 1);
}

TEST_F(ReportPumpTest, StoppedFromInsideAHandlerWhileABoxIsOpen) {
    std::unique_ptr<ReportPump> pump;
    pump = std::make_unique<ReportPump>(&context, device.reader(),
                                        [&](std::span<const std::uint8_t> report, std::uint64_t) {
                                            delivered.push_back(report[0]);
                                            if (delivered.size() != 1) return;
                                            // The box's event loop; the reader is unplugged
                                            // meanwhile.
                                            QEventLoop box;
                                            QTimer::singleShot(0, &box, [&] {
                                                pump.reset();
                                                box.quit();
                                            });
                                            box.exec();
                                        });
    device.queue(1, 20);
    runUntil([&] { return pump == nullptr; });
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), 1u);
}

TEST_F(ReportPumpTest, ProgramEndWithReportsStillQueuedDeliversNoMore) {
    auto pump = std::make_unique<ReportPump>(
        &context, device.reader(), [&](std::span<const std::uint8_t> report, std::uint64_t) {
            delivered.push_back(report[0]);
        });
    device.queue(7, 1000);
    runUntil([&] { return !delivered.empty(); });
    pump.reset();
    const std::size_t atStop = delivered.size();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), atStop);
}

// The stale-report window: while the user-interface thread is busy (a click being
// handled) the thread holds exactly one report read and waits; the system queues the
// rest unread. A drain before a write reads those too, so every report sent before
// the write is numbered up to reportsRead() and every later one above it.
TEST_F(ReportPumpTest, ADrainNumbersEveryReportSentBeforeTheWrite) {
    struct Seen {
        int value;
        std::uint64_t number;
    };
    std::vector<Seen> seen;
    ReportPump pump(&context, device.reader(),
                    [&](std::span<const std::uint8_t> report, std::uint64_t number) {
                        seen.push_back({report[0], number});
                    });
    device.queue(1, 40);
    // The thread has read one and waits for it to be handled; nothing more is read.
    while (device.reads() == 0 || pump.reportsRead() == 0) std::this_thread::yield();
    for (int i = 0; i < 5; ++i) std::this_thread::yield();
    EXPECT_EQ(pump.reportsRead(), 1u);

    pump.drain();  // the click's write begins
    const std::uint64_t mark = pump.reportsRead();
    EXPECT_EQ(mark, 40u);
    device.queue(2, 3);  // the answer
    runUntil([&] { return seen.size() == 4; });
    for (const Seen& s : seen) EXPECT_EQ(s.number <= mark, s.value == 1);
    EXPECT_EQ(seen.back().number, 43u);

    // Waiting in a read, the system holds nothing unread: the drain returns at once.
    pump.drain();
    EXPECT_EQ(pump.reportsRead(), 43u);
}

// Whatever devices this machine has: the first notification comes by itself,
// every listed device can be asked for its ids, and nothing is delivered after
// the events are taken away.
TEST(HidapiLayer, NotifiesOnceAfterStartAndListsTheDevices) {
    HidapiLayer layer;
    int changes = 0;
    layer.setEvents({[&] { ++changes; }, [](HidDevice&, std::uint8_t, std::span<const std::uint8_t>,
                                            std::uint64_t) {}});
    runUntil([&] { return changes > 0; });
    EXPECT_EQ(changes, 1);
    int listed = 0;
    layer.enumerate([&](HidDevice& device, int index) {
        EXPECT_EQ(index, listed++);
        (void)device.vendorId();
        return true;
    });
    layer.enumerate([&](HidDevice&, int) { return false; });
    layer.setEvents({});
}

}  // namespace
}  // namespace uroflow

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
