// Combine: raster operations of a source rectangle onto a destination.
//
// Pictures of the same depth (and, for indexed pictures, the same palette)
// meet bit for bit, as a blit would. Otherwise each source pixel is first
// turned into the destination's pixel value through its colour, and the
// operation works on those values.
#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <algorithm>

namespace imaging {
namespace {

bool isKnownOp(int op) {
    switch (op) {
    case kOpAnd: case kOpNotSourceAnd: case kOpOr: case kOpCopy: case kOpWhite: case kOpBlack:
        return true;
    default: return false;
    }
}

uint32_t applyOp(int op, uint32_t source, uint32_t destination, uint32_t white) {
    switch (op) {
    case kOpAnd: return source & destination;
    case kOpNotSourceAnd: return ~source & destination & white;
    case kOpOr: return source | destination;
    case kOpCopy: return source;
    case kOpWhite: return white;
    default: return 0;
    }
}

// The raw value of one pixel: palette index, 16-bit word, or colour bytes.
uint32_t rawAt(const Bitmap& b, const uint8_t* row, int x) {
    switch (b.bitsPerPixel) {
    case 1: case 4: case 8: return uint32_t(indexAt(row, x, b.bitsPerPixel));
    case 15: case 16: return uint32_t(row[2 * x] | (row[2 * x + 1] << 8));
    default: {
        const uint8_t* p = row + x * (b.bitsPerPixel / 8);
        return uint32_t(p[0] | (p[1] << 8) | (p[2] << 16));
    }
    }
}

void setRawAt(const Bitmap& b, uint8_t* row, int x, uint32_t v) {
    switch (b.bitsPerPixel) {
    case 1: case 4: case 8: setIndexAt(row, x, b.bitsPerPixel, int(v)); return;
    case 15: case 16:
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        return;
    default: {
        uint8_t* p = row + x * (b.bitsPerPixel / 8);
        p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16);
    }
    }
}

// The destination value that stands for a colour.
uint32_t rawFor(const Bitmap& b, Rgb c) {
    uint8_t scratch[4] = {};
    writePixel(b, scratch, 0, c);
    return rawAt(b, scratch, 0);
}

uint32_t valueMask(const Bitmap& b) {
    switch (b.bitsPerPixel) {
    case 1: return 1;
    case 4: return 0x0F;
    case 8: return 0xFF;
    case 15: return 0x7FFF;
    case 16: return 0xFFFF;
    default: return 0xFFFFFF;
    }
}

bool sameRepresentation(const Bitmap& a, const Bitmap& b) {
    if (a.bitsPerPixel != b.bitsPerPixel) return false;
    if (!a.isIndexed()) return a.bitsPerPixel < 24 || a.colorOrder == b.colorOrder;
    const int n = std::max(a.paletteCount, b.paletteCount);
    for (int i = 0; i < n; ++i) {
        const RgbQuad &p = a.palette[i], &q = b.palette[i];
        if (p.red != q.red || p.green != q.green || p.blue != q.blue) return false;
    }
    return true;
}

// Whole bytes of equal depth: the common case, kept tight.
void combineBytes(uint8_t* to, const uint8_t* from, size_t count, int op) {
    switch (op) {
    case kOpAnd: for (size_t i = 0; i < count; ++i) to[i] &= from[i]; break;
    case kOpNotSourceAnd: for (size_t i = 0; i < count; ++i) to[i] &= uint8_t(~from[i]); break;
    case kOpOr: for (size_t i = 0; i < count; ++i) to[i] |= from[i]; break;
    default: std::copy(from, from + count, to);
    }
}

}  // namespace

int combine(Bitmap& destination, int left, int top, int width, int height, const Bitmap& source,
            int sourceX, int sourceY, int op) {
    if (!destination.hasPixels() || !source.hasPixels()) return kErrNoBitmap;
    if (!isKnownOp(op)) return kErrBadParameter;
    if (width <= 0 || height <= 0) return kErrBadRect;

    // Clip against both pictures, moving the source origin with the destination's.
    if (left < 0) { sourceX -= left; width += left; left = 0; }
    if (top < 0) { sourceY -= top; height += top; top = 0; }
    if (sourceX < 0) { left -= sourceX; width += sourceX; sourceX = 0; }
    if (sourceY < 0) { top -= sourceY; height += sourceY; sourceY = 0; }
    width = int(std::min<int64_t>({int64_t(width), int64_t(destination.width) - left,
                                   int64_t(source.width) - sourceX}));
    height = int(std::min<int64_t>({int64_t(height), int64_t(destination.height) - top,
                                    int64_t(source.height) - sourceY}));
    if (width <= 0 || height <= 0) return kErrRectOutside;

    const bool fillOnly = op == kOpWhite || op == kOpBlack;
    const uint32_t mask = valueMask(destination);
    // Indexed pictures have no "all bits set" colour of their own: use the
    // palette's nearest to white or black.
    uint32_t white = mask;
    uint32_t constant = op == kOpWhite ? mask : 0;
    if (destination.isIndexed() && fillOnly)
        constant = rawFor(destination, op == kOpWhite ? Rgb{255, 255, 255} : Rgb{0, 0, 0});

    const bool same = sameRepresentation(destination, source);
    const int storedBits = destination.bitsPerPixel == 15 ? 16 : destination.bitsPerPixel;
    const bool wholeBytes = same && !fillOnly && storedBits >= 8 &&
                            destination.bitsPerPixel != 32;  // keep the unused byte
    for (int y = 0; y < height; ++y) {
        uint8_t* to = destination.storedRow(top + y);
        const uint8_t* from = source.storedRow(sourceY + y);
        if (wholeBytes) {
            const int bpp = storedBits / 8;
            combineBytes(to + size_t(left) * bpp, from + size_t(sourceX) * bpp,
                         size_t(width) * bpp, op);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            uint32_t value = constant;
            if (!fillOnly) {
                const uint32_t s = same ? rawAt(source, from, sourceX + x)
                                        : rawFor(destination, readPixel(source, from, sourceX + x));
                value = applyOp(op, s, rawAt(destination, to, left + x), white);
            }
            setRawAt(destination, to, left + x, value & mask);
        }
    }
    return kSuccess;
}

}  // namespace imaging
