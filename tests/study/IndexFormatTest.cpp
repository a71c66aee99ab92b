#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "study/IndexFormat.h"

namespace uroflow {
namespace {

struct FormatCase {
    double value;
    int decimals;
    const char* text;
};

class IndexText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(IndexText, RoundsOnceAtDecimalsOrFourSignificantDigits) {
    EXPECT_EQ(formatIndex(GetParam().value, GetParam().decimals, ","), GetParam().text)
        << GetParam().value << " with " << GetParam().decimals << " decimals";
}

INSTANTIATE_TEST_SUITE_P(
    Values, IndexText,
    ::testing::Values(
        // ties away from zero on the decimal expansion
        FormatCase{1.25, 1, "1,3"}, FormatCase{0.0625, 1, "0,1"}, FormatCase{0.05, 1, "0,1"},
        FormatCase{0.04999, 1, "0,0"}, FormatCase{2.5, 0, "3"}, FormatCase{0.5, 0, "1"},
        FormatCase{0.15, 1, "0,1"},  // 0.1499999999999999944...
        // one rounding only, at the coarser unit
        FormatCase{1.2449, 2, "1,24"}, FormatCase{123.45, 1, "123,5"},
        FormatCase{1234.56, 1, "1235,0"}, FormatCase{1234.4, 0, "1234"},
        FormatCase{12.3456, 1, "12,3"}, FormatCase{0.123456, 3, "0,123"},
        FormatCase{0.0012345, 6, "0,001234"},
        // trailing zeros kept to the decimals, zero with and without decimals
        FormatCase{10, 1, "10,0"}, FormatCase{0, 0, "0"}, FormatCase{0, 1, "0,0"},
        FormatCase{4.75, 0, "5"}, FormatCase{2, 1, "2,0"}, FormatCase{9.96, 1, "10,0"},
        FormatCase{9999.4, 1, "9999,0"},
        // signs
        FormatCase{-0.5, 1, "-0,5"}, FormatCase{-1.25, 1, "-1,3"}, FormatCase{-0.04, 1, "0,0"},
        FormatCase{-0.4, 0, "0"}, FormatCase{-0.0, 1, "0,0"},
        // scientific form beyond four integer digits
        FormatCase{12345, 0, "1,235E+004"}, FormatCase{12345, 1, "1,235E+004"},
        FormatCase{99999.9, 1, "1,000E+005"}, FormatCase{9999.5, 0, "1,000E+004"},
        FormatCase{100000, 0, "1,000E+005"}, FormatCase{-123456, 1, "-1,235E+005"},
        FormatCase{1e300, 0, "1,000E+300"},
        // the ends of the doubles: three-digit exponents of the expansion either way
        FormatCase{1.7976931348623157e308, 0, "1,798E+308"}, FormatCase{1e-300, 1, "0,0"},
        FormatCase{5e-324, 0, "0"}, FormatCase{1e-5, 6, "0,000010"},
        FormatCase{0.00049999, 3, "0,000"}, FormatCase{0.0005, 3, "0,001"},
        FormatCase{-9999.5, 1, "-1,000E+004"}, FormatCase{123456789, 2, "1,235E+008"}));

TEST(IndexText, UsesTheGivenSeparatorAndNoGroupSeparator) {
    EXPECT_EQ(formatIndex(1234.56, 1, "."), "1235.0");
    EXPECT_EQ(formatIndex(12345, 0, "."), "1.235E+004");
}

TEST(IndexText, NonFiniteValuesGiveWordsInsteadOfCrashing) {
    EXPECT_EQ(formatIndex(std::numeric_limits<double>::quiet_NaN(), 1, ","), "NAN");
    EXPECT_EQ(formatIndex(std::numeric_limits<double>::infinity(), 1, ","), "INF");
    EXPECT_EQ(formatIndex(-std::numeric_limits<double>::infinity(), 0, ","), "-INF");
}

}  // namespace
}  // namespace uroflow
