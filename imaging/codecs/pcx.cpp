#include "imaging/codecs/pcx.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::pcx {
namespace {

constexpr size_t kHeaderSize = 128;

struct Header {
    int version = 0;
    int bitsPerPlane = 0;
    int width = 0, height = 0;
    int xDpi = 0, yDpi = 0;
    int planes = 0;
    int bytesPerLine = 0;
    int paletteInfo = 0;
    int depth = 0;  // of the record we make
};

int parse(const uint8_t* data, size_t size, Header& h) {
    if (size < kHeaderSize) return kErrFileRead;
    ByteReader in(data, size);
    if (in.u8() != 0x0A) return kErrFileFormat;
    h.version = in.u8();
    if (in.u8() != 1) return kErrUnknownCompression;
    h.bitsPerPlane = in.u8();
    const int xMin = in.u16(), yMin = in.u16(), xMax = in.u16(), yMax = in.u16();
    h.xDpi = in.u16(), h.yDpi = in.u16();
    in.seek(65);
    h.planes = in.u8();
    h.bytesPerLine = in.u16();
    h.paletteInfo = in.u16();
    if (xMax < xMin || yMax < yMin) return kErrFileFormat;
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    const int bpp = h.bitsPerPlane, p = h.planes;
    if (bpp == 1 && p >= 1 && p <= 4) h.depth = p == 1 ? 1 : 4;
    else if ((bpp == 2 || bpp == 4) && p == 1) h.depth = 4;
    else if (bpp == 8 && p == 1) h.depth = 8;
    else if (bpp == 8 && (p == 3 || p == 4)) h.depth = 24;
    else return kErrFeature;
    if (int64_t(h.bytesPerLine) * 8 < int64_t(h.width) * bpp) return kErrCorrupt;
    return kSuccess;
}

// The RLE stream, decoded as one stream across lines.
class RunDecoder {
public:
    explicit RunDecoder(ByteReader& in) : in_(in) {}
    bool line(uint8_t* out, size_t n) {
        size_t i = 0;
        while (i < n) {
            if (count_ == 0) {
                const uint8_t b = in_.u8();
                if (in_.ranOut()) return false;
                if (b >= 0xC0) {
                    count_ = b & 0x3F;
                    value_ = in_.u8();
                    if (in_.ranOut()) return false;
                } else {
                    count_ = 1;
                    value_ = b;
                }
            }
            const size_t take = std::min(n - i, count_);
            std::memset(out + i, value_, take);
            i += take;
            count_ -= take;
        }
        return true;
    }

private:
    ByteReader& in_;
    size_t count_ = 0;
    uint8_t value_ = 0;
};

int readPalette(const uint8_t* data, size_t size, const Header& h, Bitmap& b) {
    if (h.depth == 1) {
        raster::setBlackWhitePalette(b);  // 1 = white, as the common readers see it
        return kSuccess;
    }
    if (h.depth == 4) {
        const int entries = 1 << (h.bitsPerPlane * h.planes);
        bool any = false;
        for (int i = 0; i < 48; ++i) any = any || data[16 + i] != 0;
        if (!any && h.bitsPerPlane == 1) return kSuccess;  // the default VGA colours
        for (int i = 0; i < 16; ++i)
            b.palette[i] = RgbQuad{data[16 + 3 * i + 2], data[16 + 3 * i + 1], data[16 + 3 * i], 0};
        b.paletteCount = entries;
        return kSuccess;
    }
    if (h.depth == 8) {
        if (size >= kHeaderSize + 769 && data[size - 769] == 0x0C) {
            const uint8_t* p = data + size - 768;
            for (int i = 0; i < 256; ++i) b.palette[i] = RgbQuad{p[3 * i + 2], p[3 * i + 1], p[3 * i], 0};
            b.paletteCount = 256;
        } else if (h.version == 5 && h.paletteInfo != 2) {
            // Version 5 colour files end with their palette: without it the file was cut.
            return kErrFileRead;
        }  // else the grey ramp of a new 8-bit picture
    }
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= kHeaderSize && data[0] == 0x0A && data[1] <= 5 && data[2] == 1 &&
           (data[3] == 1 || data[3] == 2 || data[3] == 4 || data[3] == 8);
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Header h;
    const int status = parse(data, size, h);
    if (status != kSuccess) return status;
    raster::fillInfo(info, h.width, h.height, h.depth, h.xDpi, h.yDpi);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Header h;
    int status = parse(data, size, h);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, h.width, h.height, h.depth);
    if (status != kSuccess) return status;
    status = readPalette(data, size, h, b);
    if (status != kSuccess) return status;
    if (h.xDpi > 0 && h.xDpi < 10000 && h.yDpi > 0 && h.yDpi < 10000) {
        b.xResolution = h.xDpi;
        b.yResolution = h.yDpi;
    }

