// Where a picture goes on the printed page: at the size it has on screen,
// centred, or shrunk to the printable area with its proportions kept. All
// figures are printer pixels; no widgets, no printer.
#pragma once

namespace quillon {

// The rounding multiply-divide: a * b / c rounded half away from zero, with a
// 64-bit product. -1 when c is 0 or the result does not fit an int.
int mulDiv(int a, int b, int c);

struct PageGeometry {
    int printerDpiX = 300, printerDpiY = 300;
    int screenDpiX = 96, screenDpiY = 96;
    int pageWidth = 0, pageHeight = 0;  // the printable area
};

struct PrintRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PrintRect&) const = default;
};

// The screen resolution used when none is known.
constexpr int kFallbackScreenDpi = 96;

// The rectangle of a width x height picture on the page.
PrintRect layoutPicture(int width, int height, const PageGeometry& page);

}  // namespace quillon
