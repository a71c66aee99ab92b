#pragma once
// Passport fields of the image header, as the window shows them.

#include <optional>
#include <string>

#include "study/Image.h"

namespace uroflow {

enum class Sex { Female, Male };

struct Passport {
    std::optional<Sex> sex;  // empty: the byte is neither 0 nor 1
    std::string name;        // UTF-8; zero bytes dropped, later characters kept
    std::string age;         // UTF-8; bytes taken as character codes 0..255
    std::string date;        // UTF-8; "dd.mm.yy" when the bytes are digits
};

Passport decodePassport(const Image& image);

// Windows-1251 bytes to UTF-8, zero bytes dropped.
std::string cp1251ToUtf8(const std::string& bytes);

// UTF-8 to Windows-1251, one byte per character; a character the code page lacks
// (or a byte that is no UTF-8) becomes "?".
std::string utf8ToCp1251(const std::string& text);

}  // namespace uroflow
