#include "app/PatientTrend.h"

namespace uroflow {

std::vector<TrendPoint> patientTrend(const Patient& patient,
                                     const std::vector<DayOverview>& overviews) {
    std::vector<TrendPoint> trend;
    for (std::size_t i = 0; i < patient.days.size() && i < overviews.size(); ++i) {
        const std::optional<QDate> when = passportDate(patient.days[i].date);
        if (!when) continue;
        for (const TrendVoiding& voiding : overviews[i].trend)
            trend.push_back({*when, voiding.qmax, voiding.volume});
    }
    return trend;
}

}  // namespace uroflow
