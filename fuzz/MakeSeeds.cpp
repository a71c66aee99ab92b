// uroflow-fuzz-seeds: writes the seed corpora of the fuzz targets, or checks the
// checked-in ones against what the generator makes now.
//   uroflow-fuzz-seeds DIR          writes DIR/<target>/<seed>
//   uroflow-fuzz-seeds --check DIR  fails on a missing, different or stale file

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <system_error>

#include "fuzz/Seeds.h"

namespace {

namespace fs = std::filesystem;

// Every target's corpus folder and the seeds it holds.
std::map<std::string, std::vector<uroflow::fuzz::Seed>> allSeeds() {
    using namespace uroflow::fuzz;
    return {{"image", imageSeeds()},   {"reader", readerSeeds()},
            {"age", ageSeeds()},       {"scan", scanSeeds()},
            {"decode", decodeSeeds()}, {"nomogram", nomogramSeeds()},
            {"export", exportSeeds()}, {"summary", summarySeeds()},
            {"report", reportSeeds()}, {"studyfile", studyFileSeeds()}};
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

// Compares one target's folder with its seeds; prints every difference.
bool check(const fs::path& folder, const std::vector<uroflow::fuzz::Seed>& seeds) {
    bool same = true;
    std::set<std::string> names;
    for (const uroflow::fuzz::Seed& seed : seeds) {
        names.insert(seed.name);
        const fs::path file = folder / seed.name;
        if (!fs::is_regular_file(file)) {
            std::fprintf(stderr, "missing: %s\n", file.c_str());
            same = false;
        } else if (contents(file) != seed.bytes) {
            std::fprintf(stderr, "differs: %s\n", file.c_str());
            same = false;
        }
    }
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (!names.contains(entry.path().filename().string())) {
            std::fprintf(stderr, "not made by the generator: %s\n", entry.path().c_str());
            same = false;
        }
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
    if (checking && !ok) std::fprintf(stderr, "regenerate with: uroflow-fuzz-seeds fuzz/corpus\n");
    return ok ? 0 : 1;
}