    ByteReader in(data, size);
    in.seek(kHeaderSize);
    RunDecoder decoder(in);
    const size_t bpl = size_t(h.bytesPerLine);
    std::vector<uint8_t> line(bpl * size_t(h.planes));
    std::vector<uint8_t> pixels(size_t(h.width) * (h.depth == 24 ? 3 : 1));
    for (int y = 0; y < h.height; ++y) {
        if (!decoder.line(line.data(), line.size())) return kErrFileRead;
        if (h.depth == 24) {
            for (int x = 0; x < h.width; ++x)
                for (int c = 0; c < 3; ++c) pixels[3 * x + c] = line[bpl * c + x];
            raster::setRowRgb(b, y, pixels.data());
            continue;
        }
        for (int x = 0; x < h.width; ++x) {
            int v = 0;
            if (h.bitsPerPlane == 8) {
                v = line[x];
            } else {
                const int bpp = h.bitsPerPlane;
                for (int p = 0; p < h.planes; ++p) {
                    const int bit = x * bpp;
                    const int part = (line[bpl * p + bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
                    v |= part << (p * bpp);
                }
            }
            pixels[x] = uint8_t(v);
        }
        raster::setRowIndices(b, y, pixels.data());
    }
    bitmap = std::move(b);
    return kSuccess;
}

namespace {

void encodeLine(const uint8_t* p, size_t n, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 63 && p[i + run] == p[i]) ++run;
        if (run > 1 || p[i] >= 0xC0) out.push_back(uint8_t(0xC0 | run));
        out.push_back(p[i]);
        i += run;
    }
}

}  // namespace

bool writesDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    if (bitmap.width > 65535 || bitmap.height > 65535) return kErrImageType;
    const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
    const int bitsPerPlane = bits == 1 || bits == 4 ? 1 : 8;
    int bpl = (bitmap.width * bitsPerPlane + 7) / 8;
    bpl += bpl & 1;  // rows of an even length

    out.clear();
    raster::ByteWriter w(out);
    w.u8(0x0A), w.u8(5), w.u8(1), w.u8(unsigned(bitsPerPlane));
    w.u16(0), w.u16(0), w.u16(unsigned(bitmap.width - 1)), w.u16(unsigned(bitmap.height - 1));
    w.u16(unsigned(bitmap.xResolution)), w.u16(unsigned(bitmap.yResolution));
    // The 16-entry header palette: the EGA colours, or black and white.
    for (int i = 0; i < 16; ++i) {
        RgbQuad q{};
        if (bits == 4) q = bitmap.palette[i];
        if (bits == 1 && i == 1) q = RgbQuad{255, 255, 255, 0};
        w.u8(q.red), w.u8(q.green), w.u8(q.blue);
    }
    w.u8(0), w.u8(unsigned(planes)), w.u16(unsigned(bpl));
    w.u16(bits == 8 && raster::isGreyRamp(bitmap) ? 2 : 1);
    w.fill(0, kHeaderSize - out.size());

    std::vector<uint8_t> line(size_t(bpl) * planes);
    std::vector<uint8_t> pixels(size_t(bitmap.width) * 3);
    for (int y = 0; y < bitmap.height; ++y) {
        std::fill(line.begin(), line.end(), 0);
        if (bits == 1) {
            // 1 = white in the file: the ink bits inverted.
            raster::rowInkBits(bitmap, y, line.data(), size_t(bpl));
            for (int i = 0; i < bpl; ++i) line[i] = uint8_t(~line[i]);
            if (bitmap.width & 7) line[bitmap.width / 8] &= uint8_t(0xFF00 >> (bitmap.width & 7));
            for (int i = (bitmap.width + 7) / 8; i < bpl; ++i) line[i] = 0;
        } else if (bits == 24) {
            raster::rowRgb(bitmap, y, pixels.data());
            for (int x = 0; x < bitmap.width; ++x)
                for (int c = 0; c < 3; ++c) line[size_t(bpl) * c + x] = pixels[3 * x + c];
        } else {
            raster::rowIndices(bitmap, y, pixels.data());
            if (bits == 8) {
                std::memcpy(line.data(), pixels.data(), size_t(bitmap.width));
            } else {
                for (int x = 0; x < bitmap.width; ++x)
                    for (int p = 0; p < 4; ++p)
                        if (pixels[x] & (1 << p)) line[size_t(bpl) * p + x / 8] |= uint8_t(0x80 >> (x & 7));
            }
        }
        for (int p = 0; p < planes; ++p) encodeLine(line.data() + size_t(bpl) * p, size_t(bpl), out);
    }
    if (bits == 8) {
        w.u8(0x0C);
        for (int i = 0; i < 256; ++i) {
            const RgbQuad& q = bitmap.palette[i];
            w.u8(q.red), w.u8(q.green), w.u8(q.blue);
        }
    }
    return kSuccess;
}

}  // namespace imaging::pcx
