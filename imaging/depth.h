// Change of colour depth.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>

namespace imaging {

namespace depth {
constexpr uint32_t kNearest = 0;               // plain nearest colour
constexpr uint32_t kOptimizedPalette = 0x0002; // palette made from the picture
constexpr uint32_t kFixedPalette = 0x0004;     // fixed, uniform palette
constexpr uint32_t kGivenPalette = 0x0010;     // use the palette passed in
constexpr uint32_t kErrorDiffusion = 0x10000;  // Floyd-Steinberg
}  // namespace depth

// Converts source to bits (1, 4, 8, 15, 16, 24, 32) into destination; the two
// may be the same record. palette/colours are read with kGivenPalette.
int changeColorDepth(Bitmap& destination, const Bitmap& source, int bits, uint32_t flags,
                     const RgbQuad* palette = nullptr, int colours = 0);

}  // namespace imaging
