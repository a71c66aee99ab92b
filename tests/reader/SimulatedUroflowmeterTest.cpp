// The simulated uroflowmeter through the seam: what it does with an answer cut
// short, and the order of what it delivers. Its answers to each command are checked
// through the window's handlers (tests/handlers/ReaderHandlersTest.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "reader/SimulatedUroflowmeter.h"

namespace uroflow {
namespace {

struct Received {
    HidDevice* device;
    std::uint8_t reportId;
    std::vector<std::uint8_t> data;
    std::uint64_t readNumber;
};

class SimulatedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t i = 0; i < kMemorySize; ++i)
            sim.memory()[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
        sim.setEvents({[this] { ++changes; },
                       [this](HidDevice& device, std::uint8_t id, std::span<const std::uint8_t> d,
                              std::uint64_t number) {
                           received.push_back({&device, id, {d.begin(), d.end()}, number});
                           if (onReport) onReport();
                       }});
        sim.plug();
        sim.deliverAll();
        changes = 0;
        ASSERT_EQ(sim.claim(sim.reader()).status, ClaimStatus::Claimed);
    }

    void send(const OutputReport& report) {
        const WriteResult result = sim.write(sim.reader(), report);
        ASSERT_TRUE(result.ok);
        readBeforeWrite = result.reportsRead;
    }

    SimulatedUroflowmeter sim;
    int changes = 0;
    std::vector<Received> received;
    std::function<void()> onReport;
    std::uint64_t readBeforeWrite = 0;
};

TEST_F(SimulatedTest, ANewCommandStartsTheAnswerOverAndStoppingLeavesItUnfinished) {
    send(bareCommand(kCommandRead));
    for (int i = 0; i < 10; ++i) sim.deliverNext();
    send(bareCommand(kCommandRead));
    EXPECT_EQ(sim.queued(), 2049u);
    for (int i = 0; i < 10; ++i) sim.deliverNext();
    sim.stopAnswering();
    EXPECT_EQ(sim.deliverAll(), 0u);
    EXPECT_EQ(received.size(), 20u);
    EXPECT_FALSE(isEndOfTransfer(received.back().data));
}

TEST_F(SimulatedTest, OneReportAtATimeButDeviceChangesMayCome) {
    std::vector<SimulatedUroflowmeter::Delivered> nested;
    onReport = [&] {
        if (received.size() != 1) return;
        sim.unplug();  // while the first report is handled (a message box is open)
        nested.push_back(sim.deliverNext());
        nested.push_back(sim.deliverNext());
        sim.plug();
        sim.claim(sim.reader());
        sim.sendBlocks(std::vector<Block>{endOfTransferBlock()});
        nested.push_back(sim.deliverNext());
        nested.push_back(sim.deliverNext());
    };
    send(bareCommand(kCommandRead));
    sim.deliverNext();
    using D = SimulatedUroflowmeter::Delivered;
    EXPECT_EQ(nested, (std::vector<D>{D::DeviceChange, D::Nothing, D::DeviceChange, D::Held}));
    EXPECT_EQ(received.size(), 1u);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(sim.deliverAll(), 1u);
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(SimulatedTest, ReportsReadAheadOutliveANewCommandAndAreNumberedBeforeIt) {
    sim.setReadAhead(3);
    send(bareCommand(kCommandRead));
    for (int i = 0; i < 10; ++i) sim.deliverNext();
    EXPECT_EQ(sim.reportsRead(sim.reader()), 13u);
    // Started over: the three reports read already still come, before the new answer.
    send(bareCommand(kCommandRead));
    EXPECT_EQ(readBeforeWrite, 13u);
    EXPECT_EQ(sim.queued(), 3u + 2049u);
    sim.deliverAll();
    ASSERT_EQ(received.size(), 10u + 3u + 2049u);
    for (std::size_t i = 0; i < received.size(); ++i) {
        EXPECT_EQ(received[i].readNumber, i + 1);
        EXPECT_EQ(received[i].readNumber <= readBeforeWrite, i < 13);
    }
    // The old answer's 11th to 13th blocks, then the new one from block 0.
    EXPECT_EQ(received[12].data, std::vector<std::uint8_t>(sim.memory().begin() + 12 * 32,
                                                           sim.memory().begin() + 13 * 32));
    EXPECT_EQ(received[13].data, received[0].data);

    // Unplugged, the reports read already go with the device.
    send(bareCommand(kCommandRead));
    sim.unplug();
    EXPECT_EQ(sim.queued(), 1u);  // the device change
}

TEST_F(SimulatedTest, WithoutReadAheadAReportIsReadWhenHandedOver) {
    sim.sendBlocks(std::vector<Block>(3));
    EXPECT_EQ(sim.reportsRead(sim.reader()), 0u);
    sim.deliverNext();
    sim.deliverNext();
    // Still on the device, the third is dropped by the command.
    send(bareCommand(kCommandErase));
    EXPECT_EQ(readBeforeWrite, 2u);
    sim.deliverAll();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_TRUE(isEndOfTransfer(received.back().data));
    EXPECT_EQ(received.back().readNumber, 3u);
}

TEST_F(SimulatedTest, AQueueThatNeverRunsDryKeepsItsOrderPastThousandsOfReports) {
    // Two answers read ahead and a third behind them: delivered one by one, never drained
    // until the end, past the point where the queue drops what it delivered.
    sim.setReadAhead(5000);
    send(bareCommand(kCommandRead));
    send(bareCommand(kCommandRead));
    sim.setReadAhead(0);
    send(bareCommand(kCommandRead));
    ASSERT_EQ(sim.queued(), 3u * 2049u);
    std::size_t delivered = 0;
    while (sim.deliverNext() == SimulatedUroflowmeter::Delivered::Report) {
        ++delivered;
        EXPECT_EQ(sim.queued(), 3u * 2049u - delivered);
    }
    ASSERT_EQ(received.size(), 3u * 2049u);
    for (std::size_t i = 0; i < received.size(); ++i) {
        const std::size_t block = i % 2049;
        EXPECT_EQ(received[i].readNumber, i + 1);
        if (block == 2048) {
            EXPECT_TRUE(isEndOfTransfer(received[i].data)) << i;
        } else {
            ASSERT_EQ(received[i].data,
                      std::vector<std::uint8_t>(sim.memory().begin() + block * 32,
                                                sim.memory().begin() + (block + 1) * 32))
                << i;
        }
    }
}

}  // namespace
}  // namespace uroflow
