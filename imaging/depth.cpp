// Depth change: exact going up, nearest palette colour going down.
#include "imaging/depth.h"

#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <algorithm>

namespace imaging {
namespace {

// 3-3-2 levels: 8 reds, 8 greens, 4 blues.
void setUniformPalette(Bitmap& b) {
    for (int i = 0; i < 256; ++i) {
        RgbQuad& q = b.palette[i];
        q.red = uint8_t(((i >> 5) & 7) * 255 / 7);
        q.green = uint8_t(((i >> 2) & 7) * 255 / 7);
        q.blue = uint8_t((i & 3) * 255 / 3);
        q.reserved = 0;
    }
    b.paletteCount = 256;
}

}  // namespace

int changeColorDepth(Bitmap& destination, const Bitmap& source, int bits, uint32_t flags,
                     const RgbQuad* palette, int colours) {
    if (!source.hasPixels()) return kErrNoBitmap;
    if (!isValidDepth(bits)) return kErrBadBits;
    Bitmap result;
    initialize(result, source.width, source.height, bits);
    result.rowOrder = source.rowOrder;
    result.colorOrder = source.colorOrder;
    result.xResolution = source.xResolution;
    result.yResolution = source.yResolution;
    result.formatCode = source.formatCode;
    result.flags = source.flags & ~flag::kAllocated;
    if (bits <= 8) {
        if ((flags & depth::kGivenPalette) && palette && colours > 0) {
            const int n = std::min(colours, 1 << bits);
            std::copy(palette, palette + n, result.palette.begin());
            result.paletteCount = n;
        } else if (source.isIndexed() && source.bitsPerPixel <= bits) {
            result.palette = source.palette;
            result.paletteCount = source.paletteCount;
        } else if (bits == 8) {
            setUniformPalette(result);
        }  // 1 and 4 bits keep the default black-and-white and VGA palettes
    }
    const int status = allocate(result);
    if (status != kSuccess) return status;
    const bool keepIndices = source.isIndexed() && bits <= 8 && source.bitsPerPixel <= bits &&
                             result.palette == source.palette;
    for (int y = 0; y < source.height; ++y) {
        const uint8_t* from = source.storedRow(y);
        uint8_t* to = result.storedRow(y);
        for (int x = 0; x < source.width; ++x) {
            if (keepIndices) setIndexAt(to, x, bits, indexAt(from, x, source.bitsPerPixel));
            else writePixel(result, to, x, readPixel(source, from, x));
        }
    }
    destination = std::move(result);
    return kSuccess;
}

}  // namespace imaging
