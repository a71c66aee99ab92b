#pragma once
// The seed inputs of every fuzz target, made from the demo-day generator, so the
// checked-in corpora can be rebuilt and checked against their source.

#include <cstdint>
#include <string>
#include <vector>

namespace uroflow::fuzz {

struct Seed {
    std::string name;  // file name in the target's corpus folder
    std::vector<std::uint8_t> bytes;
};

// The seeds of each target; the target's name is its corpus folder.
std::vector<Seed> imageSeeds();
std::vector<Seed> readerSeeds();
std::vector<Seed> ageSeeds();
std::vector<Seed> scanSeeds();
std::vector<Seed> decodeSeeds();
std::vector<Seed> nomogramSeeds();
std::vector<Seed> archiveSeeds();
std::vector<Seed> exportSeeds();
std::vector<Seed> summarySeeds();
std::vector<Seed> reportSeeds();
std::vector<Seed> studyFileSeeds();

}  // namespace uroflow::fuzz
