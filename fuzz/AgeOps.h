#pragma once
// How an age-field fuzz input is read: byte 0 chooses the locale's separator (even ",",
// odd "."), then each operation is one byte and its arguments (see AgeTarget.cpp).

#include <cstdint>
#include <string_view>

namespace uroflow::fuzz {

enum class AgeOp : std::uint8_t {
    Press,    // key: a character typed into the field (index into kAgeKeys, else a word)
    Release,  // backspace: a key released (odd: Backspace)
    Caret,    // which: Left, Right, Home or End pressed (the caret moves, nothing else)
    Delete,   // the Delete key pressed: the edit removes the character after the caret
    Click,    // position: the caret placed with the mouse
    Count
};

// The characters worth typing: digits, the separator keys, their Russian-layout
// neighbours and their single-byte look-alikes, and a few that must be refused.
inline constexpr std::u16string_view kAgeKeys =
    u"0123456789,./\u0411\u042E\u0431\u044E\u00C1\u00DE\u00E1\u00FEa-+ eE\b\r\u044F";

}  // namespace uroflow::fuzz
