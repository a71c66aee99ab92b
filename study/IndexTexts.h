#pragma once
// The texts of the eight index fields for one decoded study.

#include <array>
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

// The eight index fields in the window's order: caption, control, text.
struct IndexField {
    const char* caption;  // "T1"
    const char* control;  // "Twait"
    std::string IndexTexts::*text;
};
inline constexpr std::array<IndexField, 8> kIndexFields = {{
    {"T1", "Twait", &IndexTexts::twait},
    {"T2", "TQmax", &IndexTexts::tqmax},
    {"T3", "FlowTime", &IndexTexts::flowTime},
    {"T4", "Ttotal", &IndexTexts::ttotal},
    {"Q1", "Qave", &IndexTexts::qave},
    {"Q2", "Qmax", &IndexTexts::qmax},
    {"V1", "VQmax", &IndexTexts::vqmax},
    {"V2", "Vml", &IndexTexts::vml},
}};

IndexTexts formatIndices(const StudyIndices& indices, const std::string& separator);

}  // namespace uroflow
