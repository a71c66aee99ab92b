// Seeds of the path targets: the image seeds cut to the inputs those targets take (the
// header and the first studies), the demo voidings as single records for the decoder,
// and study files of each kind.

#include <algorithm>
#include <cstddef>

#include "fuzz/ImageInput.h"
#include "fuzz/Seeds.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::fuzz {
namespace {

// Inputs of the path targets stay small (scripts/fuzz gives them this -max_len).
constexpr std::size_t kPathInputLength = 4096;

std::vector<std::uint8_t> cut(std::vector<std::uint8_t> bytes) {
    bytes.resize(std::min(bytes.size(), kPathInputLength));
    return bytes;
}

std::vector<Seed> cutImageSeeds() {
    std::vector<Seed> seeds = imageSeeds();
    for (Seed& seed : seeds) seed.bytes = cut(std::move(seed.bytes));
    return seeds;
}

// Bytes 0 to 3 name the night: 23:00 to 07:00, or a window through noon.
void night(Seed& seed, std::uint16_t from, std::uint16_t to) {
    seed.bytes.resize(std::max<std::size_t>(seed.bytes.size(), 4), 0xFF);
    seed.bytes[0] = static_cast<std::uint8_t>(from >> 8);
    seed.bytes[1] = static_cast<std::uint8_t>(from & 0xFF);
    seed.bytes[2] = static_cast<std::uint8_t>(to >> 8);
    seed.bytes[3] = static_cast<std::uint8_t>(to & 0xFF);
}

}  // namespace

std::vector<Seed> scanSeeds() {
    return cutImageSeeds();
}

std::vector<Seed> nomogramSeeds() {
    return cutImageSeeds();
}

std::vector<Seed> exportSeeds() {
    return cutImageSeeds();
}

std::vector<Seed> reportSeeds() {
    return cutImageSeeds();
}

std::vector<Seed> archiveSeeds() {
    return cutImageSeeds();
}

std::vector<Seed> summarySeeds() {
    std::vector<Seed> seeds = cutImageSeeds();
    for (Seed& seed : seeds) night(seed, 23 * 60, 7 * 60);
    Seed noon = seeds.front();
    noon.name += "-night-at-noon";
    night(noon, 11 * 60, 14 * 60);
    seeds.push_back(noon);
    return seeds;
}

std::vector<Seed> decodeSeeds() {
    std::vector<Seed> seeds;
    const std::vector<DemoVoiding> plan = demoDayPlan();
    for (std::size_t i = 0; i < plan.size(); ++i) {
        // The record alone: the day of this one voiding from offset 99 on.
        const std::vector<std::uint8_t> day = inputFromImage(buildDemoDay({plan[i]}));
        std::vector<std::uint8_t> bytes = {0};
        bytes.insert(bytes.end(), day.begin() + kStudyAreaStart, day.end());
        seeds.push_back({"voiding-" + std::to_string(i + 1), cut(std::move(bytes))});
    }
    // The first voiding at an odd offset and with each other calibration.
    for (const std::uint8_t choice : {1, 2, 4, 6}) {
        Seed seed = seeds.front();
        seed.name += "-choice-" + std::to_string(choice);
        seed.bytes[0] = choice;
        seeds.push_back(seed);
    }
    return seeds;
}

std::vector<Seed> studyFileSeeds() {
    const std::vector<std::uint8_t> day = cut(inputFromImage(buildDemoDay()));
    std::vector<Seed> seeds;
    for (const std::uint8_t kind : {0, 1, 3}) {
        std::vector<std::uint8_t> bytes = {kind};
        bytes.insert(bytes.end(), day.begin(), day.end());
        seeds.push_back({kind == 0   ? "short-file"
                         : kind == 1 ? "full-file"
                                     : "longer-file",
                         std::move(bytes)});
    }
    return seeds;
}

}  // namespace uroflow::fuzz
