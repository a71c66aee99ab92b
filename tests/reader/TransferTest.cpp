// Storing blocks with bounds, blocks at rest, and the silence of the reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "reader/Transfer.h"

namespace uroflow {
namespace {

Block blockOf(std::uint8_t value) {
    Block block;
    block.fill(value);
    return block;
}

class TransferTest : public ::testing::Test {
  protected:
    void send(std::uint8_t command, std::int64_t nowMs = 0) {
        link.OutReport = bareCommand(command);
        link.transferSent(nowMs, read);
    }
    // Each block is read just before it is handled, as with a reader that never
    // holds any back.
    BlockArrival receive(const Block& block, std::int64_t nowMs = 0) {
        return link.receiveBlock(*image, block, nowMs, ++read);
    }

    Transfer link;
    std::uint64_t read = 0;
    std::unique_ptr<Image> image = std::make_unique<Image>();
};

TEST_F(TransferTest, StoresEachBlockAtThirtyTwoTimesItsNumberUntilTheEndBlock) {
    send(kCommandRead);
    EXPECT_FALSE(receive(blockOf(1)).endOfTransfer);
    EXPECT_FALSE(receive(blockOf(2)).endOfTransfer);
    const BlockArrival end = receive(endOfTransferBlock());
    EXPECT_TRUE(end.endOfTransfer);
    EXPECT_FALSE(end.atRest);
    EXPECT_EQ(link.ReportCount, 3);
    EXPECT_EQ((*image)[0], 1);
    EXPECT_EQ((*image)[31], 1);
    EXPECT_EQ((*image)[32], 2);
    EXPECT_EQ((*image)[64], 0xFE);
    EXPECT_EQ((*image)[96], 0);

    link.finishTransfer();
    EXPECT_EQ(link.ReportCount, 0);
    EXPECT_EQ(link.pendingCommand(), kCommandNone);
}

TEST_F(TransferTest, AlmostTheEndBlockIsData) {
    send(kCommandRead);
    Block almost = endOfTransferBlock();
    almost[31] = 0x22;
    EXPECT_FALSE(receive(almost).endOfTransfer);
    EXPECT_EQ(link.ReportCount, 1);
    EXPECT_EQ((*image)[31], 0x22);
}

TEST_F(TransferTest, BlocksPastTheImageAreDroppedButTheEndBlockStillEnds) {
    send(kCommandRead);
    for (int i = 0; i < kMaxTransferBlocks + 5; ++i) receive(blockOf(0xAB));
    EXPECT_EQ(link.ReportCount, kMaxTransferBlocks);
    EXPECT_EQ(image->back(), 0xAB);
    EXPECT_TRUE(receive(endOfTransferBlock()).endOfTransfer);
    EXPECT_EQ(image->back(), 0xAB);
}

TEST_F(TransferTest, AnOverlongLastBlockIsCutAtTheEndOfTheImage) {
    send(kCommandRead);
    for (int i = 0; i < kMaxTransferBlocks - 1; ++i) receive(blockOf(0));
    const std::vector<std::uint8_t> wide(64, 0xCD);
    link.receiveBlock(*image, wide, 0, ++read);
    EXPECT_EQ(link.ReportCount, kMaxTransferBlocks);
    EXPECT_EQ(image->back(), 0xCD);
}

TEST_F(TransferTest, BlocksAtRestAreNeitherStoredNorCountedAndWarnedOncePerBurst) {
    image->fill(0x55);
    std::vector<bool> warnings;
    for (std::int64_t t : {0, 1, 2, 9000, 18999}) {
        const BlockArrival arrival = receive(blockOf(1), t);
        EXPECT_TRUE(arrival.atRest);
        warnings.push_back(arrival.warnAtRest);
    }
    // Silence of ten seconds starts a new burst.
    warnings.push_back(receive(blockOf(1), 28999).warnAtRest);
    // A warning closed late: the burst goes on from the moment it was closed.
    link.restWarningClosed(60000);
    warnings.push_back(receive(blockOf(1), 65000).warnAtRest);
    EXPECT_EQ(warnings, (std::vector<bool>{true, false, false, false, false, true, false}));
    EXPECT_EQ(link.ReportCount, 0);
    EXPECT_TRUE(std::all_of(image->begin(), image->end(), [](auto b) { return b == 0x55; }));

    // An end block at rest ends nothing.
    EXPECT_FALSE(receive(endOfTransferBlock(), 65001).endOfTransfer);

    // After a command, the next block at rest is news again.
    send(kCommandErase, 65002);
    receive(endOfTransferBlock(), 65003);
    link.finishTransfer();
    send(kCommandNone, 65004);
    EXPECT_TRUE(receive(blockOf(1), 65005).warnAtRest);
}

TEST_F(TransferTest, BlocksReadBeforeTheLastWriteAreNoPartOfItsAnswer) {
    image->fill(0x55);
    // Two blocks were read at rest but are handled only after the command left.
    read = 2;
    send(kCommandRead);
    for (std::uint64_t number : {1, 2}) {
        const BlockArrival arrival = link.receiveBlock(*image, blockOf(0xEE), 0, number);
        EXPECT_TRUE(arrival.stale);
        EXPECT_FALSE(arrival.warnAtRest);
    }
    EXPECT_EQ(link.ReportCount, 0);
    EXPECT_FALSE(receive(blockOf(1)).stale);
    EXPECT_EQ(link.ReportCount, 1);
    EXPECT_EQ((*image)[0], 1);
    EXPECT_EQ((*image)[32], 0x55);

    // A reader plugged in anew counts from 1 again: its reports are not stale.
    link.readerReplaced();
    EXPECT_FALSE(link.receiveBlock(*image, blockOf(2), 0, 1).stale);
    EXPECT_EQ((*image)[32], 2);
}

TEST_F(TransferTest, StallsAfterFifteenSecondsWithoutAReport) {
    EXPECT_FALSE(link.transferStalled(1'000'000));  // nothing pending
    send(kCommandRead, 1000);
    EXPECT_FALSE(link.transferStalled(15999));
    EXPECT_TRUE(link.transferStalled(16000));
    receive(blockOf(0), 16000);
    EXPECT_FALSE(link.transferStalled(30999));
    EXPECT_TRUE(link.transferStalled(31000));
    // While the end block's steps run (a message box may wait), nothing stalls.
    receive(endOfTransferBlock(), 31000);
    EXPECT_FALSE(link.transferStalled(99000));
    link.finishTransfer();
    EXPECT_FALSE(link.transferStalled(99000));
}

}  // namespace
}  // namespace uroflow
