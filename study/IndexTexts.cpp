#include "study/IndexTexts.h"

#include "study/IndexFormat.h"

namespace uroflow {

IndexTexts formatIndices(const StudyIndices& indices, const std::string& separator) {
    IndexTexts t;
    t.twait = formatIndex(indices.twait, 1, separator);
    t.tqmax = formatIndex(indices.tqmax, 1, separator);
    t.flowTime = formatIndex(indices.flowTime, 1, separator);
    t.ttotal = formatIndex(indices.ttotal, 1, separator);
    if (indices.qave) t.qave = formatIndex(*indices.qave, 1, separator);
    t.qmax = formatIndex(indices.qmax, 1, separator);
    t.vqmax = formatIndex(indices.vqmax, 0, separator);
    t.vml = formatIndex(indices.volume, 0, separator);
    if (indices.volumeStatic)
        t.vml.append("/").append(formatIndex(*indices.volumeStatic, 0, separator));
    return t;
}

}  // namespace uroflow
