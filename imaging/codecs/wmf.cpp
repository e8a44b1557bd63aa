#include "imaging/codecs/wmf.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/bmp.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <cstring>

namespace imaging::wmf {
namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22, kHeaderSize = 18;

enum Function : uint16_t {
    kEof = 0x0000,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kDibBitBlt = 0x0940,
    kDibStretchBlt = 0x0B41,
    kSetDibToDevice = 0x0D33,
    kStretchDib = 0x0F43,
};

bool isMetaHeader(const uint8_t* p) {
    return (p[0] == 1 || p[0] == 2) && p[1] == 0 && p[2] == 9 && p[3] == 0 &&
           p[4] == 0 && (p[5] == 1 || p[5] == 3);
}

size_t headerStart(const uint8_t* data, size_t size) {
    if (size >= kPlaceableSize + kHeaderSize && ByteReader(data, 4).u32() == kPlaceableKey)
        return kPlaceableSize;
    return 0;
}

// Finds the first DIB among the records: where it starts and how long it is.
int findDib(const uint8_t* data, size_t size, size_t& dibAt, size_t& dibSize) {
    const size_t start = headerStart(data, size);
    if (size < start + kHeaderSize || !isMetaHeader(data + start)) return kErrFileFormat;
    ByteReader in(data, size);
    in.seek(start);
    in.u16();
    const size_t headerWords = in.u16();
    if (headerWords < 9) return kErrCorrupt;
    in.seek(start + headerWords * 2);
    while (true) {
        const size_t at = in.position();
        const uint32_t words = in.u32();
        const uint16_t function = in.u16();
        if (in.ranOut()) return kErrFileRead;
        if (function == kEof) break;
        // A record smaller than its own head would never advance.
        if (words < 3) return kErrCorrupt;
        if (uint64_t(words) * 2 > size - at) return kErrFileRead;
        const size_t end = at + size_t(words) * 2;
        size_t parameters = 0;
        switch (function) {
        case kStretchDib: parameters = 4 + 2 + 16; break;
        case kDibStretchBlt: parameters = 4 + 16; break;
        case kDibBitBlt: parameters = 4 + 12; break;
        case kSetDibToDevice: parameters = 2 + 16; break;
        default: break;
        }
        const size_t dib = at + 6 + parameters;
        // DIBBITBLT and DIBSTRETCHBLT have a bitmap-less form: no room for a header.
        if (parameters && end >= dib + 12) {
            dibAt = dib;
            dibSize = end - dib;
            return kSuccess;
        }
        in.seek(end);
    }
    return kErrFeature;  // a metafile without a bitmap
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    if (size >= kPlaceableSize && ByteReader(data, 4).u32() == kPlaceableKey) return true;
    return size >= kHeaderSize && isMetaHeader(data);
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    size_t at = 0, length = 0;
    int status = findDib(data, size, at, length);
    if (status != kSuccess) return status;
    bmp::Info dib;
    status = bmp::readDibInfo(data + at, length, dib);
    if (status != kSuccess) return status;
    raster::fillInfo(info, dib.width, dib.height, dib.bits, dib.xResolution, dib.yResolution);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    size_t at = 0, length = 0;
    int status = findDib(data, size, at, length);
    if (status != kSuccess) return status;
    Bitmap b;
    status = bmp::readDib(data + at, length, 0, b);
    if (status != kSuccess) return status;
    // The placeable header's units per inch are the picture's resolution.
    if (headerStart(data, size) == kPlaceableSize) {
        ByteReader in(data, size);
        in.seek(14);
        const int inch = in.u16();
        if (inch > 0 && inch < 10000) b.xResolution = b.yResolution = inch;
    }
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits != 16 && isValidDepth(bits); }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (!writesDepth(bitmap.bitsPerPixel)) return kErrBadBits;
    if (bitmap.width > 32767 || bitmap.height > 32767) return kErrImageType;
    std::vector<uint8_t> dib;
    int status = bmp::writeDib(bitmap, dib, false);
    if (status != kSuccess) return status;
    if (dib.size() & 1) dib.push_back(0);
    const int inch = bitmap.xResolution > 0 && bitmap.xResolution < 65536 ? bitmap.xResolution : 96;

    out.clear();
    raster::ByteWriter w(out);
    w.u32(kPlaceableKey), w.u16(0);
    w.u16(0), w.u16(0), w.u16(unsigned(bitmap.width)), w.u16(unsigned(bitmap.height));
    w.u16(unsigned(inch)), w.u32(0);
    uint16_t check = 0;
    for (size_t i = 0; i < 20; i += 2) check ^= uint16_t(out[i] | (out[i + 1] << 8));
    w.u16(check);

    const uint32_t stretchWords = uint32_t(3 + 2 + 1 + 8 + dib.size() / 2);
    const uint32_t totalWords = uint32_t(kHeaderSize / 2 + 5 + 5 + stretchWords + 3);
    w.u16(1), w.u16(9), w.u16(0x0300), w.u32(totalWords), w.u16(0), w.u32(stretchWords), w.u16(0);
    w.u32(5), w.u16(kSetWindowOrg), w.u16(0), w.u16(0);
    w.u32(5), w.u16(kSetWindowExt), w.u16(unsigned(bitmap.height)), w.u16(unsigned(bitmap.width));
    w.u32(stretchWords), w.u16(kStretchDib);
    w.u32(0x00CC0020), w.u16(0);  // SRCCOPY, DIB_RGB_COLORS
    w.u16(unsigned(bitmap.height)), w.u16(unsigned(bitmap.width)), w.u16(0), w.u16(0);
    w.u16(unsigned(bitmap.height)), w.u16(unsigned(bitmap.width)), w.u16(0), w.u16(0);
    w.bytes(dib.data(), dib.size());
    w.u32(3), w.u16(kEof);
    return kSuccess;
}

}  // namespace imaging::wmf
