#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "nomogram/NomogramChoice.h"
#include "study/RuntimeError.h"

namespace uroflow {
namespace {

struct ChoiceCase {
    std::optional<Sex> sex;
    int age;
    std::optional<NomogramKind> chart;
};

class ChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceTest, SexAndWholeYearsChooseTheChart) {
    const auto [sex, age, chart] = GetParam();
    EXPECT_EQ(chooseNomogram(sex, age), chart);
}

INSTANTIATE_TEST_SUITE_P(Ages, ChoiceTest,
                         ::testing::Values(ChoiceCase{Sex::Male, 15, NomogramKind::Boy},
                                           ChoiceCase{Sex::Male, 16, NomogramKind::Man49},
                                           ChoiceCase{Sex::Male, 49, NomogramKind::Man49},
                                           ChoiceCase{Sex::Male, 50, NomogramKind::Man51},
                                           ChoiceCase{Sex::Male, -3, NomogramKind::Boy},
                                           ChoiceCase{Sex::Female, 15, NomogramKind::Girls},
                                           ChoiceCase{Sex::Female, 16, NomogramKind::Woman},
                                           ChoiceCase{Sex::Female, 49, NomogramKind::Woman},
                                           ChoiceCase{Sex::Female, 50, NomogramKind::Woman},
                                           ChoiceCase{Sex::Female, 0, NomogramKind::Girls},
                                           ChoiceCase{std::nullopt, 30, std::nullopt}));

TEST(AgeTest, WholeYearsOfTheAgeText) {
    const std::pair<const char*, int> cases[] = {
        {"15", 15}, {"2,5", 2}, {"2.5", 2}, {"15,9", 15}, {"1,", 1},    {"0,5", 0},
        {",5", 0},  {"007", 7}, {"-3", -3}, {"+7", 7},    {"-2,5", -2},
    };
    for (const auto& [text, years] : cases) EXPECT_EQ(ageInWholeYears(text), years) << text;
}

TEST(AgeTest, ANonNumberFailsWithTheIntegerConversionText) {
    for (const std::string text :
         {"", "abc", "1,2,3", "1,5,", "-", ",", "1 ", " 1", "\xC3\xBF\xC3\xBF", "99999999999"}) {
        try {
            ageInWholeYears(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.what(), "'" + text + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace uroflow
