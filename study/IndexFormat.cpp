#include "study/IndexFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace uroflow {
namespace {

constexpr int kSignificantDigits = 4;

// A decimal number: digits × 10^exponent, digits without leading zeros ("" for 0).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// |value| rounded once at 10^unit, ties away from zero, decided on its decimal
// expansion (17 digits after the first, enough to tell the binary value apart).
Decimal roundAt(int leadingExponent, const std::string& expansion, int unit) {
    const int keep = leadingExponent - unit + 1;  // digits from 10^leading down to 10^unit
    if (keep < 0) return {"", unit};
    std::string digits = expansion.substr(0, static_cast<std::size_t>(keep));
    const bool up = static_cast<std::size_t>(keep) < expansion.size() &&
                    expansion[static_cast<std::size_t>(keep)] >= '5';
    if (up) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return {"", unit};
    return {digits.substr(first), unit};
}

std::string fixedText(const Decimal& d, int decimals, const std::string& separator) {
    // Digits of the whole value down to 10^-decimals (unit >= -decimals always).
    std::string all = d.digits + std::string(static_cast<std::size_t>(d.exponent + decimals), '0');
    if (all.size() <= static_cast<std::size_t>(decimals)) {
        all.insert(0, static_cast<std::size_t>(decimals) + 1 - all.size(), '0');
    }
    const std::size_t integerDigits = all.size() - static_cast<std::size_t>(decimals);
    std::string text = all.substr(0, integerDigits);
    if (decimals > 0) text += separator + all.substr(integerDigits);
    return text;
}

std::string scientificText(const Decimal& d, const std::string& separator) {
    std::string mantissa = d.digits.substr(0, kSignificantDigits);
    mantissa.append(kSignificantDigits - mantissa.size(), '0');
    const int exponent = d.exponent + static_cast<int>(d.digits.size()) - 1;
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "E%c%03d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return mantissa.substr(0, 1) + separator + mantissa.substr(1) + exponentText;
}

}  // namespace

std::string formatIndex(double value, int decimals, const std::string& separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    decimals = std::max(decimals, 0);

    Decimal rounded{"", -decimals};
    if (value != 0) {
        // "d.ddddddddddddddddde±xx": 18 significant digits and the exponent.
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
        const std::string text = buffer;
        const auto e = text.find('e');
        const std::string expansion = text.substr(0, 1) + text.substr(2, e - 2);
        const int leading = std::atoi(text.c_str() + e + 1);
        const int unit = std::max(-decimals, leading - (kSignificantDigits - 1));
        rounded = roundAt(leading, expansion, unit);
    }
    if (rounded.digits.empty()) return fixedText({"", -decimals}, decimals, separator);

    const std::string sign = value < 0 ? "-" : "";
    const int integerDigits = static_cast<int>(rounded.digits.size()) + rounded.exponent;
    if (integerDigits > kSignificantDigits) return sign + scientificText(rounded, separator);
    return sign + fixedText(rounded, decimals, separator);
}

}  // namespace uroflow
