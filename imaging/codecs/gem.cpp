#include "imaging/codecs/gem.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::gem {
namespace {

struct Header {
    int version = 0, headerWords = 0, planes = 0, patternLength = 0;
    int micronsX = 0, micronsY = 0, width = 0, height = 0;
    bool ximg = false;
    int depth = 0;
};

int parse(const uint8_t* data, size_t size, Header& h) {
    if (size < 16) return kErrFileRead;
    ByteReader in(data, size);
    h.version = in.u16be();
    h.headerWords = in.u16be();
    h.planes = in.u16be();
    h.patternLength = in.u16be();
    h.micronsX = in.u16be(), h.micronsY = in.u16be();
    h.width = in.u16be(), h.height = in.u16be();
    if (h.headerWords < 8 || size_t(h.headerWords) * 2 > size) return kErrFileFormat;
    if (h.planes < 1 || h.planes > 8) return kErrFileFormat;
    if (h.patternLength < 1 || h.patternLength > 8) return kErrFileFormat;
    if (h.width == 0 || h.height == 0) return kErrFileFormat;
    h.ximg = h.headerWords >= 11 && std::memcmp(data + 16, "XIMG", 4) == 0;
    h.depth = h.planes == 1 ? 1 : h.planes <= 4 ? 4 : 8;
    return kSuccess;
}

int dpiOf(int microns) { return microns > 0 ? (25400 + microns / 2) / microns : 0; }

// The GEM VDI colours 0..15 (value -> colour, as GEM draws them).
constexpr uint8_t kGemColours[16][3] = {
    {255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255},
    {0, 255, 255}, {170, 170, 170}, {85, 85, 85}, {170, 0, 0}, {0, 170, 0}, {170, 170, 0},
    {0, 0, 170}, {170, 0, 170}, {0, 170, 170}, {0, 0, 0},
};

void setPalette(const uint8_t* data, size_t size, const Header& h, Bitmap& b) {
    const int entries = 1 << h.planes;
    if (h.ximg) {
        ByteReader in(data, size);
        in.seek(22);  // "XIMG", colour model
        for (int i = 0; i < entries && size_t(22 + 6 * (i + 1)) <= size_t(h.headerWords) * 2; ++i) {
            const int r = std::min<int>(in.u16be(), 1000), g = std::min<int>(in.u16be(), 1000),
                      bl = std::min<int>(in.u16be(), 1000);
            b.palette[i] = RgbQuad{uint8_t(bl * 255 / 1000), uint8_t(g * 255 / 1000), uint8_t(r * 255 / 1000), 0};
            b.paletteCount = i + 1;
        }
        if (b.paletteCount == entries) return;
    }
    if (h.planes == 1) {
        raster::setBlackWhitePalette(b);
        return;
    }
    b.palette.fill(RgbQuad{});
    for (int i = 0; i < entries && i < 256; ++i) {
        const uint8_t* c = kGemColours[i < 16 ? i : 15];
        b.palette[i] = RgbQuad{c[2], c[1], c[0], 0};
    }
    b.paletteCount = std::min(entries, 256);
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    Header h;
    if (parse(data, size, h) != kSuccess) return false;
    return h.version <= 2 && (h.headerWords <= 64 || h.ximg);
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Header h;
    const int status = parse(data, size, h);
    if (status != kSuccess) return status;
    raster::fillInfo(info, h.width, h.height, h.depth, dpiOf(h.micronsX), dpiOf(h.micronsY));
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Header h;
    int status = parse(data, size, h);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, h.width, h.height, h.depth);
    if (status != kSuccess) return status;
    setPalette(data, size, h, b);
    if (dpiOf(h.micronsX) > 0 && dpiOf(h.micronsY) > 0)
        b.xResolution = dpiOf(h.micronsX), b.yResolution = dpiOf(h.micronsY);

