#pragma once
// The archive window's trend of a patient: every voiding of each dated day as a point.

#include <vector>

#include "archive/DayOverview.h"
#include "archive/Patients.h"
#include "charts/TrendChart.h"

namespace uroflow {

// `overviews` in the order of `patient.days`; days without a readable date are left out.
std::vector<TrendPoint> patientTrend(const Patient& patient,
                                     const std::vector<DayOverview>& overviews);

}  // namespace uroflow
