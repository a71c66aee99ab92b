#pragma once
// Invariants of the fuzz targets: a broken one aborts with its text, which libFuzzer
// keeps as a finding and the replay tests report as a failure.

#include <cstdio>
#include <cstdlib>

namespace uroflow::fuzz {

[[noreturn]] inline void invariantBroken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}

}  // namespace uroflow::fuzz

// A macro, so the message names the condition and the line that holds it.
#define FUZZ_REQUIRE(condition) \
    ((condition) ? void(0) : ::uroflow::fuzz::invariantBroken(#condition, __FILE__, __LINE__))
