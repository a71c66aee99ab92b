#include "study/IndexFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace uroflow {
namespace {

constexpr int kSignificantDigits = 4;
// "d.ddddddddddddddddde±xxx": 18 significant digits, enough to tell the binary value apart.
constexpr int kExpansionDigits = 18;

// A decimal number: digits × 10^exponent, the digits without leading zeros (none for 0).
// Rounded at 4 significant digits or coarser, it has at most 5 (9999.5 gives 10000).
// Every text here is short enough for the string's own buffer: the window formats these
// on every drawing and allocates nothing for them.
struct Decimal {
    char digits[kSignificantDigits + 1] = {};
    int count = 0;
    int exponent = 0;
};

// |value| rounded once at 10^unit, ties away from zero, decided on its decimal
// expansion (17 digits after the first).
Decimal roundAt(int leadingExponent, const char* expansion, int unit) {
    Decimal d;
    d.exponent = unit;
    const int keep = leadingExponent - unit + 1;  // digits from 10^leading down to 10^unit
    if (keep < 0) return d;
    // unit >= leading - 3, so at most 4 digits are kept.
    std::copy_n(expansion, keep, d.digits);
    d.count = keep;
    if (keep < kExpansionDigits && expansion[keep] >= '5') {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i < 0) {
            std::copy_backward(d.digits, d.digits + d.count, d.digits + d.count + 1);
            d.digits[0] = '1';
            ++d.count;
        } else {
            ++d.digits[i];
        }
    }
    const char* first = std::find_if(d.digits, d.digits + d.count, [](char c) { return c != '0'; });
    const int zeros = static_cast<int>(first - d.digits);
    std::copy(d.digits + zeros, d.digits + d.count, d.digits);
    d.count -= zeros;
    return d;
}

std::string fixedText(const std::string& sign, const Decimal& d, int decimals,
                      const std::string& separator) {
    // Digits of the whole value down to 10^-decimals (exponent >= -decimals always),
    // with zeros before them up to one integer digit.
    const int length = d.count + d.exponent + decimals;
    const int all = std::max(length, decimals + 1);
    std::string text = sign;
    text.reserve(sign.size() + static_cast<std::size_t>(all) + separator.size());
    for (int i = 0; i < all; ++i) {
        if (i == all - decimals) text += separator;
        const int digit = i - (all - length);  // index into the digits
        text += digit >= 0 && digit < d.count ? d.digits[digit] : '0';
    }
    return text;
}

std::string scientificText(const std::string& sign, const Decimal& d,
                           const std::string& separator) {
    char mantissa[kSignificantDigits];
    for (int i = 0; i < kSignificantDigits; ++i) mantissa[i] = i < d.count ? d.digits[i] : '0';
    const int exponent = d.exponent + d.count - 1;
    std::string text = sign;
    text += mantissa[0];
    text += separator;
    text.append(mantissa + 1, kSignificantDigits - 1);
    text += exponent < 0 ? "E-" : "E+";
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, std::abs(exponent)).ptr;
    text.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, 3 - (end - digits))), '0');
    text.append(digits, end);
    return text;
}

}  // namespace

std::string formatIndex(double value, int decimals, const std::string& separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    decimals = std::max(decimals, 0);

    Decimal rounded;
    rounded.exponent = -decimals;
    if (value != 0) {
        // The expansion as printf's "%.17e" gives it: "d.ddddddddddddddddde±xx".
        char text[32];
        char* end = std::to_chars(text, text + sizeof text, std::fabs(value),
                                  std::chars_format::scientific, kExpansionDigits - 1)
                        .ptr;
        char* e = std::find(text, end, 'e');
        char expansion[kExpansionDigits];
        expansion[0] = text[0];
        std::copy(text + 2, e, expansion + 1);
        int leading = 0;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), end, leading);
        const int unit = std::max(-decimals, leading - (kSignificantDigits - 1));
        rounded = roundAt(leading, expansion, unit);
    }
    if (rounded.count == 0) return fixedText("", Decimal{{}, 0, -decimals}, decimals, separator);

    const std::string sign = value < 0 ? "-" : "";
    if (rounded.count + rounded.exponent > kSignificantDigits)
        return scientificText(sign, rounded, separator);
    return fixedText(sign, rounded, decimals, separator);
}

}  // namespace uroflow
