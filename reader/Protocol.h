#pragma once
// The reader's report protocol: its identity, the command codes, the output reports
// of every command and the block that closes a transfer.
//
// An output report is 33 bytes: byte 0 the report ID (0), byte 1 the command code,
// bytes 2..32 the 31 payload bytes P0..P30. The passport command of a man called
// "Пациент П.", 45 years old, studied on 05.03.24, is
//   00 43 | 01 | CF E0 F6 E8 E5 ED F2 20 CF 2E 00 00 00 00 00 00 00 00 00 00 | 34 35 |
//   30 35 30 33 32 34 | 3A 3A
// The uroflowmeter answers every command with 32-byte blocks and closes with
//   FE FF 21 21 ... 21 (30 times "!").

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "study/Passport.h"

namespace uroflow {

inline constexpr std::uint16_t kReaderVendorId = 0x1915;
inline constexpr std::uint16_t kReaderProductId = 0x007B;

inline constexpr std::size_t kReportLength = 33;
inline constexpr std::size_t kBlockLength = 32;
inline constexpr std::size_t kPayloadLength = 31;

// Byte 1 of the output report; 0 also means "no command pending".
inline constexpr std::uint8_t kCommandNone = 0;
inline constexpr std::uint8_t kCommandRead = 65;
inline constexpr std::uint8_t kCommandErase = 66;
inline constexpr std::uint8_t kCommandPassport = 67;
inline constexpr std::uint8_t kCommandCalibrate = 71;

using OutputReport = std::array<std::uint8_t, kReportLength>;
using Block = std::array<std::uint8_t, kBlockLength>;

bool isReader(std::uint16_t vendorId, std::uint16_t productId);

const Block& endOfTransferBlock();
// Byte for byte; a block of another length never matches.
bool isEndOfTransfer(std::span<const std::uint8_t> block);

// A command without payload; the low byte of `code` is sent.
OutputReport bareCommand(int code);

// Erase and calibration: P0..P4 are the low bytes of the five characters of the
// time "HH:mm", the rest 0.
OutputReport clockCommand(std::uint8_t code, std::u16string_view hhmm);

// The characters the passport command takes from the age and date edits.
struct PassportStage {
    std::array<char16_t, 2> age{};   // the first two characters of the age, missing ones 0
    std::array<char16_t, 6> date{};  // characters 1, 2, 4, 5, 7 and 8 of the date
};
PassportStage stagePassport(std::u16string_view age, std::u16string_view date);

// The date edit holds "dd.mm.yy": six digits and two points.
bool isStudyDate(std::u16string_view date);

// The passport command: sex (1 male, 0 female; 0x3A when neither), the name in
// Windows-1251 cut to 20 bytes, the low bytes of the staged characters, 0x3A 0x3A.
OutputReport passportCommand(std::optional<Sex> sex, const std::string& nameUtf8,
                             const PassportStage& stage);

}  // namespace uroflow
