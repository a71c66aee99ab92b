// uroflow-fuzz-seeds: writes the seed corpora of the fuzz targets, or checks the
// checked-in ones against what the generator makes now.
//   uroflow-fuzz-seeds DIR          writes DIR/<target>/<seed>
//   uroflow-fuzz-seeds --check DIR  fails on a file the generator does not make as it is,
//                                   or on a target left without seeds
// The checked-in corpora are the generator's seeds minimised with libFuzzer's -merge=1
// (scripts/fuzz --seeds): a seed that adds no coverage is left out, none is edited.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>

#include "fuzz/Seeds.h"

namespace {

namespace fs = std::filesystem;

// Every target's corpus folder and the seeds it holds.
std::map<std::string, std::vector<uroflow::fuzz::Seed>> allSeeds() {
    using namespace uroflow::fuzz;
    return {
        {"image", imageSeeds()},         {"reader", readerSeeds()},   {"age", ageSeeds()},
        {"scan", scanSeeds()},           {"decode", decodeSeeds()},   {"nomogram", nomogramSeeds()},
        {"export", exportSeeds()},       {"summary", summarySeeds()}, {"report", reportSeeds()},
        {"studyfile", studyFileSeeds()}, {"archive", archiveSeeds()}};
}

std::vector<std::uint8_t> contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return static_cast<bool>(out);
}

// Checks that every file of one target's folder is one of its seeds as the generator makes
// it now, and that some are there; prints every difference.
bool check(const fs::path& folder, const std::vector<uroflow::fuzz::Seed>& seeds) {
    std::map<std::string, const std::vector<std::uint8_t>*> made;
    for (const uroflow::fuzz::Seed& seed : seeds) made[seed.name] = &seed.bytes;
    bool same = true;
    int kept = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const auto seed = made.find(entry.path().filename().string());
        if (seed == made.end()) {
            std::fprintf(stderr, "not made by the generator: %s\n", entry.path().c_str());
            same = false;
        } else if (contents(entry.path()) != *seed->second) {
            std::fprintf(stderr, "differs: %s\n", entry.path().c_str());
            same = false;
        }
        ++kept;
    }
    if (kept == 0) {
        std::fprintf(stderr, "no seeds: %s\n", folder.c_str());
        same = false;
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const bool checking = argc == 3 && std::string(argv[1]) == "--check";
    if (!(argc == 2 && argv[1][0] != '-') && !checking) {
        std::fprintf(stderr, "usage: uroflow-fuzz-seeds [--check] DIR\n");
        return 2;
    }
    const fs::path root = argv[argc - 1];
    bool ok = true;
    for (const auto& [target, seeds] : allSeeds()) {
        const fs::path folder = root / target;
        if (checking) {
            ok = check(folder, seeds) && ok;
            continue;
        }
        fs::create_directories(folder);
        for (const uroflow::fuzz::Seed& seed : seeds)
            ok = write(folder / seed.name, seed.bytes) && ok;
    }
    if (checking && !ok) std::fprintf(stderr, "regenerate with: scripts/fuzz --seeds\n");
    return ok ? 0 : 1;
}
