#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "study/Passport.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

using test::ImageBuilder;
using namespace std::string_literals;

struct SexCase {
    std::uint8_t byte;
    std::optional<Sex> sex;
};

class PassportSex : public ::testing::TestWithParam<SexCase> {};

TEST_P(PassportSex, OnlyZeroAndOneChooseASex) {
    ImageBuilder builder;
    builder.sex(GetParam().byte);
    EXPECT_EQ(decodePassport(builder.image()).sex, GetParam().sex);
}

INSTANTIATE_TEST_SUITE_P(Bytes, PassportSex,
                         ::testing::Values(SexCase{0, Sex::Female}, SexCase{1, Sex::Male},
                                           SexCase{2, std::nullopt}, SexCase{0xFF, std::nullopt}));

struct NameCase {
    const char* what;
    std::string bytes;
    std::string text;
};

class PassportName : public ::testing::TestWithParam<NameCase> {};

TEST_P(PassportName, ShowsTheNonZeroBytesInWindows1251) {
    ImageBuilder builder;
    builder.name(GetParam().bytes);
    EXPECT_EQ(decodePassport(builder.image()).name, GetParam().text) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PassportName,
    ::testing::Values(NameCase{"cyrillic", "\xCF\xE0\xF6\xE8\xE5\xED\xF2\x20\xCF\x2E",
                               "Пациент П."},
                      NameCase{"zero inside joins the parts", "AB\0CD"s, "ABCD"},
                      NameCase{"leading zero", "\0\xDF"s, "Я"},
                      NameCase{"all twenty bytes", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},
                      NameCase{"empty", "", ""},
                      NameCase{"byte without a letter", "\x98", "\xC2\x98"}));

TEST(Passport, OneDigitAgeShowsAlone) {
    ImageBuilder builder;
    builder.age("7\0"s).date("010224");
    const Passport passport = decodePassport(builder.image());
    EXPECT_EQ(passport.age, "7");
    EXPECT_EQ(passport.date, "01.02.24");
}

TEST(Passport, UnwrittenMemoryShowsTheCharactersOfByteFF) {
    ImageBuilder builder;
    builder.fill(kSexOffset, kDateOffset + 6, 0xFF);
    const Passport passport = decodePassport(builder.image());
    EXPECT_EQ(passport.sex, std::nullopt);
    std::string twentyYa;
    for (int i = 0; i < 20; ++i) twentyYa += "я";
    EXPECT_EQ(passport.name, twentyYa);
    EXPECT_EQ(passport.age, "ÿÿ");
    EXPECT_EQ(passport.date, "ÿÿ.ÿÿ.ÿÿ");
}

TEST(Passport, AgeAndDateBytesAreCharacterCodesNotWindows1251) {
    ImageBuilder builder;
    builder.age("\xC0\x31").date("\xE9\x00\x31\x32\x33\x34"s);
    const Passport passport = decodePassport(builder.image());
    EXPECT_EQ(passport.age, "À1");
    EXPECT_EQ(passport.date, "é.12.34");
}

}  // namespace
}  // namespace uroflow
