// The tracker's geometry without state: the conversions between picture pixels and image-window client pixels, the
// hit-test zones, the handle squares of each size class and the angle of a
// reference line.
#pragma once

#include "image/mul_div.h"
#include "image/rect.h"

#include <vector>

namespace quillon {

// What the tracker needs to know of the image window at a moment.
struct TrackerView {
    int pictureWidth = 0;
    int pictureHeight = 0;
    int zoom = 100;          // percent
    int scrollX = 0;         // display pixel at the client area's left (negative: centring margin)
    int scrollY = 0;
    int clientWidth = 0;     // the image window's client area
    int clientHeight = 0;

    int toWindowX(int x) const { return mulDiv(x, zoom, 100) - scrollX; }
    int toWindowY(int y) const { return mulDiv(y, zoom, 100) - scrollY; }
    int toPictureX(int xw) const { return mulDiv(xw + scrollX, 100, zoom); }
    int toPictureY(int yw) const { return mulDiv(yw + scrollY, 100, zoom); }
    // Edge by edge; the rectangle is taken as it is (not normalised).
    Rect toWindow(const Rect& r) const;
    bool insideClient(int xw, int yw) const {
        return xw >= 0 && yw >= 0 && xw < clientWidth && yw < clientHeight;
    }
    bool insidePicture(int x, int y) const {
        return x >= 0 && y >= 0 && x < pictureWidth && y < pictureHeight;
    }
};

// Left <= right and top <= bottom.
Rect normalized(const Rect& r);

// Handle codes of the hit test.
enum HandleCode : int {
    kHandleOutside = 0,
    kHandleTopLeft = 1,
    kHandleTop = 2,
    kHandleTopRight = 3,
    kHandleLeft = 4,
    kHandleMove = 5,
    kHandleRight = 6,
    kHandleBottomLeft = 7,
    kHandleBottom = 8,
    kHandleBottomRight = 9,
};

// The code of a window point against a window rectangle.
int hitTest(const Rect& window, int xw, int yw);

// The inverted squares and bars that mark the handles of a window rectangle.
std::vector<Rect> handleSquares(const Rect& window);

// The tilt reference line from (left, top) to (right, bottom): hundredths of
// a degree, measured from the horizontal for flat lines and as 9000 minus the
// angle from the vertical for steep ones.
int referenceLineAngle(const Rect& line);

}  // namespace quillon
