#include "imaging/codecs/raster.h"

#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <cstring>

namespace imaging::raster {

int newPicture(Bitmap& bitmap, int64_t width, int64_t height, int bits) {
    const int check = checkPictureSize(width, height, bits);
    if (check == kErrBadParameter) return kErrFileFormat;
    if (check != kSuccess) return check;
    Bitmap result;
    initialize(result, int(width), int(height), bits);
    const int status = allocate(result);
    if (status != kSuccess) return status;
    bitmap = std::move(result);
    return kSuccess;
}

const uint8_t* pictureRow(const Bitmap& bitmap, int y) {
    return bitmap.storedRow(bitmap.isBottomUp() ? bitmap.height - 1 - y : y);
}

uint8_t* pictureRow(Bitmap& bitmap, int y) {
    return bitmap.storedRow(bitmap.isBottomUp() ? bitmap.height - 1 - y : y);
}

void rowIndices(const Bitmap& bitmap, int y, uint8_t* out) {
    const uint8_t* row = pictureRow(bitmap, y);
    const int bits = bitmap.bitsPerPixel;
    if (bits == 8) {
        std::memcpy(out, row, size_t(bitmap.width));
        return;
    }
    for (int x = 0; x < bitmap.width; ++x) out[x] = uint8_t(indexAt(row, x, bits));
}

void rowRgb(const Bitmap& bitmap, int y, uint8_t* out) {
    const uint8_t* row = pictureRow(bitmap, y);
    if (bitmap.bitsPerPixel == 24 && bitmap.colorOrder == kBgr) {
        for (int x = 0; x < bitmap.width; ++x, row += 3, out += 3)
            out[0] = row[2], out[1] = row[1], out[2] = row[0];
        return;
    }
    for (int x = 0; x < bitmap.width; ++x, out += 3) {
        const Rgb c = readPixel(bitmap, row, x);
        out[0] = c.r, out[1] = c.g, out[2] = c.b;
    }
}

void setRowIndices(Bitmap& bitmap, int y, const uint8_t* indices) {
    uint8_t* row = pictureRow(bitmap, y);
    const int bits = bitmap.bitsPerPixel;
    if (bits == 8) {
        std::memcpy(row, indices, size_t(bitmap.width));
        return;
    }
    for (int x = 0; x < bitmap.width; ++x) setIndexAt(row, x, bits, indices[x]);
}

void setRowRgb(Bitmap& bitmap, int y, const uint8_t* rgb) {
    uint8_t* row = pictureRow(bitmap, y);
    const int step = bitmap.bitsPerPixel / 8;
    const bool bgr = bitmap.colorOrder == kBgr;
    for (int x = 0; x < bitmap.width; ++x, row += step, rgb += 3) {
        row[0] = bgr ? rgb[2] : rgb[0];
        row[1] = rgb[1];
        row[2] = bgr ? rgb[0] : rgb[2];
    }
}

namespace {
int brightness(const RgbQuad& q) { return q.red * 299 + q.green * 587 + q.blue * 114; }
}  // namespace

int inkIndex(const Bitmap& bitmap) {
    return brightness(bitmap.palette[1]) < brightness(bitmap.palette[0]) ? 1 : 0;
}

void rowInkBits(const Bitmap& bitmap, int y, uint8_t* out, size_t bytes) {
    const uint8_t* row = pictureRow(bitmap, y);
    const size_t used = size_t((bitmap.width + 7) / 8);
    const size_t n = used < bytes ? used : bytes;
    const bool flip = inkIndex(bitmap) == 0;
    for (size_t i = 0; i < n; ++i) out[i] = flip ? uint8_t(~row[i]) : row[i];
    // Bits past the width are paper.
    if (n == used && (bitmap.width & 7)) out[used - 1] &= uint8_t(0xFF00 >> (bitmap.width & 7));
    for (size_t i = n; i < bytes; ++i) out[i] = 0;
}

void setBlackWhitePalette(Bitmap& bitmap) {
    bitmap.palette.fill(RgbQuad{});
    bitmap.palette[1] = RgbQuad{255, 255, 255, 0};
    bitmap.paletteCount = 2;
}

void setRowInkBits(Bitmap& bitmap, int y, const uint8_t* bits, size_t bytes) {
    uint8_t* row = pictureRow(bitmap, y);
    const size_t used = size_t((bitmap.width + 7) / 8);
    const size_t n = used < bytes ? used : bytes;
    for (size_t i = 0; i < n; ++i) row[i] = uint8_t(~bits[i]);
    for (size_t i = n; i < used; ++i) row[i] = 0xFF;
    if (bitmap.width & 7) row[used - 1] &= uint8_t(0xFF00 >> (bitmap.width & 7));
}

bool greyPalette(const Bitmap& bitmap) {
    const int n = bitmap.paletteCount > 0 ? bitmap.paletteCount : 1 << bitmap.bitsPerPixel;
    for (int i = 0; i < n && i < 256; ++i) {
        const RgbQuad& q = bitmap.palette[i];
        if (q.red != q.green || q.green != q.blue) return false;
    }
    return true;
}

bool isGreyRamp(const Bitmap& bitmap) {
    if (bitmap.bitsPerPixel != 8) return false;
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& q = bitmap.palette[i];
        if (q.red != i || q.green != i || q.blue != i) return false;
    }
    return true;
}

void fillInfo(FileInfo& info, int width, int height, int bits, int xDpi, int yDpi) {
    info.width = width;
    info.height = height;
    info.bits = bits;
    info.xResolution = xDpi;
    info.yResolution = yDpi;
}

void ByteWriter::text(const char* s) { bytes(reinterpret_cast<const uint8_t*>(s), std::strlen(s)); }

}  // namespace imaging::raster
