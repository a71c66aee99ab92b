// The simulated uroflowmeter through the seam: its answers, its memory and the
// order and pacing of what it delivers.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "reader/SimulatedUroflowmeter.h"
#include "reader/Transfer.h"
#include "study/Decoder.h"

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

    // The memory as a download through the receiving side would store it.
    std::unique_ptr<Image> downloaded() {
        auto image = std::make_unique<Image>();
        Transfer link;
        link.OutReport = bareCommand(kCommandRead);
        for (const Received& r : received) link.receiveBlock(*image, r.data, 0);
        return image;
    }

    SimulatedUroflowmeter sim;
    int changes = 0;
    std::vector<Received> received;
    std::function<void()> onReport;
};

TEST_F(SimulatedTest, ReadAnswersWithTheWholeMemoryInBlocksAndTheEndBlock) {
    send(bareCommand(kCommandRead));
    EXPECT_EQ(sim.deliverAll(), 2049u);
    ASSERT_EQ(received.size(), 2049u);
    EXPECT_TRUE(std::all_of(received.begin(), received.end(), [&](const Received& r) {
        return r.reportId == 0 && r.data.size() == kBlockLength && r.device == &sim.reader();
    }));
    EXPECT_TRUE(isEndOfTransfer(received.back().data));
    const auto image = downloaded();
    EXPECT_TRUE(std::equal(sim.memory().begin(), sim.memory().end(), image->begin()));
}

TEST_F(SimulatedTest, PassportLandsAtThirtyThreeAndTheMemoryComesBack) {
    send(passportCommand(Sex::Male, "Пациент П.", stagePassport(u"45", u"05.03.24")));
    sim.deliverAll();
    EXPECT_EQ(received.size(), 2049u);
    const std::vector<int> expected = {
        0x01, 0xCF, 0xE0, 0xF6, 0xE8, 0xE5, 0xED, 0xF2, 0x20, 0xCF, 0x2E, 0,    0,    0,    0,   0,
        0,    0,    0,    0,    0,    0x34, 0x35, 0x30, 0x35, 0x30, 0x33, 0x32, 0x34, 0x3A, 0x3A};
    EXPECT_EQ(std::vector<int>(sim.memory().begin() + 33, sim.memory().begin() + 64), expected);
    const auto image = downloaded();
    const Passport passport = decodePassport(*image);
    EXPECT_EQ(passport.name, "Пациент П.");
    EXPECT_EQ(passport.date, "05.03.24");
}

TEST_F(SimulatedTest, EraseClearsTheStudyAreaKeepsTheHeaderAndTheTimeOfIssue) {
    const std::vector<std::uint8_t> header(sim.memory().begin(), sim.memory().begin() + 99);
    send(clockCommand(kCommandErase, u"09:07"));
    sim.deliverAll();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(isEndOfTransfer(received[0].data));
    EXPECT_EQ(sim.issueTime(), "09:07");
    EXPECT_TRUE(std::equal(header.begin(), header.end(), sim.memory().begin()));
    EXPECT_TRUE(std::all_of(sim.memory().begin() + 99, sim.memory().end(),
                            [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(SimulatedTest, CalibrationGivesFiftyThousandAndAcknowledgementNothing) {
    send(clockCommand(kCommandCalibrate, u"14:30"));
    send(bareCommand(kCommandNone));
    sim.deliverAll();
    ASSERT_EQ(received.size(), 1u);
    auto image = std::make_unique<Image>();
    std::copy(sim.memory().begin(), sim.memory().end(), image->begin());
    EXPECT_EQ(calibrationCoefficient(*image), 50000);
    EXPECT_EQ(sim.writes().size(), 2u);
}

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

TEST_F(SimulatedTest, UnpluggedReaderIsNotListedAndCannotBeWritten) {
    sim.addDevice(0x046D, 0xC077);
    auto listed = [&] {
        std::vector<std::uint16_t> products;
        sim.enumerate([&](HidDevice& d, int) {
            products.push_back(d.productId());
            return true;
        });
        return products;
    };
    EXPECT_EQ(listed(), (std::vector<std::uint16_t>{0x007B, 0xC077}));
    sim.unplug();
    EXPECT_EQ(listed(), (std::vector<std::uint16_t>{0xC077}));
    EXPECT_FALSE(sim.write(sim.reader(), bareCommand(kCommandRead)).ok);
    EXPECT_EQ(sim.deliverAll(), 1u);
    EXPECT_EQ(changes, 1);

    sim.denyAccess(true);
    sim.plug();
    EXPECT_EQ(sim.claim(sim.reader()).status, ClaimStatus::AccessDenied);
    sim.denyAccess(false);
    EXPECT_EQ(sim.claim(sim.reader()).status, ClaimStatus::Claimed);

    sim.failWrites("Input/output error");
    const WriteResult failed = sim.write(sim.reader(), bareCommand(kCommandRead));
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.errorText, "Input/output error");
}

}  // namespace
}  // namespace uroflow