    ByteReader in(data, size);
    in.seek(size_t(h.headerWords) * 2);
    const size_t planeBytes = size_t(h.width + 7) / 8;
    std::vector<uint8_t> line(planeBytes * size_t(h.planes));
    std::vector<uint8_t> indices(static_cast<size_t>(h.width));
    int y = 0;
    while (y < h.height) {
        int repeat = 1;
        std::fill(line.begin(), line.end(), 0);
        for (int p = 0; p < h.planes; ++p) {
            uint8_t* plane = line.data() + planeBytes * size_t(p);
            size_t x = 0;
            while (x < planeBytes) {
                const uint8_t op = in.u8();
                if (in.ranOut()) return kErrFileRead;
                if (op == 0x00) {
                    const uint8_t n = in.u8();
                    if (n == 0) {  // 00 00 FF c: the next scanline is used c times
                        const uint8_t marker = in.u8();
                        const uint8_t count = in.u8();
                        if (marker != 0xFF) return kErrCorrupt;
                        if (x != 0 || p != 0) return kErrCorrupt;
                        repeat = std::max<int>(count, 1);
                        continue;
                    }
                    uint8_t pattern[8];
                    in.bytes(pattern, size_t(h.patternLength));
                    for (int i = 0; i < n; ++i)
                        for (int k = 0; k < h.patternLength; ++k)
                            if (x < planeBytes) plane[x++] = pattern[k];
                } else if (op == 0x80) {
                    const uint8_t n = in.u8();
                    for (int i = 0; i < n; ++i) {
                        const uint8_t v = in.u8();
                        if (x < planeBytes) plane[x++] = v;
                    }
                } else {
                    const uint8_t v = (op & 0x80) ? 0xFF : 0x00;
                    for (int i = 0; i < (op & 0x7F) && x < planeBytes; ++i) plane[x++] = v;
                }
                if (in.ranOut()) return kErrFileRead;
            }
        }
        for (int r = 0; r < repeat && y < h.height; ++r, ++y) {
            if (h.planes == 1) {
                raster::setRowInkBits(b, y, line.data(), planeBytes);
                continue;
            }
            for (int x = 0; x < h.width; ++x) {
                int v = 0;
                for (int p = 0; p < h.planes; ++p)
                    if (line[planeBytes * size_t(p) + size_t(x / 8)] & (0x80 >> (x & 7))) v |= 1 << p;
                indices[size_t(x)] = uint8_t(v);
            }
            raster::setRowIndices(b, y, indices.data());
        }
    }
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.bitsPerPixel != 1) return kErrBadBits;
    if (bitmap.width > 32767 || bitmap.height > 32767) return kErrImageType;
    const int dpi = bitmap.xResolution > 0 ? bitmap.xResolution : 96;
    const unsigned microns = unsigned(std::clamp(25400 / dpi, 1, 65535));
    out.clear();
    raster::ByteWriter w(out);
    w.u16be(1), w.u16be(8), w.u16be(1), w.u16be(1), w.u16be(microns), w.u16be(microns);
    w.u16be(unsigned(bitmap.width)), w.u16be(unsigned(bitmap.height));
    const size_t bytes = size_t(bitmap.width + 7) / 8;
    std::vector<uint8_t> row(bytes), next(bytes);
    for (int y = 0; y < bitmap.height;) {
        raster::rowInkBits(bitmap, y, row.data(), bytes);
        int same = 1;
        while (y + same < bitmap.height && same < 255) {
            raster::rowInkBits(bitmap, y + same, next.data(), bytes);
            if (next != row) break;
            ++same;
        }
        if (same > 1) w.u8(0), w.u8(0), w.u8(0xFF), w.u8(unsigned(same));
        size_t x = 0;
        while (x < bytes) {
            const uint8_t v = row[x];
            if (v == 0x00 || v == 0xFF) {
                size_t run = 1;
                while (x + run < bytes && row[x + run] == v && run < 127) ++run;
                w.u8(unsigned(run) | (v ? 0x80 : 0));
                x += run;
                continue;
            }
            size_t n = 1;
            while (x + n < bytes && n < 255 && row[x + n] != 0x00 && row[x + n] != 0xFF) ++n;
            w.u8(0x80), w.u8(unsigned(n)), w.bytes(row.data() + x, n);
            x += n;
        }
        y += same;
    }
    return kSuccess;
}

}  // namespace imaging::gem
