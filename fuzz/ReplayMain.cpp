// Runs a fuzz target once on every file of its seed corpus and of its kept reproducers,
// so the suite checks them with the ordinary compiler and no fuzzing engine:
//   fuzz_replay_<target> CORPUS [REGRESSIONS]
// The corpus folder must hold at least one input; the regressions folder may be absent.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    // Same order on every run, so a failure is reproduced by the same sequence.
    std::sort(files.begin(), files.end());
    return files;
}

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    // A failing input aborts inside the call; its name is then the last line printed.
    std::fprintf(stderr, "%s\n", file.c_str());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s CORPUS [REGRESSIONS]\n", argv[0]);
        return 2;
    }
    const std::vector<fs::path> corpus = inputsIn(argv[1]);
    if (corpus.empty()) {
        std::fprintf(stderr, "no seed inputs in %s\n", argv[1]);
        return 1;
    }
    std::vector<fs::path> inputs = corpus;
    if (argc == 3) {
        const std::vector<fs::path> regressions = inputsIn(argv[2]);
        inputs.insert(inputs.end(), regressions.begin(), regressions.end());
    }
    for (const fs::path& file : inputs) {
        if (!replay(file)) return 1;
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
