#pragma once
// Which nomogram a patient's day goes on: by sex and age in whole years.

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

// Boys and girls up to 15; men from 16 to 49 and from 50 on; women from 16 on.
// No nomogram without a sex.
std::optional<NomogramKind> chooseNomogram(std::optional<Sex> sex, int ageYears);

// The window's name of the view that shows the nomogram ("ChartNomMan49").
const char* nomogramChartName(NomogramKind kind);

}  // namespace uroflow
