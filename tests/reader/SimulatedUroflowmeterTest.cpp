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
};

class SimulatedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t i = 0; i < kMemorySize; ++i)
            sim.memory()[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
        sim.setEvents({[this] { ++changes; },
                       [this](HidDevice& device, std::uint8_t id, std::span<const std::uint8_t> d) {
                           received.push_back({&device, id, {d.begin(), d.end()}});
                           if (onReport) onReport();
                       }});
        sim.plug();
        sim.deliverAll();
        changes = 0;
        ASSERT_EQ(sim.claim(sim.reader()).status, ClaimStatus::Claimed);
    }

    void send(const OutputReport& report) { ASSERT_TRUE(sim.write(sim.reader(), report).ok); }

    SimulatedUroflowmeter sim;
    int changes = 0;
    std::vector<Received> received;
    std::function<void()> onReport;
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

}  // namespace
}  // namespace uroflow
