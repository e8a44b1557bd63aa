// The image object's depth change (operation 20) and the rest of its effect
// table: each runs one imaging role on the object's picture, stores the result
// as the last imaging result, succeeds exactly when it is 1, and ends with the
// display steps the table gives it.
#pragma once

#include "gmem/global_memory.h"
#include "image/image_object.h"
#include "imaging/bitmap.h"

#include <cstdint>

namespace quillon {

// 20. Replaces target's picture with source's (or its own when source is
// null or target) at bits, flags as in imaging/depth.h. Redraw: refresh tail;
// a change of size also ends with the size tail.
bool changeColorDepth(CImageObject& target, const CImageObject* source, int bits, uint32_t flags,
                      const imaging::RgbQuad* palette, int colours, bool redraw);

// Whole degrees; resize is set by callers exactly for odd multiples of 90.
// Redraw: the size tail first when resize is set, then the refresh tail.
bool rotateDegrees(CImageObject& image, int degrees, bool resize, bool redraw);
// Hundredths of a degree, flags and fill colour (the program passes 0, 0).
// Always the size tail; with redraw an invalidation (no palette rebuild).
bool rotateFine(CImageObject& image, int hundredths, int flags, imaging::ColorRef fill, bool redraw);
// Display size follows at the zoom, with layout; with redraw an invalidation.
bool resizePicture(CImageObject& image, int width, int height, bool redraw);

// Redraw: refresh tail.
bool sharpen(CImageObject& image, int amount, bool redraw);
bool contrast(CImageObject& image, int amount, bool redraw);
bool brightness(CImageObject& image, int amount, bool redraw);
bool printPreparation(CImageObject& image, int option1, int option2, bool redraw);

// A packed DIB in the picture's current row order that the caller frees, or 0.
GlobalHandle cameraExportBlock(const CImageObject& image);

}  // namespace quillon
