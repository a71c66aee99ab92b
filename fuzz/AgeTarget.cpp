// Fuzz target: key sequences in the age field through the age input logic, with the
// field's own editing (insert at the caret up to 3 typed characters, Delete, caret keys,
// mouse clicks) around it. After every key release the text is checked to be canonical.

#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/AgeOps.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/Invariant.h"
#include "study/AgeInput.h"

namespace uroflow::fuzz {
namespace {

constexpr std::size_t kMaxTypedLength = 3;  // the field's maximum length, for typed characters
// A separator typed in front of two digits gets a "0" put before it, past the maximum.
constexpr std::size_t kMaxLength = kMaxTypedLength + 1;

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Digits with at most one separator. Once rewritten by a release: the separator never
// first, and a leading zero only as "0" before the separator, except in a text that ends
// in "0" or in the separator, which the field leaves as typed ("00", "10", "1,0", "00,").
void checkCanonical(const std::u16string& text, char16_t separator, bool rewritten) {
    FUZZ_REQUIRE(text.size() <= kMaxLength);
    FUZZ_REQUIRE(std::all_of(text.begin(), text.end(),
                             [separator](char16_t c) { return isDigit(c) || c == separator; }));
    FUZZ_REQUIRE(std::count(text.begin(), text.end(), separator) <= 1);
    if (text.empty() || !rewritten) return;
    FUZZ_REQUIRE(text.front() != separator);
    const bool asTyped = text.back() == u'0' || text.back() == separator;
    if (!asTyped && text.size() > 1 && text[0] == u'0') FUZZ_REQUIRE(text[1] == separator);
}

void run(FuzzInput& in) {
    const char16_t separator = in.byte() % 2 == 0 ? u',' : u'.';
    AgeField field;
    while (!in.empty()) {
        switch (static_cast<AgeOp>(in.byte() % static_cast<int>(AgeOp::Count))) {
            case AgeOp::Press: {
                const std::size_t index = in.byte();
                const char16_t typed = index < kAgeKeys.size() ? kAgeKeys[index] : in.word();
                const auto inserted = ageKeyPress(typed, field.text, separator);
                if (!inserted) break;
                FUZZ_REQUIRE(isDigit(*inserted) || *inserted == separator);
                FUZZ_REQUIRE(*inserted != separator ||
                             field.text.find(separator) == std::u16string::npos);
                if (field.text.size() < kMaxTypedLength) {
                    field.text.insert(field.caret, 1, *inserted);
                    ++field.caret;
                }
                break;
            }
            case AgeOp::Release: {
                const bool backspace = in.byte() % 2 == 1;
                const AgeKeyUp up = ageKeyUp(field, backspace, separator);
                // Only pasting brings a text that is no number.
                FUZZ_REQUIRE(!up.error);
                field = up.field;
                FUZZ_REQUIRE(field.caret == field.text.size());
                // Backspace deletes after the rewrite, so "010" leaves "01" and ",5" can
                // be left with the caret placed inside: the next release mends them.
                checkCanonical(field.text, separator, !backspace);
                break;
            }
            case AgeOp::Caret:
                switch (in.byte() % 4) {
                    case 0:
                        if (field.caret > 0) --field.caret;
                        break;
                    case 1:
                        field.caret = std::min(field.caret + 1, field.text.size());
                        break;
                    case 2:
                        field.caret = 0;
                        break;
                    default:
                        field.caret = field.text.size();
                }
                break;
            case AgeOp::Delete:
                if (field.caret < field.text.size()) field.text.erase(field.caret, 1);
                break;
            case AgeOp::Click:
                field.caret = in.byte() % (field.text.size() + 1);
                break;
            case AgeOp::Count:
                break;
        }
    }
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::FuzzInput in(data, size);
    uroflow::fuzz::run(in);
    return 0;
}
