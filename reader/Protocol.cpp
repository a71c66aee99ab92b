// Output reports of the reader commands and the end-of-transfer block.

#include "reader/Protocol.h"

#include <algorithm>

namespace uroflow {

namespace {

constexpr std::size_t kSexByte = 2;           // P0
constexpr std::size_t kNameByte = 3;          // P1..P20
constexpr std::size_t kAgeByte = 23;          // P21, P22
constexpr std::size_t kDateByte = 25;         // P23..P28
constexpr std::size_t kClockLength = 5;       // "HH:mm" in P0..P4
constexpr std::uint8_t kPassportFill = 0x3A;  // ":" in the payload bytes no field takes

constexpr Block makeEndOfTransfer() {
    Block block{};
    block.fill(0x21);
    block[0] = 0xFE;
    block[1] = 0xFF;
    return block;
}

constexpr Block kEndOfTransfer = makeEndOfTransfer();

std::uint8_t lowByte(char16_t c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

OutputReport commandReport(std::uint8_t code) {
    OutputReport report{};
    report[1] = code;
    return report;
}

}  // namespace

bool isReader(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == kReaderVendorId && productId == kReaderProductId;
}

const Block& endOfTransferBlock() {
    return kEndOfTransfer;
}

bool isEndOfTransfer(std::span<const std::uint8_t> block) {
    return std::ranges::equal(block, kEndOfTransfer);
}

OutputReport bareCommand(int code) {
    return commandReport(static_cast<std::uint8_t>(code & 0xFF));
}

OutputReport clockCommand(std::uint8_t code, std::u16string_view hhmm) {
    OutputReport report = commandReport(code);
    const std::size_t n = std::min(hhmm.size(), kClockLength);
    for (std::size_t i = 0; i < n; ++i) report[kSexByte + i] = lowByte(hhmm[i]);
    return report;
}

PassportStage stagePassport(std::u16string_view age, std::u16string_view date) {
    PassportStage stage;
    for (std::size_t i = 0; i < stage.age.size() && i < age.size(); ++i) stage.age[i] = age[i];
    constexpr std::size_t kDatePositions[] = {0, 1, 3, 4, 6, 7};
    for (std::size_t i = 0; i < stage.date.size(); ++i) {
        if (kDatePositions[i] < date.size()) stage.date[i] = date[kDatePositions[i]];
    }
    return stage;
}

bool isStudyDate(std::u16string_view date) {
    if (date.size() != 8) return false;
    for (std::size_t i = 0; i < date.size(); ++i) {
        const bool point = i == 2 || i == 5;
        if (point ? date[i] != u'.' : !isDigit(date[i])) return false;
    }
    return true;
}

OutputReport passportCommand(std::optional<Sex> sex, const std::string& nameUtf8,
                             const PassportStage& stage) {
    OutputReport report = commandReport(kCommandPassport);
    std::fill(report.begin() + kSexByte, report.end(), kPassportFill);
    if (sex) report[kSexByte] = *sex == Sex::Male ? 1 : 0;

    // The field holds 20 bytes: a longer name is cut, never written past it.
    const std::string name = utf8ToCp1251(nameUtf8);
    std::fill_n(report.begin() + kNameByte, kNameLength, std::uint8_t{0});
    std::copy_n(name.begin(), std::min(name.size(), kNameLength), report.begin() + kNameByte);

    for (std::size_t i = 0; i < stage.age.size(); ++i) report[kAgeByte + i] = lowByte(stage.age[i]);
    for (std::size_t i = 0; i < stage.date.size(); ++i)
        report[kDateByte + i] = lowByte(stage.date[i]);
    return report;
}

}  // namespace uroflow
