#pragma once
// The input discipline of the age field: a non-negative number of years, whole or
// with one decimal part, kept canonical as the user types ("07" becomes "7",
// ",5" becomes "0,5" under a comma locale).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace uroflow {

// A key typed into the field: the character the field inserts, or none when it is
// refused. ",", ".", "/" and the keys in their place on a Russian layout (Б, Ю,
// б, ю) give the locale's separator; digits pass; everything else is refused, and
// so is a second separator.
std::optional<char16_t> ageKeyPress(char16_t typed, std::u16string_view text, char16_t separator);

struct AgeField {
    std::u16string text;
    std::size_t caret = 0;  // characters before the caret
};

struct AgeKeyUp {
    AgeField field;
    // A text that is no number (pasted): the run-time text, e.g.
    // "'abc' is not a valid floating point value". The field is left as it was
    // reached when the conversion failed.
    std::optional<std::string> error;
};

// A key released in the field: a leading separator gets a "0" in front, the text
// is rewritten as the shortest text of its number unless it ends in "0" or in the
// separator (so "10", "1,0" and "00" stay as typed), Backspace deletes the
// character left of the caret, and the caret ends after the last character.
AgeKeyUp ageKeyUp(const AgeField& field, bool backspace, char16_t separator);

}  // namespace uroflow
