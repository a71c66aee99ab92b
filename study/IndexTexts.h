#pragma once
// The texts of the eight index fields for one decoded study.

#include <array>
#include <optional>
#include <string>

#include "study/Decoder.h"

namespace uroflow {

struct IndexTexts {
    std::string twait;     // T1
    std::string tqmax;     // T2
    std::string flowTime;  // T3
    std::string ttotal;    // T4
    std::string qave;      // Q1, empty without a 95 % point
    std::string qmax;      // Q2
    std::string vqmax;     // V1
    std::string vml;       // V2: dynamic "/" static, or the dynamic volume alone
};

// The eight index fields in the window's order: caption, control, text and value (V2's
// value is the dynamic volume; the static one is StudyIndices::volumeStatic).
struct IndexField {
    const char* caption;  // "T1"
    const char* control;  // "Twait"
    std::string IndexTexts::*text;
    std::optional<double> (*value)(const StudyIndices&);
};
inline constexpr std::array<IndexField, 8> kIndexFields = {{
    {"T1", "Twait", &IndexTexts::twait,
     [](const StudyIndices& i) -> std::optional<double> { return i.twait; }},
    {"T2", "TQmax", &IndexTexts::tqmax,
     [](const StudyIndices& i) -> std::optional<double> { return i.tqmax; }},
    {"T3", "FlowTime", &IndexTexts::flowTime,
     [](const StudyIndices& i) -> std::optional<double> { return i.flowTime; }},
    {"T4", "Ttotal", &IndexTexts::ttotal,
     [](const StudyIndices& i) -> std::optional<double> { return i.ttotal; }},
    {"Q1", "Qave", &IndexTexts::qave,
     [](const StudyIndices& i) -> std::optional<double> { return i.qave; }},
    {"Q2", "Qmax", &IndexTexts::qmax,
     [](const StudyIndices& i) -> std::optional<double> { return i.qmax; }},
    {"V1", "VQmax", &IndexTexts::vqmax,
     [](const StudyIndices& i) -> std::optional<double> { return i.vqmax; }},
    {"V2", "Vml", &IndexTexts::vml,
     [](const StudyIndices& i) -> std::optional<double> { return i.volume; }},
}};

IndexTexts formatIndices(const StudyIndices& indices, const std::string& separator);

}  // namespace uroflow
