// Small pictures with a pattern at every depth, shared by the imaging tests.
#pragma once

#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <string>
#include <vector>

namespace imaging::testing {

inline const std::vector<int>& allDepths() {
    static const std::vector<int> depths = {1, 4, 8, 15, 16, 24, 32};
    return depths;
}

// A picture whose every pixel differs from its neighbours in some way.
inline Bitmap patterned(int width, int height, int bits, int seed = 0) {
    Bitmap b;
    initialize(b, width, height, bits);
    allocate(b);
    if (bits == 8)  // a palette that is not a plain ramp, so index mix-ups show
        for (int i = 0; i < 256; ++i)
            b.palette[i] = RgbQuad{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 13), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = (x * 31 + y * 17 + seed * 101) & 0xFFFF;
            if (bits <= 8) setIndexAt(b.storedRow(y), x, bits, v % (1 << bits));
            else writePixel(b, b.storedRow(y), x, Rgb{uint8_t(v), uint8_t(v >> 3), uint8_t(x * 9 + y)});
        }
    return b;
}

inline bool samePixels(const Bitmap& a, const Bitmap& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (readPixel(a, a.storedRow(a.isBottomUp() ? a.height - 1 - y : y), x) !=
                readPixel(b, b.storedRow(b.isBottomUp() ? b.height - 1 - y : y), x))
                return false;
    return true;
}

}  // namespace imaging::testing
