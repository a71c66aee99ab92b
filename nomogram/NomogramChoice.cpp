#include "nomogram/NomogramChoice.h"

#include <charconv>
#include <cstddef>

#include "study/RuntimeError.h"

namespace uroflow {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int ageInWholeYears(const std::string& text) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const std::size_t wholeFrom = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    const std::size_t wholeTo = i;
    std::size_t fraction = 0;
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        ++i;
        const std::size_t fractionFrom = i;
        while (i < text.size() && isDigit(text[i])) ++i;
        fraction = i - fractionFrom;
    }
    if (i != text.size() || wholeTo - wholeFrom + fraction == 0) throw notAnIntegerError(text);
    if (wholeTo == wholeFrom) return 0;  // ",5": under a year

    int years = 0;
    const char* first = text.data() + wholeFrom;
    const char* last = text.data() + wholeTo;
    // Parsed with the sign so that the most negative integer still fits.
    std::string digits = negative ? "-" + std::string(first, last) : std::string(first, last);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), years);
    if (error != std::errc() || end != digits.data() + digits.size()) throw notAnIntegerError(text);
    return years;
}

const NomogramEntry& nomogramEntry(NomogramKind kind) {
    for (const NomogramEntry& entry : kNomograms)
        if (entry.kind == kind) return entry;
    return kNomograms.front();  // every kind has its entry
}

std::optional<NomogramKind> chooseNomogram(std::optional<Sex> sex, int ageYears) {
    if (!sex) return std::nullopt;
    for (const NomogramEntry& entry : kNomograms) {
        if (entry.sex == *sex && ageYears >= entry.fromAge && ageYears <= entry.toAge)
            return entry.kind;
    }
    return std::nullopt;
}

const char* nomogramChartName(NomogramKind kind) {
    return nomogramEntry(kind).chart;
}

}  // namespace uroflow
