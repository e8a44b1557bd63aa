// Rotations and resizing of whole pictures, at every depth.
//
// Angles turn the picture as it is seen (top row first, whatever the row
// order): positive angles turn it clockwise. Rotated pictures keep their row
// order, colour order and palette.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>

namespace imaging {

// Turns by whole degrees. 0 and multiples of 360 change nothing; 180 is exact
// at any size; 90 and 270 with resize set swap width and height and move
// every pixel exactly. Any other case keeps the size: corners that leave the
// picture are cut off and what is left uncovered becomes black.
int rotateDegrees(Bitmap& bitmap, int degrees, bool resize);

namespace rotation {
constexpr int kGrow = 0x0001;  // make the picture large enough to hold all of the turned one
}
// Turns by hundredths of a degree around the centre; the picture keeps its
// size unless flags has kGrow, and uncovered parts take the fill colour.
// Pictures of 15 bits or more are interpolated bilinearly; palette pictures
// take the nearest pixel, so that they keep their palette and indices.
int rotateFine(Bitmap& bitmap, int hundredths, int flags, ColorRef fill);

// Resamples to width x height: along an axis that shrinks, area averaging
// with a tent window reaching one output pixel either side (a triangle filter
// scaled to the output pixels; a plain box would let fine detail fold back
// as moire); along an axis that grows, bicubic Catmull-Rom interpolation. The
// same size changes nothing. The resolution in dots per inch stays.
int resize(Bitmap& bitmap, int width, int height);

}  // namespace imaging
