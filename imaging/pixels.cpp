#include "imaging/pixels.h"

namespace imaging {

Rgb readPixel(const Bitmap& bitmap, const uint8_t* row, int x) {
    switch (bitmap.bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        const RgbQuad& q = bitmap.palette[indexAt(row, x, bitmap.bitsPerPixel)];
        return {q.red, q.green, q.blue};
    }
    case 15: {
        const unsigned w = row[2 * x] | (row[2 * x + 1] << 8);
        return {expand5((w >> 10) & 31), expand5((w >> 5) & 31), expand5(w & 31)};
    }
    case 16: {
        const unsigned w = row[2 * x] | (row[2 * x + 1] << 8);
        return {expand5((w >> 11) & 31), expand6((w >> 5) & 63), expand5(w & 31)};
    }
    default: {
        const uint8_t* p = row + x * (bitmap.bitsPerPixel / 8);
        if (bitmap.colorOrder == kBgr) return {p[2], p[1], p[0]};
        return {p[0], p[1], p[2]};
    }
    }
}

void writePixel(const Bitmap& bitmap, uint8_t* row, int x, Rgb c) {
    switch (bitmap.bitsPerPixel) {
    case 1:
    case 4:
    case 8: setIndexAt(row, x, bitmap.bitsPerPixel, nearestPaletteIndex(bitmap, c)); return;
    case 15: {
        const unsigned w = ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
        row[2 * x] = uint8_t(w);
        row[2 * x + 1] = uint8_t(w >> 8);
        return;
    }
    case 16: {
        const unsigned w = ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3);
        row[2 * x] = uint8_t(w);
        row[2 * x + 1] = uint8_t(w >> 8);
        return;
    }
    default: {
        uint8_t* p = row + x * (bitmap.bitsPerPixel / 8);
        if (bitmap.colorOrder == kBgr) {
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
        } else {
            p[0] = c.r, p[1] = c.g, p[2] = c.b;
        }
    }
    }
}

int nearestPaletteIndex(const Bitmap& bitmap, Rgb c) {
    const int count = bitmap.paletteCount > 0 ? bitmap.paletteCount : 1;
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const RgbQuad& q = bitmap.palette[i];
        const int dr = int(q.red) - c.r, dg = int(q.green) - c.g, db = int(q.blue) - c.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) break;
        }
    }
    return best;
}

}  // namespace imaging
