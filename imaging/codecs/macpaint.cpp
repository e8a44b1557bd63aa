#include "imaging/codecs/macpaint.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/packbits.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <cstring>

namespace imaging::macpaint {
namespace {

constexpr int kWidth = 576, kHeight = 720, kRowBytes = 72;
constexpr size_t kHeaderSize = 512, kPrefixSize = 128;

bool hasMacBinaryPrefix(const uint8_t* data, size_t size) {
    return size >= kPrefixSize + kHeaderSize && data[0] == 0 && data[1] >= 1 && data[1] <= 63 &&
           std::memcmp(data + 65, "PNTG", 4) == 0;
}

// The version word of a bare header: 0, or 2 when patterns follow, or 3.
bool plausibleHeader(const uint8_t* p) {
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] <= 3;
}

// The header alone looks right (the pad after the patterns is zeros in every
// writer we know of); said of files that may be cut short.
bool looksLikeMacPaint(const uint8_t* data, size_t size) {
    if (hasMacBinaryPrefix(data, size)) return true;
    if (size < kHeaderSize || !plausibleHeader(data)) return false;
    for (size_t i = 4 + 38 * 8; i < kHeaderSize; ++i)
        if (data[i] != 0) return false;
    return true;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    // No signature: a weak guess for files at the back of the table, which
    // also asks for the two bytes a row the shortest picture takes.
    const size_t start = hasMacBinaryPrefix(data, size) ? kPrefixSize : 0;
    return looksLikeMacPaint(data, size) && size >= start + kHeaderSize + 2 * kHeight;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    if (!looksLikeMacPaint(data, size)) return kErrFileFormat;
    raster::fillInfo(info, kWidth, kHeight, 1, 72, 72);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    if (!looksLikeMacPaint(data, size)) return kErrFileFormat;
    Bitmap b;
    int status = raster::newPicture(b, kWidth, kHeight, 1);
    if (status != kSuccess) return status;
    raster::setBlackWhitePalette(b);
    b.xResolution = b.yResolution = 72;
    ByteReader in(data, size);
    in.seek((hasMacBinaryPrefix(data, size) ? kPrefixSize : 0) + kHeaderSize);
    std::vector<uint8_t> pixels(size_t(kRowBytes) * kHeight);
    // Runs may cross rows, so the rows are one stream.
    if (packbits::decode(in, pixels.data(), pixels.size()) < pixels.size()) return kErrFileRead;
    for (int y = 0; y < kHeight; ++y)
        raster::setRowInkBits(b, y, pixels.data() + size_t(y) * kRowBytes, kRowBytes);
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.bitsPerPixel != 1) return kErrBadBits;
    if (bitmap.width > kWidth || bitmap.height > kHeight) return kErrImageType;
    out.assign(kHeaderSize, 0);
    uint8_t row[kRowBytes];
    for (int y = 0; y < kHeight; ++y) {
        if (y < bitmap.height) raster::rowInkBits(bitmap, y, row, kRowBytes);
        else std::memset(row, 0, kRowBytes);
        packbits::encode(row, kRowBytes, out);
    }
    return kSuccess;
}

}  // namespace imaging::macpaint
