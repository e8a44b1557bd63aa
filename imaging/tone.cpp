#include "imaging/tone.h"

#include "imaging/parallel.h"
#include "imaging/result.h"
#include "imaging/rgb_rows.h"

#include <cmath>
#include <vector>

namespace imaging {
namespace {

uint8_t clampByte(double v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : std::lround(v))); }

}  // namespace

int applyChannelTable(Bitmap& bitmap, const std::array<uint8_t, 256>& t) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.isIndexed()) {
        for (int i = 0; i < bitmap.paletteCount; ++i) {
            RgbQuad& q = bitmap.palette[size_t(i)];
            q.red = t[q.red], q.green = t[q.green], q.blue = t[q.blue];
        }
        return kSuccess;
    }
    const int w = bitmap.width, bits = bitmap.bitsPerPixel;
    forEachBand(bitmap.height, int64_t(w) * 3, [&](int first, int last) {
        std::vector<uint8_t> rgb(bits < 24 ? size_t(w) * 3 : 0);
        for (int y = first; y < last; ++y) {
            uint8_t* row = bitmap.storedRow(y);
            if (bits == 24) {
                for (int i = 0; i < 3 * w; ++i) row[i] = t[row[i]];
            } else if (bits == 32) {
                for (int x = 0; x < w; ++x)
                    row[4 * x] = t[row[4 * x]], row[4 * x + 1] = t[row[4 * x + 1]], row[4 * x + 2] = t[row[4 * x + 2]];
            } else {
                unpackRgbRow(bitmap, row, rgb.data());
                for (uint8_t& v : rgb) v = t[v];
                packRgbRow(bitmap, rgb.data(), row);
            }
        }
    });
    return kSuccess;
}

int contrast(Bitmap& bitmap, int amount) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (amount < -kMaxToneAmount || amount > kMaxToneAmount) return kErrBadParameter;
    if (amount == 0) return kSuccess;
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) {
        if (amount == kMaxToneAmount) t[size_t(v)] = v >= 128 ? 255 : 0;
        else if (amount > 0) t[size_t(v)] = clampByte(128 + (v - 128) * 1000.0 / (1000 - amount));
        else t[size_t(v)] = clampByte(128 + (v - 128) * (1000 + amount) / 1000.0);
    }
    return applyChannelTable(bitmap, t);
}

int brightness(Bitmap& bitmap, int amount) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (amount < -kMaxToneAmount || amount > kMaxToneAmount) return kErrBadParameter;
    if (amount == 0) return kSuccess;
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) t[size_t(v)] = clampByte(v + amount * 255 / 1000.0);
    return applyChannelTable(bitmap, t);
}

}  // namespace imaging
