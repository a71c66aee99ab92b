#pragma once
// Checks of the texts the program writes for people and other programs.

#include <string>

namespace uroflow::fuzz {

// Well-formed UTF-8: every lead byte followed by its continuation bytes.
bool validUtf8(const std::string& text);

}  // namespace uroflow::fuzz
