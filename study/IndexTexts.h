#pragma once
// The texts of the eight index fields for one decoded study.

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

IndexTexts formatIndices(const StudyIndices& indices, const std::string& separator);

}  // namespace uroflow
