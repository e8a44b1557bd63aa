#include "imaging/rgb_rows.h"

#include "imaging/pixels.h"

namespace imaging {

void unpackRgbRow(const Bitmap& b, const uint8_t* row, uint8_t* rgb) {
    const int w = b.width;
    switch (b.bitsPerPixel) {
    case 1: case 4: case 8:
        for (int x = 0; x < w; ++x) {
            const RgbQuad& q = b.palette[indexAt(row, x, b.bitsPerPixel)];
            rgb[3 * x] = q.red, rgb[3 * x + 1] = q.green, rgb[3 * x + 2] = q.blue;
        }
        return;
    case 15: case 16:
        for (int x = 0; x < w; ++x) {
            const Rgb c = readPixel(b, row, x);
            rgb[3 * x] = c.r, rgb[3 * x + 1] = c.g, rgb[3 * x + 2] = c.b;
        }
        return;
    default: {
        const int step = b.bitsPerPixel / 8;
        const int r = b.colorOrder == kBgr ? 2 : 0, bl = 2 - r;
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = row + x * step;
            rgb[3 * x] = p[r], rgb[3 * x + 1] = p[1], rgb[3 * x + 2] = p[bl];
        }
    }
    }
}

void packRgbRow(const Bitmap& b, const uint8_t* rgb, uint8_t* row) {
    const int w = b.width;
    switch (b.bitsPerPixel) {
    case 15: case 16:
        for (int x = 0; x < w; ++x) writePixel(b, row, x, Rgb{rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]});
        return;
    case 24: case 32: {
        const int step = b.bitsPerPixel / 8;
        const int r = b.colorOrder == kBgr ? 2 : 0, bl = 2 - r;
        for (int x = 0; x < w; ++x) {
            uint8_t* p = row + x * step;
            p[r] = rgb[3 * x], p[1] = rgb[3 * x + 1], p[bl] = rgb[3 * x + 2];
            if (step == 4) p[3] = 0;
        }
        return;
    }
    default: return;  // indexed rows are written through a palette matcher
    }
}

}  // namespace imaging
