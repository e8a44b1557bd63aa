// Reading and writing single pixels at any depth, and palette matching. The
// fast paths of the library work on whole rows; these serve the mixed-depth
// and colour-level cases.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>

namespace imaging {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Index of the pixel at x in an indexed row (1, 4 or 8 bits).
inline int indexAt(const uint8_t* row, int x, int bits) {
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

inline void setIndexAt(uint8_t* row, int x, int bits, int index) {
    switch (bits) {
    case 1: {
        const uint8_t mask = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = (index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
        break;
    }
    case 4:
        if (x & 1) row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F));
        else row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
        break;
    default: row[x] = uint8_t(index);
    }
}

// Expands 5 or 6 bit channels to 8 bits the usual way (top bits repeated).
inline uint8_t expand5(unsigned v) { return uint8_t((v << 3) | (v >> 2)); }
inline uint8_t expand6(unsigned v) { return uint8_t((v << 2) | (v >> 4)); }

Rgb readPixel(const Bitmap& bitmap, const uint8_t* row, int x);
// Writes a colour; indexed pictures take the nearest palette entry.
void writePixel(const Bitmap& bitmap, uint8_t* row, int x, Rgb color);

// Nearest palette entry by squared distance; the first of equals wins.
int nearestPaletteIndex(const Bitmap& bitmap, Rgb color);

}  // namespace imaging
