#include "archive/DayOverviews.h"

#include <unordered_map>

namespace uroflow {

std::vector<DayOverview> dayOverviews(Archive& archive, const std::vector<KeptDay>& days) {
    std::vector<qint64> ids;
    std::unordered_map<qint64, std::size_t> place;
    ids.reserve(days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        ids.push_back(days[i].id);
        place.emplace(days[i].id, i);
    }
    std::vector<DayOverview> overviews(days.size());
    archive.forEachImage(ids, [&](qint64 id, const Image& device) {
        overviews[place.at(id)] = dayOverview(device);
    });
    return overviews;
}

}  // namespace uroflow
