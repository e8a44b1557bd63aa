// Record set-up, pixel memory, rows and copies.
#include "imaging/imaging.h"
#include "imaging/input_file.h"
#include "imaging/pixels.h"

#include <algorithm>
#include <cstring>

namespace imaging {

void initialize(Bitmap& bitmap, int width, int height, int bits) {
    bitmap.pixels.reset();
    bitmap.width = width > 0 ? width : 0;
    bitmap.height = height > 0 ? height : 0;
    bitmap.bitsPerPixel = bits;
    bitmap.bytesPerLine = bytesPerLineFor(width, bits);
    bitmap.rowOrder = kTopDown;
    bitmap.colorOrder = kBgr;
    bitmap.xResolution = kDefaultResolution;
    bitmap.yResolution = kDefaultResolution;
    bitmap.flags &= ~flag::kAllocated;
    bitmap.lockCount = 0;
    setDefaultPalette(bitmap);
}

namespace {

// Pixel memory whose every byte the caller is about to write.
int allocateForOverwrite(Bitmap& bitmap) {
    const int check = checkPictureSize(bitmap.width, bitmap.height, bitmap.bitsPerPixel);
    if (check != kSuccess) return check;
    uint8_t* memory = allocateLarge(bitmap.byteCount(), false);
    if (!memory) return kErrNoMemory;
    bitmap.pixels.reset(memory);
    bitmap.flags |= flag::kAllocated;
    return kSuccess;
}

}  // namespace

void initializeLike(Bitmap& result, const Bitmap& source, int width, int height, int bits) {
    initialize(result, width, height, bits);
    result.rowOrder = source.rowOrder;
    result.colorOrder = source.colorOrder;
    result.xResolution = source.xResolution;
    result.yResolution = source.yResolution;
    result.formatCode = source.formatCode;
    result.flags = source.flags & ~flag::kAllocated;
}

int allocate(Bitmap& bitmap, int memoryKind) {
    if (memoryKind != kMemoryConventional) return kErrBadParameter;
    const int check = checkPictureSize(bitmap.width, bitmap.height, bitmap.bitsPerPixel);
    if (check != kSuccess) return check;
    uint8_t* memory = allocateLarge(bitmap.byteCount(), true);
    if (!memory) return kErrNoMemory;
    bitmap.pixels.reset(memory);
    bitmap.flags |= flag::kAllocated;
    return kSuccess;
}

void release(Bitmap& bitmap) {
    bitmap.pixels.reset();
    bitmap.flags &= ~flag::kAllocated;
    bitmap.lockCount = 0;
}

void lock(Bitmap& bitmap) { ++bitmap.lockCount; }
void unlock(Bitmap& bitmap) {
    if (bitmap.lockCount > 0) --bitmap.lockCount;
}

int getRow(const Bitmap& bitmap, uint8_t* buffer, int row, int byteCount) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (!buffer || row < 0 || row >= bitmap.height || byteCount <= 0) return kErrBadParameter;
    const int n = std::min(byteCount, bitmap.bytesPerLine);
    std::memcpy(buffer, bitmap.storedRow(row), size_t(n));
    return n;
}

int putRow(Bitmap& bitmap, const uint8_t* buffer, int row, int byteCount) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (!buffer || row < 0 || row >= bitmap.height || byteCount <= 0) return kErrBadParameter;
    const int n = std::min(byteCount, bitmap.bytesPerLine);
    std::memcpy(bitmap.storedRow(row), buffer, size_t(n));
    return n;
}

int getBytes(const Bitmap& bitmap, uint8_t* buffer, int row, int column, int count) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (!buffer || row < 0 || row >= bitmap.height || column < 0 || column >= bitmap.width ||
        count <= 0)
        return kErrBadParameter;
    const int storedBits = bitmap.bitsPerPixel == 15 ? 16 : bitmap.bitsPerPixel;
    const int first = int(int64_t(column) * storedBits / 8);
    const int n = std::min(count, bitmap.bytesPerLine - first);
    std::memcpy(buffer, bitmap.storedRow(row) + first, size_t(n));
    return n;
}

ColorRef pixelColor(const Bitmap& bitmap, int row, int column) {
    if (!bitmap.hasPixels() || row < 0 || row >= bitmap.height || column < 0 ||
        column >= bitmap.width)
        return 0;
    const Rgb c = readPixel(bitmap, bitmap.storedRow(row), column);
    return makeColorRef(c.r, c.g, c.b);
}

namespace {

// The whole record of the source at another size, pixels aside.
void copyProperties(Bitmap& to, const Bitmap& from, int width, int height) {
    initializeLike(to, from, width, height, from.bitsPerPixel);
    to.palette = from.palette;
    to.paletteCount = from.paletteCount;
}

}  // namespace

int copy(Bitmap& destination, const Bitmap& source) {
    if (!source.hasPixels()) return kErrNoBitmap;
    if (&destination == &source) return kSuccess;
    Bitmap result;
    copyProperties(result, source, source.width, source.height);
    const int status = allocateForOverwrite(result);
    if (status != kSuccess) return status;
    std::memcpy(result.pixels.get(), source.pixels.get(), source.byteCount());
    destination = std::move(result);
    return kSuccess;
}

int copyRect(Bitmap& destination, const Bitmap& source, int left, int top, int width,
             int height) {
    if (!source.hasPixels()) return kErrNoBitmap;
    if (width <= 0 || height <= 0) return kErrBadRect;
    if (left < 0 || top < 0 || int64_t(left) + width > source.width ||
        int64_t(top) + height > source.height)
        return kErrRectOutside;
    Bitmap result;
    copyProperties(result, source, width, height);
    const int status = allocateForOverwrite(result);
    if (status != kSuccess) return status;

    const int bits = source.bitsPerPixel;
    const int storedBits = bits == 15 ? 16 : bits;
    const bool byteAligned = storedBits >= 8 || (int64_t(left) * storedBits) % 8 == 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = source.storedRow(top + y);
        uint8_t* to = result.storedRow(y);
        if (!byteAligned) std::memset(to, 0, size_t(result.bytesPerLine));
        if (byteAligned) {
            const size_t first = size_t(int64_t(left) * storedBits / 8);
            const size_t count = size_t((int64_t(width) * storedBits + 7) / 8);
            std::memcpy(to, from + first, count);
            // Bits of a partial last byte that lie beyond the rectangle stay 0.
            const int spare = int(count * 8 - size_t(int64_t(width) * storedBits));
            if (spare > 0) to[count - 1] &= uint8_t(0xFF << spare);
            std::memset(to + count, 0, size_t(result.bytesPerLine) - count);
        } else {
            for (int x = 0; x < width; ++x) setIndexAt(to, x, bits, indexAt(from, left + x, bits));
        }
    }
    destination = std::move(result);
    return kSuccess;
}

}  // namespace imaging
