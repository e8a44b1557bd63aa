#include "imaging/codecs/ras.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <cstring>

namespace imaging::ras {
namespace {

constexpr uint32_t kMagic = 0x59A66A95;
enum Type : uint32_t { kOld = 0, kStandard = 1, kRle = 2, kRgb = 3 };

struct Header {
    uint32_t width = 0, height = 0, depth = 0, type = 0, mapType = 0, mapLength = 0;
};

int parse(const uint8_t* data, size_t size, Header& h) {
    if (size < 32) return kErrFileRead;
    ByteReader in(data, size);
    if (in.u32be() != kMagic) return kErrFileFormat;
    h.width = in.u32be(), h.height = in.u32be(), h.depth = in.u32be();
    in.u32be();  // length, often wrong
    h.type = in.u32be(), h.mapType = in.u32be(), h.mapLength = in.u32be();
    if (h.width == 0 || h.height == 0) return kErrFileFormat;
    if (h.depth != 1 && h.depth != 8 && h.depth != 24 && h.depth != 32) return kErrBadBits;
    if (h.type > kRgb) return h.type == 4 || h.type == 5 ? kErrFeature : kErrUnknownCompression;
    if (h.mapType > 1) return kErrFeature;
    if (h.mapType == 1 && (h.mapLength % 3 != 0 || h.mapLength > 768)) return kErrCorrupt;
    if (h.mapType == 0 && h.mapLength > size) return kErrCorrupt;
    return kSuccess;
}

int recordDepth(const Header& h) { return int(h.depth); }

// Type 2 runs: 80 00 is one 0x80, 80 n v is n+1 copies of v.
class RunDecoder {
public:
    RunDecoder(ByteReader& in, bool rle) : in_(in), rle_(rle) {}
    bool row(uint8_t* out, size_t n) {
        if (!rle_) return in_.bytes(out, n);
        for (size_t i = 0; i < n; ++i) {
            if (count_ == 0) {
                const uint8_t b = in_.u8();
                if (b == 0x80) {
                    const uint8_t c = in_.u8();
                    if (c == 0) count_ = 1, value_ = 0x80;
                    else count_ = size_t(c) + 1, value_ = in_.u8();
                } else {
                    count_ = 1, value_ = b;
                }
                if (in_.ranOut()) return false;
            }
            out[i] = value_;
            --count_;
        }
        return true;
    }

private:
    ByteReader& in_;
    bool rle_;
    size_t count_ = 0;
    uint8_t value_ = 0;
};

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= 32 && data[0] == 0x59 && data[1] == 0xA6 && data[2] == 0x6A && data[3] == 0x95;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Header h;
    const int status = parse(data, size, h);
    if (status != kSuccess) return status;
    if (h.width > INT32_MAX || h.height > INT32_MAX) return kErrFileFormat;
    raster::fillInfo(info, int(h.width), int(h.height), recordDepth(h));
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Header h;
    int status = parse(data, size, h);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, h.width, h.height, recordDepth(h));
    if (status != kSuccess) return status;

    ByteReader in(data, size);
    in.seek(32);
    int entries = 0;
    if (h.mapType == 1 && h.mapLength > 0) {
        entries = int(h.mapLength / 3);
        const uint8_t* map = in.here();
        in.skip(h.mapLength);
        if (in.ranOut()) return kErrFileRead;
        if (h.depth <= 8) {
            if (entries > (1 << h.depth)) entries = 1 << h.depth;
            b.palette.fill(RgbQuad{});
            const int n = int(h.mapLength / 3);
            for (int i = 0; i < entries; ++i)
                b.palette[i] = RgbQuad{map[2 * n + i], map[n + i], map[i], 0};
            b.paletteCount = entries;
        }
    } else {
        in.skip(h.mapLength);
        if (h.depth == 1) {
            raster::setBlackWhitePalette(b);  // 1 = black: stored inverted below
        }
        entries = 1 << (h.depth <= 8 ? h.depth : 0);
    }

    const size_t bytes = h.depth == 1 ? (h.width + 7) / 8 : size_t(h.width) * (h.depth / 8);
    const size_t stride = bytes + (bytes & 1);
    std::vector<uint8_t> row(stride);
    std::vector<uint8_t> rgb(size_t(h.width) * 3);
    RunDecoder decoder(in, h.type == kRle);
    const bool blackIsOne = h.depth == 1 && h.mapType == 0;
    for (int y = 0; y < int(h.height); ++y) {
        if (!decoder.row(row.data(), stride)) return kErrFileRead;
        uint8_t* out = raster::pictureRow(b, y);
        if (h.depth == 1) {
            if (blackIsOne) raster::setRowInkBits(b, y, row.data(), bytes);
            else std::memcpy(out, row.data(), bytes);
        } else if (h.depth == 8) {
            for (size_t x = 0; x < h.width; ++x)
                if (row[x] >= entries) return kErrCorrupt;
            std::memcpy(out, row.data(), bytes);
        } else {
            const int step = int(h.depth / 8);
            const int skip = step == 4 ? 1 : 0;  // the X of XBGR
            for (size_t x = 0; x < h.width; ++x) {
                const uint8_t* p = row.data() + x * step + skip;
                if (h.type == kRgb) rgb[3 * x] = p[0], rgb[3 * x + 1] = p[1], rgb[3 * x + 2] = p[2];
                else rgb[3 * x] = p[2], rgb[3 * x + 1] = p[1], rgb[3 * x + 2] = p[0];
            }
            raster::setRowRgb(b, y, rgb.data());
        }
    }
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1 || bits == 8 || bits == 24 || bits == 32; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    const size_t bytes = bits == 1 ? size_t(bitmap.width + 7) / 8 : size_t(bitmap.width) * (bits / 8);
    const size_t stride = bytes + (bytes & 1);
    const int entries = bits == 8 ? 256 : 0;

    out.clear();
    raster::ByteWriter w(out);
    w.u32be(kMagic), w.u32be(uint32_t(bitmap.width)), w.u32be(uint32_t(bitmap.height));
    w.u32be(uint32_t(bits)), w.u32be(uint32_t(stride * size_t(bitmap.height)));
    w.u32be(kStandard), w.u32be(entries ? 1 : 0), w.u32be(uint32_t(entries * 3));
    for (int i = 0; i < entries; ++i) w.u8(bitmap.palette[i].red);
    for (int i = 0; i < entries; ++i) w.u8(bitmap.palette[i].green);
    for (int i = 0; i < entries; ++i) w.u8(bitmap.palette[i].blue);
    std::vector<uint8_t> row(stride);
    std::vector<uint8_t> rgb(size_t(bitmap.width) * 3);
    for (int y = 0; y < bitmap.height; ++y) {
        std::memset(row.data(), 0, stride);
        if (bits == 1) {
            raster::rowInkBits(bitmap, y, row.data(), bytes);
        } else if (bits == 8) {
            raster::rowIndices(bitmap, y, row.data());
        } else {
            raster::rowRgb(bitmap, y, rgb.data());
            const int step = bits / 8;
            for (int x = 0; x < bitmap.width; ++x) {
                uint8_t* p = row.data() + size_t(x) * step + (step == 4 ? 1 : 0);
                p[0] = rgb[3 * x + 2], p[1] = rgb[3 * x + 1], p[2] = rgb[3 * x];
            }
        }
        w.bytes(row.data(), stride);
    }
    return kSuccess;
}

}  // namespace imaging::ras
