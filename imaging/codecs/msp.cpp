#include "imaging/codecs/msp.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::msp {
namespace {

constexpr size_t kHeaderSize = 32;

int versionOf(const uint8_t* d, size_t size) {
    if (size < kHeaderSize) return 0;
    if (std::memcmp(d, "DanM", 4) == 0) return 1;
    if (std::memcmp(d, "LinS", 4) == 0) return 2;
    return 0;
}

int parse(const uint8_t* data, size_t size, int& version, int& width, int& height) {
    version = versionOf(data, size);
    if (!version) return size < kHeaderSize ? kErrFileRead : kErrFileFormat;
    ByteReader in(data, size);
    in.seek(4);
    width = in.u16(), height = in.u16();
    if (width == 0 || height == 0) return kErrFileFormat;
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) { return versionOf(data, size) != 0; }

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    int version = 0, width = 0, height = 0;
    const int status = parse(data, size, version, width, height);
    if (status != kSuccess) return status;
    raster::fillInfo(info, width, height, 1);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    int version = 0, width = 0, height = 0;
    int status = parse(data, size, version, width, height);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, width, height, 1);
    if (status != kSuccess) return status;
    raster::setBlackWhitePalette(b);  // index 1 white: the file's bits as they are
    const size_t bytes = size_t(width + 7) / 8;
    std::vector<uint8_t> row(bytes);
    ByteReader in(data, size);
    in.seek(kHeaderSize);
    if (version == 1) {
        for (int y = 0; y < height; ++y) {
            if (!in.bytes(row.data(), bytes)) return kErrFileRead;
            std::memcpy(raster::pictureRow(b, y), row.data(), bytes);
        }
        bitmap = std::move(b);
        return kSuccess;
    }
    std::vector<uint16_t> lengths(static_cast<size_t>(height));
    for (auto& l : lengths) l = in.u16();
    if (in.ranOut()) return kErrFileRead;
    for (int y = 0; y < height; ++y) {
        uint8_t* out = raster::pictureRow(b, y);
        const size_t length = lengths[size_t(y)];
        if (length == 0) {  // a blank white row
            std::memset(out, 0xFF, bytes);
            continue;
        }
        if (length > in.remaining()) return kErrFileRead;
        ByteReader code(in.here(), length);
        in.skip(length);
        std::memset(row.data(), 0xFF, bytes);
        size_t x = 0;
        while (code.remaining() > 0 && x < bytes) {
            const uint8_t n = code.u8();
            size_t count = n;
            uint8_t value = 0;
            if (n == 0) count = code.u8(), value = code.u8();
            if (code.ranOut() || count > bytes - x || (n != 0 && count > code.remaining()))
                return kErrCorrupt;  // past the row, or past the row's code
            if (n == 0) std::memset(row.data() + x, value, count);
            else code.bytes(row.data() + x, count);
            x += count;
        }
        std::memcpy(out, row.data(), bytes);
    }
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.bitsPerPixel != 1) return kErrBadBits;
    if (bitmap.width > 65535 || bitmap.height > 65535) return kErrImageType;
    const size_t bytes = size_t(bitmap.width + 7) / 8;
    out.clear();
    raster::ByteWriter w(out);
    w.text("LinS");
    w.u16(unsigned(bitmap.width)), w.u16(unsigned(bitmap.height));
    w.u16(1), w.u16(1), w.u16(1), w.u16(1);
    w.u16(unsigned(bitmap.width)), w.u16(unsigned(bitmap.height));
    w.u16(0), w.u16(0), w.u16(0), w.u16(0), w.u16(0), w.u16(0);
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(bitmap.height));
    std::vector<uint8_t> row(bytes);
    for (int y = 0; y < bitmap.height; ++y) {
        raster::rowInkBits(bitmap, y, row.data(), bytes);
        for (auto& v : row) v = uint8_t(~v);  // 1 = white in the file
        if (bitmap.width & 7) row[bytes - 1] |= uint8_t(0xFF >> (bitmap.width & 7));
        std::vector<uint8_t>& code = rows[size_t(y)];
        size_t x = 0;
        while (x < bytes) {
            size_t run = 1;
            while (x + run < bytes && row[x + run] == row[x] && run < 255) ++run;
            if (run >= 3) {
                code.push_back(0), code.push_back(uint8_t(run)), code.push_back(row[x]);
                x += run;
                continue;
            }
            size_t n = 0;
            while (x + n < bytes && n < 255) {
                if (x + n + 2 < bytes && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]) break;
                ++n;
            }
            code.push_back(uint8_t(n));
            code.insert(code.end(), row.begin() + ptrdiff_t(x), row.begin() + ptrdiff_t(x + n));
            x += n;
        }
        if (code.size() > 65535) return kErrImageType;
    }
    for (const auto& code : rows) w.u16(unsigned(code.size()));
    for (const auto& code : rows) w.bytes(code.data(), code.size());
    uint16_t check = 0;
    for (size_t i = 0; i < kHeaderSize; i += 2) check ^= uint16_t(out[i] | (out[i + 1] << 8));
    w.patch16(24, check);
    return kSuccess;
}

}  // namespace imaging::msp
