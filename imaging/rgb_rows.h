// Rows as plain 8-bit R, G, B triplets, the common form of the depth change
// and of the effects that cannot work on palette indices or packed words.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>

namespace imaging {

// Unpacks width pixels of a stored row into rgb (3 bytes a pixel, R first).
void unpackRgbRow(const Bitmap& bitmap, const uint8_t* row, uint8_t* rgb);
// Packs rgb into a stored row of a picture of 15 bits or more. The bytes
// between the last pixel and the end of the row are left alone.
void packRgbRow(const Bitmap& bitmap, const uint8_t* rgb, uint8_t* row);

}  // namespace imaging
