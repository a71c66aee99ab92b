#pragma once
// Which nomogram a patient's day goes on: by sex and age in whole years.

#include <array>
#include <limits>
#include <optional>
#include <string>

#include "nomogram/NomogramCurves.h"
#include "study/Passport.h"

namespace uroflow {

// Whole years of the age field's text: an optional sign, digits, and at most one
// decimal part after "," or "." ("2,5" is 2 years, "1," is 1). Anything else, or a
// value beyond the integer range, throws RuntimeError "'<text>' is not a valid
// integer value".
int ageInWholeYears(const std::string& text);

// The five nomograms, each named once: the window's chart that shows it, whom its title
// names, and the patients it is chosen for (sex and whole years, both ends included).
struct NomogramEntry {
    NomogramKind kind;
    const char* chart;  // "ChartNomMan49"
    const char* whom;   // UTF-8, the end of the chart's title
    Sex sex;
    int fromAge;
    int toAge;
};
inline constexpr int kChildUpTo = 15;
inline constexpr int kOlderManFrom = 50;
inline constexpr std::array<NomogramEntry, 5> kNomograms = {{
    {NomogramKind::Woman, "ChartNomWoman", "женщин", Sex::Female, kChildUpTo + 1,
     std::numeric_limits<int>::max()},
    {NomogramKind::Man51, "ChartNomMan51", "мужчин сташе 50 лет", Sex::Male, kOlderManFrom,
     std::numeric_limits<int>::max()},
    {NomogramKind::Man49, "ChartNomMan49", "мужчин до 50 лет", Sex::Male, kChildUpTo + 1,
     kOlderManFrom - 1},
    {NomogramKind::Girls, "ChartNomGirls", "девочек", Sex::Female, std::numeric_limits<int>::min(),
     kChildUpTo},
    {NomogramKind::Boy, "ChartNomBoy", "мальчиков", Sex::Male, std::numeric_limits<int>::min(),
     kChildUpTo},
}};

const NomogramEntry& nomogramEntry(NomogramKind kind);

// Boys and girls up to 15; men from 16 to 49 and from 50 on; women from 16 on.
// No nomogram without a sex.
std::optional<NomogramKind> chooseNomogram(std::optional<Sex> sex, int ageYears);

// The window's name of the view that shows the nomogram ("ChartNomMan49").
const char* nomogramChartName(NomogramKind kind);

}  // namespace uroflow
