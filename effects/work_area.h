// The work area of an effect and the walk over its rows as 3-byte pixels.
#pragma once

#include "image/image_object.h"
#include "image/rect.h"

#include <cstdint>
#include <functional>

namespace quillon {

// The selection clipped to the picture, or the whole picture when there is
// none or it is empty.
Rect workArea(const CImageObject& image, const Rect* selection);

// Calls visit(pixels, count) for every row of area (top-down), pixels being
// count pixels of 3 bytes in the picture's colour order (byte 0 red when the
// order is RGB, blue when BGR). 24-bit rows are visited in place. Rows of 15,
// 16 and 32 bits are unpacked into a scratch row of 3 bytes a pixel and packed
// back afterwards, so a loop written for 3 bytes a pixel never addresses past
// the end of a row of another width. False when the picture has a palette or
// the scratch row cannot be had.
bool forEachRgbRow(CImageObject& image, const Rect& area, const std::function<void(uint8_t*, int)>& visit);

// Byte offsets of red and blue within a 3-byte pixel for the colour order.
inline int redByte(const CImageObject& image) { return image.bitmap().colorOrder == imaging::kRgb ? 0 : 2; }
inline int blueByte(const CImageObject& image) { return 2 - redByte(image); }

}  // namespace quillon
