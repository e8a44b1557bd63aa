#include "imaging/codecs/fxs.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/fax.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::fxs {
namespace {

constexpr size_t kHeaderSize = 32;
constexpr int kFaxWidth = 1728;
// Foreign files need this many good rows before a stream counts as found.
constexpr int kMinimumRows = 8;

bool ours(const uint8_t* d, size_t size) { return size >= kHeaderSize && std::memcmp(d, "QFX1", 4) == 0; }
bool foreign(const uint8_t* d, size_t size) {
    return size >= 64 && d[0] == 0x0B && d[1] == 0x23 && d[3] == 0xC0 && d[4] == 0x06;
}

struct Header {
    int width = 0, height = 0, xDpi = 0, yDpi = 0, coding = 0, bitOrder = 0;
    uint32_t dataAt = 0, dataLength = 0;
};

int parse(const uint8_t* data, size_t size, Header& h) {
    ByteReader in(data, size);
    in.seek(4);
    const int headerSize = in.u16();
    in.u16();
    h.width = in.u16(), h.height = in.u16(), h.xDpi = in.u16(), h.yDpi = in.u16();
    h.coding = in.u8(), h.bitOrder = in.u8();
    in.u16();
    h.dataAt = in.u32(), h.dataLength = in.u32();
    if (in.ranOut()) return kErrFileRead;
    if (headerSize < int(kHeaderSize) || h.width == 0 || h.height == 0) return kErrFileFormat;
    if (h.coding > 2 || h.bitOrder > 1) return kErrUnknownCompression;
    if (h.dataAt > size || h.dataLength > size - h.dataAt) return kErrFileRead;
    return kSuccess;
}

fax::Scheme schemeOf(int coding) {
    return coding == 2 ? fax::Scheme::kG4 : coding == 1 ? fax::Scheme::kG3TwoD : fax::Scheme::kG3OneD;
}

// Best effort for WinFax's own files: the first offset at which an EOL
// (eleven 0 bits, then a 1) starts a G3 stream that decodes.
int findStream(const uint8_t* data, size_t size, std::vector<uint8_t>& rows, int& height, size_t limitRows) {
    const size_t searchEnd = std::min(size, size_t(4096));
    for (bool lsb : {false, true}) {
        for (size_t at = 5; at + 2 < searchEnd; ++at) {
            // An EOL begins in a zero byte followed by a byte whose high (or low) bits are zeros.
            if (data[at] != 0) continue;
            const uint8_t next = data[at + 1];
            if (!(lsb ? (next & 0x07) == 0 : (next & 0xE0) == 0) || next == 0) continue;
            int decoded = 0;
            const size_t maxRows = std::min(limitRows, (size - at) * 8 / 20 + 1);
            if (fax::decode(fax::Scheme::kG3OneD, data + at, size - at, kFaxWidth, int(maxRows), lsb, rows,
                            decoded) == kSuccess &&
                decoded >= kMinimumRows) {
                height = decoded;
                return kSuccess;
            }
        }
    }
    return kErrCorrupt;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) { return ours(data, size) || foreign(data, size); }

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    if (ours(data, size)) {
        Header h;
        const int status = parse(data, size, h);
        if (status != kSuccess) return status;
        raster::fillInfo(info, h.width, h.height, 1, h.xDpi, h.yDpi);
        return kSuccess;
    }
    if (!foreign(data, size)) return kErrFileFormat;
    // The height of a foreign file is known only once its rows are decoded.
    Bitmap b;
    const int status = read(data, size, b);
    if (status != kSuccess) return status;
    raster::fillInfo(info, b.width, b.height, 1, b.xResolution, b.yResolution);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    std::vector<uint8_t> rows;
    int width = 0, height = 0, xDpi = 204, yDpi = 196;
    if (ours(data, size)) {
        Header h;
        int status = parse(data, size, h);
        if (status != kSuccess) return status;
        status = checkPictureSize(h.width, h.height, 1);
        if (status != kSuccess) return status;
        int decoded = 0;
        fax::decode(schemeOf(h.coding), data + h.dataAt, h.dataLength, h.width, h.height, h.bitOrder == 1,
                    rows, decoded);
        if (decoded < h.height) return decoded == 0 ? kErrCorrupt : kErrFileRead;
        width = h.width, height = h.height;
        if (h.xDpi) xDpi = h.xDpi;
        if (h.yDpi) yDpi = h.yDpi;
    } else if (foreign(data, size)) {
        width = kFaxWidth;
        const int status = findStream(data, size, rows, height, 65535);
        if (status != kSuccess) return status;
    } else {
        return kErrFileFormat;
    }
    Bitmap b;
    int status = raster::newPicture(b, width, height, 1);
    if (status != kSuccess) return status;
    raster::setBlackWhitePalette(b);
    b.xResolution = xDpi, b.yResolution = yDpi;
    const size_t stride = size_t(width + 7) / 8;
    for (int y = 0; y < height; ++y) raster::setRowInkBits(b, y, rows.data() + stride * size_t(y), stride);
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.bitsPerPixel != 1) return kErrBadBits;
    if (bitmap.width > 65535 || bitmap.height > 65535) return kErrImageType;
    const size_t stride = size_t(bitmap.width + 7) / 8;
    std::vector<uint8_t> rows(stride * size_t(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) raster::rowInkBits(bitmap, y, rows.data() + stride * size_t(y), stride);
    out.clear();
    raster::ByteWriter w(out);
    w.text("QFX1"), w.u16(kHeaderSize), w.u16(1);
    w.u16(unsigned(bitmap.width)), w.u16(unsigned(bitmap.height));
    w.u16(unsigned(std::clamp(bitmap.xResolution, 1, 65535))), w.u16(unsigned(std::clamp(bitmap.yResolution, 1, 65535)));
    w.u8(0), w.u8(0), w.u16(0);
    w.u32(kHeaderSize), w.u32(0), w.u32(0);
    const int status = fax::encode(fax::Scheme::kG3OneD, bitmap.width, bitmap.height, rows.data(), out);
    if (status != kSuccess) return status;
    w.patch32(24, uint32_t(out.size() - kHeaderSize));
    return kSuccess;
}

}  // namespace imaging::fxs
