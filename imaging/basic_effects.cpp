// Fill, flips, invert and grey scale over the whole picture.
#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace imaging {
namespace {

uint8_t greyOf(uint8_t r, uint8_t g, uint8_t b) {
    return uint8_t((77 * r + 150 * g + 29 * b) >> 8);
}

}  // namespace

int fill(Bitmap& bitmap, ColorRef color) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const Rgb c{uint8_t(redOf(color)), uint8_t(greenOf(color)), uint8_t(blueOf(color))};
    // Build one row, then repeat it.
    uint8_t* first = bitmap.storedRow(0);
    if (bitmap.isIndexed()) {
        const int index = nearestPaletteIndex(bitmap, c);
        for (int x = 0; x < bitmap.width; ++x) setIndexAt(first, x, bitmap.bitsPerPixel, index);
    } else {
        for (int x = 0; x < bitmap.width; ++x) writePixel(bitmap, first, x, c);
    }
    for (int y = 1; y < bitmap.height; ++y)
        std::memcpy(bitmap.storedRow(y), first, size_t(bitmap.bytesPerLine));
    return kSuccess;
}

int flipVertical(Bitmap& bitmap) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    std::vector<uint8_t> scratch(size_t(bitmap.bytesPerLine));
    for (int top = 0, bottom = bitmap.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = bitmap.storedRow(top);
        uint8_t* b = bitmap.storedRow(bottom);
        std::memcpy(scratch.data(), a, scratch.size());
        std::memcpy(a, b, scratch.size());
        std::memcpy(b, scratch.data(), scratch.size());
    }
    return kSuccess;
}

int mirror(Bitmap& bitmap) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    const int w = bitmap.width;
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.storedRow(y);
        if (bits < 8) {
            for (int l = 0, r = w - 1; l < r; ++l, --r) {
                const int a = indexAt(row, l, bits), b = indexAt(row, r, bits);
                setIndexAt(row, l, bits, b);
                setIndexAt(row, r, bits, a);
            }
            continue;
        }
        const int bpp = (bits == 15 ? 16 : bits) / 8;
        for (int l = 0, r = w - 1; l < r; ++l, --r)
            std::swap_ranges(row + l * bpp, row + l * bpp + bpp, row + r * bpp);
    }
    return kSuccess;
}

int invert(Bitmap& bitmap) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.isIndexed()) {
        for (int i = 0; i < bitmap.paletteCount; ++i) {
            RgbQuad& q = bitmap.palette[i];
            q.red = uint8_t(255 - q.red), q.green = uint8_t(255 - q.green);
            q.blue = uint8_t(255 - q.blue);
        }
        return kSuccess;
    }
    const int bits = bitmap.bitsPerPixel;
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.storedRow(y);
        if (bits == 24) {
            for (int i = 0; i < bitmap.width * 3; ++i) row[i] = uint8_t(~row[i]);
        } else if (bits == 32) {
            for (int x = 0; x < bitmap.width; ++x)
                for (int k = 0; k < 3; ++k) row[4 * x + k] = uint8_t(~row[4 * x + k]);
        } else {
            const unsigned mask = bits == 15 ? 0x7FFF : 0xFFFF;
            for (int x = 0; x < bitmap.width; ++x) {
                const unsigned w = (row[2 * x] | (row[2 * x + 1] << 8)) ^ mask;
                row[2 * x] = uint8_t(w), row[2 * x + 1] = uint8_t(w >> 8);
            }
        }
    }
    return kSuccess;
}

int greyScale(Bitmap& bitmap) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.isIndexed()) {
        for (int i = 0; i < bitmap.paletteCount; ++i) {
            RgbQuad& q = bitmap.palette[i];
            q.red = q.green = q.blue = greyOf(q.red, q.green, q.blue);
        }
        return kSuccess;
    }
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.storedRow(y);
        if (bitmap.bitsPerPixel >= 24) {
            const int bpp = bitmap.bitsPerPixel / 8;
            const int r = bitmap.colorOrder == kBgr ? 2 : 0, b = 2 - r;
            for (int x = 0; x < bitmap.width; ++x) {
                uint8_t* p = row + x * bpp;
                p[0] = p[1] = p[2] = greyOf(p[r], p[1], p[b]);
            }
        } else {
            for (int x = 0; x < bitmap.width; ++x) {
                const Rgb c = readPixel(bitmap, row, x);
                // A grey that 5-bit red and blue hold exactly; 6-bit green then
                // comes within 2 of it (15 bits: exactly).
                const uint8_t g = expand5(unsigned(greyOf(c.r, c.g, c.b)) >> 3);
                writePixel(bitmap, row, x, Rgb{g, g, g});
            }
        }
    }
    return kSuccess;
}

}  // namespace imaging
