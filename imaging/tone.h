// Contrast and brightness, amounts from -1000 to 1000 (the effect dialogs pass
// percent x 7; see docs/effect-amounts.md). Each channel value v becomes:
//   contrast a > 0:  128 + (v - 128) * 1000 / (1000 - a)   (1000: a threshold at 128)
//   contrast a < 0:  128 + (v - 128) * (1000 + a) / 1000   (-1000: flat grey)
//   brightness a:    v + a * 255 / 1000                   (-1000: black, 1000: white)
// rounded and clamped to 0..255. Palette pictures change their palette.
#pragma once

#include "imaging/bitmap.h"

#include <array>
#include <cstdint>

namespace imaging {

constexpr int kMaxToneAmount = 1000;

int contrast(Bitmap& bitmap, int amount);
int brightness(Bitmap& bitmap, int amount);

// Applies one table to the three colour channels of every pixel (or palette entry).
int applyChannelTable(Bitmap& bitmap, const std::array<uint8_t, 256>& table);

}  // namespace imaging
