// Sharpen and blur, one amount from -1000 to 1000 (see docs/effect-amounts.md):
//   amount < 0   Gaussian blur, sigma = -amount / 250 pixels (-500: 2, -800: 3.2)
//   amount = 0   nothing
//   amount > 0   unsharp mask with a Gaussian of sigma 1 pixel and a strength
//                of amount / 500 (500: the difference added once, 800: 1.6 times)
// Edges repeat the border pixels. Pictures below 24 bits go through 24 bits.
#pragma once

#include "imaging/bitmap.h"

namespace imaging {

constexpr int kMaxFilterAmount = 1000;

int sharpen(Bitmap& bitmap, int amount);

}  // namespace imaging
