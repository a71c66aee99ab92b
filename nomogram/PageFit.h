#pragma once
// The window's picture fitted to the printable page.

namespace uroflow {

struct PrintRect {
    int width = 0;
    int height = 0;
};

// The w x h picture on a PW x PH printable page, drawn from the top-left corner: it
// keeps its proportions and fills the page in the limiting direction. The width at
// full page height is tried first; when it does not fit, the picture takes the full
// width and its height follows. Sizes are rounded to the nearest integer (halves to
// even). An empty picture or page gives an empty rectangle.
PrintRect fitToPage(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight);

}  // namespace uroflow
