#include "nomogram/PageFit.h"

#include <cmath>

namespace uroflow {

PrintRect fitToPage(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || pageWidth <= 0 || pageHeight <= 0) return {};
    // Products of two ints are exact in a double.
    const double widthAtFullHeight =
        std::nearbyint(static_cast<double>(pictureWidth) * pageHeight / pictureHeight);
    if (widthAtFullHeight < pageWidth) return {static_cast<int>(widthAtFullHeight), pageHeight};
    const double heightAtFullWidth =
        std::nearbyint(static_cast<double>(pictureHeight) * pageWidth / pictureWidth);
    return {pageWidth, static_cast<int>(heightAtFullWidth)};
}

}  // namespace uroflow
