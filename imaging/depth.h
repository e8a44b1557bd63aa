// Change of colour depth.
//
// Going up (to 15, 16, 24 or 32 bits) every pixel keeps its colour (15 and 16
// bits keep the top 5 or 6 bits of each channel). Going down to a palette
// depth the flags choose the palette and how pixels are mapped onto it:
//   kGivenPalette (0x10)       the palette passed in (its first 2^bits entries)
//   kOptimizedPalette (2)      one made from the picture (see quantize.h); a
//                              picture with few enough colours keeps them exactly
//   kFixedPalette (4), or 0    a fixed palette: black and white, the 16 VGA
//                              colours, or a 6 x 6 x 6 colour cube plus 40 greys
//   kErrorDiffusion (0x10000)  Floyd-Steinberg error diffusion onto that palette
//                              (rows left to right; 1 bit: serpentine); without
//                              it, the nearest entry
// Down to 1 bit the palette is black and white, unless one is given; the
// picture is then reduced through its luminance. A palette picture that goes
// to a palette depth at least its own keeps its palette and indices, unless a
// palette is given.
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
// may be the same record. palette/colours are read with kGivenPalette, which
// without a palette fails with kErrNoPalette. The destination keeps the
// source's row order, colour order, resolution, format code and flags.
int changeColorDepth(Bitmap& destination, const Bitmap& source, int bits, uint32_t flags,
                     const RgbQuad* palette = nullptr, int colours = 0);

// The fixed palette of a depth (1, 4 or 8 bits); returns its entry count.
int fixedPalette(int bits, RgbQuad* palette);

}  // namespace imaging
