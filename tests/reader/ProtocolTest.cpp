// Output reports byte for byte and the end-of-transfer comparison.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "reader/Protocol.h"

namespace uroflow {
namespace {

std::vector<int> bytesOf(const OutputReport& report) {
    return {report.begin(), report.end()};
}

std::vector<int> withZeros(std::vector<int> head, std::size_t zeros) {
    head.insert(head.end(), zeros, 0);
    return head;
}

const char* const kPatient = "Пациент П.";
const std::vector<int> kPatientCp1251 = {0xCF, 0xE0, 0xF6, 0xE8, 0xE5,
                                         0xED, 0xF2, 0x20, 0xCF, 0x2E};

struct AgeCase {
    const char16_t* age;
    int first;
    int second;
};

class PassportAge : public ::testing::TestWithParam<AgeCase> {};

TEST_P(PassportAge, SendsTheLowBytesOfTheFirstTwoCharacters) {
    const OutputReport report =
        passportCommand(Sex::Male, "", stagePassport(GetParam().age, u"05.03.24"));
    EXPECT_EQ(report[23], GetParam().first);
    EXPECT_EQ(report[24], GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Ages, PassportAge,
                         ::testing::Values(AgeCase{u"7", 0x37, 0x00}, AgeCase{u"2,5", 0x32, 0x2C},
                                           AgeCase{u"2.5", 0x32, 0x2E}, AgeCase{u"105", 0x31, 0x30},
                                           AgeCase{u"", 0x00, 0x00}));

TEST(PassportCommand, SexByte) {
    const PassportStage stage = stagePassport(u"45", u"05.03.24");
    EXPECT_EQ(passportCommand(Sex::Female, kPatient, stage)[2], 0x00);
    EXPECT_EQ(passportCommand(Sex::Male, kPatient, stage)[2], 0x01);
    // Neither checked: the fill stays (the window asks for the sex before sending).
    EXPECT_EQ(passportCommand(std::nullopt, kPatient, stage)[2], 0x3A);
}

TEST(PassportCommand, NameIsCutToItsTwentyBytesAndUnknownCharactersBecomeQuestionMarks) {
    const PassportStage stage = stagePassport(u"45", u"05.03.24");
    const OutputReport longName = passportCommand(Sex::Male, "ABCDEFGHIJKLMNOPQRSTUVWXY", stage);
    EXPECT_EQ(longName[3], 'A');
    EXPECT_EQ(longName[22], 'T');   // the 20th letter
    EXPECT_EQ(longName[23], 0x34);  // the age is untouched
    const OutputReport foreign = passportCommand(Sex::Male, "A中B", stage);
    EXPECT_EQ((std::vector<int>{foreign[3], foreign[4], foreign[5], foreign[6]}),
              (std::vector<int>{'A', '?', 'B', 0}));
}

TEST(BareCommand, SendsTheLowByteOfTheCodeAndNoPayload) {
    EXPECT_EQ(bytesOf(bareCommand(kCommandRead)), withZeros({0x00, 0x41}, 31));
    EXPECT_EQ(bareCommand(0x100 + 65)[1], 65);
    EXPECT_EQ(bytesOf(bareCommand(0)), withZeros({}, 33));
}

TEST(StudyDate, OnlyTwoDigitsDotTwoDigitsDotTwoDigits) {
    for (const char16_t* good : {u"05.03.24", u"00.00.00", u"31.12.99"})
        EXPECT_TRUE(isStudyDate(good));
    for (const char16_t* bad :
         {u"", u"5.3.24", u"05.03.2024", u"05-03-24", u"05.03.2a", u"DataStart", u"05.03.24 "})
        EXPECT_FALSE(isStudyDate(bad));
}

TEST(EndOfTransfer, MatchesOnlyTheExactBlock) {
    Block block = endOfTransferBlock();
    EXPECT_EQ(block[0], 0xFE);
    EXPECT_EQ(block[1], 0xFF);
    EXPECT_EQ(block[31], 0x21);
    EXPECT_TRUE(isEndOfTransfer(block));

    block[31] = 0x20;
    EXPECT_FALSE(isEndOfTransfer(block));
    EXPECT_FALSE(isEndOfTransfer(std::span(endOfTransferBlock()).first(31)));
    std::vector<std::uint8_t> longer(endOfTransferBlock().begin(), endOfTransferBlock().end());
    longer.push_back(0x21);
    EXPECT_FALSE(isEndOfTransfer(longer));
}

}  // namespace
}  // namespace uroflow
