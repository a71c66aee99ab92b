#pragma once
// A synthetic but realistic day of a uroflowmeter's memory, for demonstrations,
// benchmarks and tests. Deterministic: the same plan always gives the same bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "study/Image.h"

namespace uroflow {

// K = 4 x (B - A) of the demo day's calibration readings.
inline constexpr std::int32_t kDemoCalibration = 50000;

struct DemoVoiding {
    std::uint8_t hour = 0;  // written as it is, so a sample day can hold an invalid time
    std::uint8_t minute = 0;
    double waitSeconds = 0;  // zero samples before the flow starts
    double volumeMl = 0;     // voided volume the flow curve integrates to
    double qmaxMl = 0;       // peak of the flow curve, ml/s (before sample noise)
    bool artefact = false;   // one spike sample in the rising flow, cut by the decoder
    // How the record lies in memory, for the sample days that show the decoder's edges:
    int gapBefore = 0;       // zero bytes before the start word (1 flips the offset's parity)
    bool endWord = true;     // false: samples only, no end word and no static reading
    bool strayByte = false;  // a zero byte before the end word, one byte off the sample grid
};

// Seven voidings from morning to night of a 64-year-old man, one with an artefact.
std::vector<DemoVoiding> demoDayPlan();

// The raw samples of one voiding: lead-in zeros, the noisy bell-shaped flow (with
// the spike if asked for) and eight trailing zeros, since the decoder's look-ahead
// stops 16 bytes before the end word. `noiseSeed` makes the noise repeatable.
std::vector<std::uint16_t> demoSamples(const DemoVoiding& voiding, std::uint32_t noiseSeed);

// What happens when the voidings need more than the memory holds.
enum class MemoryEnd {
    Refuse,  // std::length_error: the plan is a mistake
    Cut,     // the last record stops where the memory does, as on a full device
};

// The full image: passport, battery, calibration, the voidings as records
// (FE FE hh mm, samples, FD FD, static reading) from offset 99 on, the rest of the
// memory unwritten (0xFF); the spare tail past 64 KiB is 0, as after a file load.
Image buildDemoDay(const std::vector<DemoVoiding>& plan, MemoryEnd end = MemoryEnd::Refuse);
Image buildDemoDay();

// The golden days kept in samples/ as NAME.txt, each with the report expected of it
// beside it as NAME.json; the demo day comes first.
struct SampleDay {
    std::string name;
    std::string description;
    std::vector<DemoVoiding> plan;
    MemoryEnd end = MemoryEnd::Refuse;
};
std::vector<SampleDay> sampleDays();

}  // namespace uroflow
