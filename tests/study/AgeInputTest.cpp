// The age field's keys, row by row, under a comma and a point locale.

#include <gtest/gtest.h>

#include <string>

#include "study/AgeInput.h"

namespace uroflow {
namespace {

constexpr char16_t kBackspace = u'\b';

// Types `key` at the end of `before` as the field would (press, insert, release).
std::u16string typeAtEnd(std::u16string before, char16_t key, char16_t separator) {
    if (key != kBackspace) {
        if (const auto c = ageKeyPress(key, before, separator)) before.push_back(*c);
    }
    const AgeKeyUp up = ageKeyUp({before, before.size()}, key == kBackspace, separator);
    EXPECT_FALSE(up.error);
    EXPECT_EQ(up.field.caret, up.field.text.size());
    return up.field.text;
}

struct Row {
    const char16_t* before;  // "," stands for the locale's separator
    char16_t key;
    const char16_t* after;
};

// Puts the locale's separator in place of ",".
std::u16string local(std::u16string text, char16_t separator) {
    for (char16_t& c : text)
        if (c == u',') c = separator;
    return text;
}

class AgeRows : public ::testing::TestWithParam<char16_t> {};

TEST_P(AgeRows, EveryRowOfTheTable) {
    const char16_t sep = GetParam();
    const Row rows[] = {
        {u"", u'.', u"0,"},
        {u"", u',', u"0,"},
        {u"", u'/', u"0,"},
        {u"0", u'7', u"7"},
        {u"1", u'0', u"10"},
        {u"1,", u'0', u"1,0"},
        {u"0", u'0', u"00"},
        {u"2,5", u',', u"2,5"},
        {u"2,5", u'.', u"2,5"},
        {u"1,5", kBackspace, u"1,"},
        {u"12", u'a', u"12"},
        {u"1", u'-', u"1"},
        {u"1", u' ', u"1"},
        {u"4", u'5', u"45"},
        // The comma and full-stop keys of a Russian layout.
        {u"2", u'\u0431', u"2,"},
        {u"2", u'\u044E', u"2,"},
        {u"", u'\u0411', u"0,"},
        {u"", u'\u042E', u"0,"},
        // Other Cyrillic letters and their Latin-1 look-alikes are letters.
        {u"2", u'\u0430', u"2"},
        {u"2", u'\u00E1', u"2"},
    };
    for (const Row& row : rows) {
        const std::u16string before = local(row.before, sep);
        SCOPED_TRACE(std::string(before.begin(), before.end()) + " + " +
                     std::to_string(static_cast<int>(row.key)));
        EXPECT_EQ(typeAtEnd(before, row.key, sep), local(row.after, sep));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, AgeRows, ::testing::Values(u',', u'.'));

TEST(AgeKeyUp, BackspaceAtTheStartDeletesNothing) {
    const AgeKeyUp up = ageKeyUp({u"15", 0}, true, u',');
    EXPECT_EQ(up.field.text, u"15");
    EXPECT_EQ(up.field.caret, 2u);
}

TEST(AgeKeyUp, BackspaceRightAfterARewriteDeletesNothing) {
    // "05" is rewritten to "5", which puts the caret at the start first.
    EXPECT_EQ(ageKeyUp({u"05", 2}, true, u',').field.text, u"5");
}

TEST(AgeKeyUp, BackspaceInsideTheTextDeletesLeftOfTheCaret) {
    EXPECT_EQ(ageKeyUp({u"10", 1}, true, u',').field.text, u"0");
}

TEST(AgeKeyUp, SeparatorTypedInFrontOfDigitsGivesFourCharacters) {
    const std::u16string typed = u",25";  // the edit inserted the separator at the caret
    EXPECT_EQ(ageKeyUp({typed, 1}, false, u',').field.text, u"0,25");
}

TEST(AgeKeyUp, APastedTextThatIsNoNumberIsAnErrorAndStaysAsPasted) {
    const AgeKeyUp up = ageKeyUp({u"abc", 1}, true, u',');
    EXPECT_EQ(up.error, "'abc' is not a valid floating point value");
    EXPECT_EQ(up.field.text, u"abc");
    EXPECT_EQ(up.field.caret, 1u);  // neither Backspace nor the caret move ran

    EXPECT_EQ(ageKeyUp({u"1.5", 3}, false, u',').error,
              "'1.5' is not a valid floating point value");
    EXPECT_EQ(ageKeyUp({u"Ивan", 0}, false, u',').error,
              "'Ивan' is not a valid floating point value");
}

TEST(AgeKeyUp, PastedNumbersAreRewrittenShortest) {
    EXPECT_EQ(ageKeyUp({u" 007,5 ", 0}, false, u',').field.text, u"7,5");
    EXPECT_EQ(ageKeyUp({u"1e3", 0}, false, u'.').field.text, u"1000");
    EXPECT_EQ(ageKeyUp({u"123456789012345678", 0}, false, u',').field.text, u"1,23456789012346E17");
    // A value of 0 stays as typed.
    EXPECT_EQ(ageKeyUp({u"0,0e1", 0}, false, u',').field.text, u"0,0e1");
}

}  // namespace
}  // namespace uroflow
