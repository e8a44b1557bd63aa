#include "imaging/codecs/pict.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/packbits.h"
#include "imaging/codecs/raster.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace imaging::pict {
namespace {

struct Rect {
    int top = 0, left = 0, bottom = 0, right = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

Rect readRect(ByteReader& in) {
    Rect r;
    r.top = int16_t(in.u16be()), r.left = int16_t(in.u16be());
    r.bottom = int16_t(in.u16be()), r.right = int16_t(in.u16be());
    return r;
}

// Where the picture starts (0 or 512) and its version, or 0 when not a PICT.
struct Start {
    size_t at = 0;
    int version = 0;
    Rect frame;
};

bool findStart(const uint8_t* data, size_t size, Start& s) {
    for (size_t at : {size_t(512), size_t(0)}) {
        if (size < at + 14) continue;
        const uint8_t* v = data + at + 10;
        int version = 0;
        if (v[0] == 0x11 && v[1] == 0x01) version = 1;
        else if (v[0] == 0x00 && v[1] == 0x11 && v[2] == 0x02 && v[3] == 0xFF) version = 2;
        if (!version) continue;
        ByteReader in(data + at + 2, 8);
        s.at = at;
        s.version = version;
        s.frame = readRect(in);
        return true;
    }
    return false;
}

struct PixMap {
    bool direct = false;
    int rowBytes = 0;
    bool isPixMap = false;
    Rect bounds;
    int packType = 0;
    int pixelSize = 1;
    int cmpCount = 1;
    std::array<RgbQuad, 256> palette{};
    int entries = 0;
    Rect src, dst;
};

int classDepth(const PixMap& p) {
    if (p.direct) return 24;
    if (p.pixelSize == 1) return 1;
    if (p.pixelSize <= 4) return 4;
    return 8;
}

int readPixMapHeader(ByteReader& in, PixMap& p) {
    const int rowBytes = in.u16be();
    p.isPixMap = (rowBytes & 0x8000) != 0;
    p.rowBytes = rowBytes & 0x3FFF;
    p.bounds = readRect(in);
    if (p.isPixMap) {
        in.u16be();  // version
        p.packType = in.u16be();
        in.u32be();  // packSize
        in.u32be(), in.u32be();  // resolution
        const int pixelType = in.u16be();
        p.pixelSize = in.u16be();
        p.cmpCount = in.u16be();
        in.u16be();  // cmpSize
        in.skip(12);
        if (p.direct != (pixelType == 16) && pixelType != 0 && pixelType != 16) return kErrFeature;
        if (p.direct) {
            if (p.pixelSize != 16 && p.pixelSize != 32) return kErrFeature;
            // 32-bit pixels are planes of R, G, B (after A with four components).
            if (p.pixelSize == 32 && p.cmpCount != 3 && p.cmpCount != 4) return kErrCorrupt;
        } else if (p.pixelSize != 1 && p.pixelSize != 2 && p.pixelSize != 4 && p.pixelSize != 8) {
            return kErrFeature;
        }
    } else {
        if (p.direct) return kErrCorrupt;
        p.pixelSize = 1;
    }
    if (!p.direct) {
        if (p.isPixMap) {
            in.u32be();
            const int flags = in.u16be();
            const int count = in.u16be() + 1;
            if (count > 256 && count != 65536) return kErrCorrupt;
            for (int i = 0; i < count && i < 256; ++i) {
                const int value = in.u16be();
                const uint8_t r = uint8_t(in.u16be() >> 8), g = uint8_t(in.u16be() >> 8),
                              b = uint8_t(in.u16be() >> 8);
                const int slot = (flags & 0x8000) ? i : value & 0xFF;
                p.palette[slot] = RgbQuad{b, g, r, 0};
                p.entries = std::max(p.entries, slot + 1);
            }
        } else {  // a plain bitmap: 0 white, 1 black
            p.palette[0] = RgbQuad{255, 255, 255, 0};
            p.palette[1] = RgbQuad{0, 0, 0, 0};
            p.entries = 2;
        }
    }
    p.src = readRect(in);
    p.dst = readRect(in);
    in.u16be();  // transfer mode
    if (in.ranOut()) return kErrFileRead;
    const int width = p.bounds.width(), height = p.bounds.height();
    if (width <= 0 || height <= 0) return kErrCorrupt;
    const int64_t needed = p.direct && p.pixelSize == 32 && p.packType == 2
                               ? int64_t(width) * 3
                               : (int64_t(width) * p.pixelSize + 7) / 8;
    if (p.rowBytes < needed && !(p.packType == 2 && p.rowBytes == 0)) return kErrCorrupt;
    return kSuccess;
}

// PackBits over 16-bit words (pack type 3).
size_t unpackWords(ByteReader& in, size_t coded, uint8_t* out, size_t size, bool& overflow) {
    const size_t end = std::min(in.position() + coded, in.position() + in.remaining());
    size_t made = 0;
    while (in.position() < end && made < size) {
        const int control = int8_t(in.u8());
        if (control >= 0) {
            for (int i = 0; i <= control; ++i) {
                const uint8_t hi = in.u8(), lo = in.u8();
                if (made + 1 < size) out[made] = hi, out[made + 1] = lo;
                made += 2;
            }
        } else if (control != -128) {
            const uint8_t hi = in.u8(), lo = in.u8();
            for (int i = 0; i < 1 - control; ++i) {
                if (made + 1 < size) out[made] = hi, out[made + 1] = lo;
                made += 2;
            }
        }
    }
    in.seek(end);
    overflow = made > size;
    return std::min(made, size);
}

// Reads the rows of one bitmap opcode and draws them into the picture.
int readRows(ByteReader& in, const PixMap& p, bool packed, const Rect& frame, Bitmap& b) {
    const int width = p.bounds.width(), height = p.bounds.height();
    int packType = p.packType;
    if (p.direct && packType == 0) packType = p.pixelSize == 32 ? 4 : 3;
    size_t rowLength = size_t(p.rowBytes);
    if (p.direct && packType == 2) rowLength = size_t(width) * 3;
    if (p.direct && packType == 4) rowLength = size_t(width) * size_t(p.cmpCount);
    const bool raw = !packed || p.rowBytes < 8 || (p.direct && (packType == 1 || packType == 2));
    if (raw && p.direct && packType == 4) rowLength = size_t(p.rowBytes);
    // The bytes the pixel loop below takes from a row: a header whose pack
    // type and component count disagree with its pixel size asks for more
    // than the row holds.
    size_t taken;
    if (!p.direct) taken = (size_t(width) * size_t(p.pixelSize) + 7) / 8;
    else if (p.pixelSize == 16) taken = size_t(width) * 2;
    else if (packType == 4 && !raw) taken = size_t(width) * (p.cmpCount == 4 ? 4 : 3);
    else if (packType == 2) taken = size_t(width) * 3;
    else taken = size_t(width) * 4;
    if (rowLength < taken) return kErrCorrupt;
    std::vector<uint8_t> row(rowLength + 2);
    std::vector<uint8_t> rgb(size_t(width) * 3);
    const int offsetX = p.dst.left - frame.left - (p.src.left - p.bounds.left);
    const int offsetY = p.dst.top - frame.top - (p.src.top - p.bounds.top);

    for (int y = 0; y < height; ++y) {
        if (raw) {
            if (!in.bytes(row.data(), rowLength)) return kErrFileRead;
        } else {
            const size_t coded = p.rowBytes > 250 ? in.u16be() : in.u8();
            if (in.ranOut()) return kErrFileRead;
            size_t made;
            bool overflow = false;
            if (p.direct && packType == 3) made = unpackWords(in, coded, row.data(), rowLength, overflow);
            else made = packbits::decodeBlock(in, coded, row.data(), rowLength, &overflow);
            if (in.ranOut()) return kErrFileRead;
            if (overflow) return kErrCorrupt;  // each row is coded alone
            if (made < rowLength) std::memset(row.data() + made, 0, rowLength - made);
        }
        const int ty = y + offsetY;
        if (ty < 0 || ty >= b.height) continue;
        uint8_t* out = raster::pictureRow(b, ty);
        for (int x = 0; x < width; ++x) {
            const int tx = x + offsetX;
            if (tx < 0 || tx >= b.width) continue;
            if (!p.direct) {
                int v;
                if (p.pixelSize == 2) v = (row[size_t(x) / 4] >> (6 - 2 * (x & 3))) & 3;
                else v = indexAt(row.data(), x, p.pixelSize);
                if (v >= p.entries) return kErrCorrupt;
                setIndexAt(out, tx, b.bitsPerPixel, v);
                continue;
            }
            uint8_t r, g, bl;
            if (p.pixelSize == 16) {
                const unsigned w = unsigned(row[2 * size_t(x)] << 8) | row[2 * size_t(x) + 1];
                r = expand5((w >> 10) & 31), g = expand5((w >> 5) & 31), bl = expand5(w & 31);
            } else if (packType == 4 && !raw) {
                const size_t plane = size_t(width), first = p.cmpCount == 4 ? plane : 0;
                r = row[first + size_t(x)], g = row[first + plane + size_t(x)],
                bl = row[first + 2 * plane + size_t(x)];
            } else if (packType == 2) {
                r = row[3 * size_t(x)], g = row[3 * size_t(x) + 1], bl = row[3 * size_t(x) + 2];
            } else {  // xRGB
                r = row[4 * size_t(x) + 1], g = row[4 * size_t(x) + 2], bl = row[4 * size_t(x) + 3];
            }
            uint8_t* q = out + 3 * tx;
            q[0] = bl, q[1] = g, q[2] = r;
        }
    }
    return kSuccess;
}

struct Parsed {
    Start start;
    int depth = 0;  // 0 until the first bitmap
    Rect canvas;
};

// Walks the opcodes. With a picture, draws every bitmap into it; without,
// stops at the first bitmap to learn the depth.
int walk(const uint8_t* data, size_t size, Parsed& parsed, Bitmap* picture) {
    Start& s = parsed.start;
    ByteReader in(data, size);
    const bool v2 = s.version == 2;
    in.seek(s.at + 10 + (v2 ? 4 : 2));
    int drawn = 0;
    for (int guard = 0; guard < 1000000; ++guard) {
        if (v2 && ((in.position() - s.at) & 1)) in.u8();
        const int op = v2 ? in.u16be() : in.u8();
        if (in.ranOut()) break;
        if (op == 0x00FF) break;
        if (op == 0x0090 || op == 0x0091 || (op >= 0x0098 && op <= 0x009B)) {
            PixMap p;
            p.direct = op == 0x009A || op == 0x009B;
            if (p.direct) in.u32be();  // base address
            int status = readPixMapHeader(in, p);
            if (status != kSuccess) return status;
            if (op & 1) {  // a mask region
                const int regionSize = in.u16be();
                if (regionSize < 10) return kErrCorrupt;
                in.skip(size_t(regionSize - 2));
            }
            if (in.ranOut()) return kErrFileRead;
            const int depth = classDepth(p);
            if (!picture) {
                parsed.depth = depth;
                parsed.canvas = s.frame.width() > 0 && s.frame.height() > 0 ? s.frame : p.bounds;
                return kSuccess;
            }
            if (drawn == 0 && depth <= 8) {
                picture->palette = p.palette;
                picture->paletteCount = p.entries;
            }
            Bitmap scratch;
            Bitmap& target = depth == picture->bitsPerPixel ? *picture : scratch;
            if (&target == &scratch) {  // another kind of bitmap: read past it
                status = raster::newPicture(scratch, 1, 1, depth);
                if (status != kSuccess) return status;
            }
            status = readRows(in, p, op >= 0x0098, parsed.canvas, target);
            if (status != kSuccess) return status;
            ++drawn;
            continue;
        }
        // Everything else is stepped over by its length.
        size_t skip = 0;
        switch (op) {
        case 0x0000: case 0x001C: case 0x001E: break;
        case 0x0001: {
            const int regionSize = in.u16be();
            if (regionSize < 2) return kErrCorrupt;
            skip = size_t(regionSize - 2);
            break;
        }
        case 0x0011: skip = v2 ? 2 : 1; break;  // a version opcode repeated
        case 0x0002: case 0x0009: case 0x000A: case 0x0010: skip = 8; break;
        case 0x0003: case 0x0005: case 0x0008: case 0x000D: case 0x0015: case 0x0016:
        case 0x00A0: skip = 2; break;
        case 0x0004: skip = 1; break;
        case 0x0006: case 0x0007: case 0x000B: case 0x000C: case 0x000E: case 0x000F: skip = 4; break;
        case 0x001A: case 0x001B: case 0x001D: case 0x001F: skip = 6; break;
        case 0x00A1: in.u16be(), skip = in.u16be(); break;
        case 0x0C00: skip = 24; break;
        default:
            if (v2 && op >= 0x0100 && op <= 0x7FFF) skip = size_t(op >> 8) * 2;
            else if (v2 && op >= 0x8000 && op <= 0x80FF) skip = 0;
            else if (v2 && op >= 0x8100) {
                if (op == 0x8200 || op == 0x8201) return drawn ? kSuccess : kErrFeature;
                skip = in.u32be();
            } else if (v2 && op >= 0x00A2 && op <= 0x00AF) skip = in.u16be();
            else return drawn ? kSuccess : kErrFeature;
        }
        in.skip(skip);
        if (in.ranOut()) return kErrFileRead;
    }
    if (!picture) return kErrFeature;  // no bitmap anywhere
    return drawn ? kSuccess : kErrFeature;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    Start s;
    return findStart(data, size, s);
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Parsed parsed;
    if (!findStart(data, size, parsed.start)) return kErrFileFormat;
    const int status = walk(data, size, parsed, nullptr);
    if (status != kSuccess) return status;
    raster::fillInfo(info, parsed.canvas.width(), parsed.canvas.height(), parsed.depth);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Parsed parsed;
    if (!findStart(data, size, parsed.start)) return kErrFileFormat;
    int status = walk(data, size, parsed, nullptr);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, parsed.canvas.width(), parsed.canvas.height(), parsed.depth);
    if (status != kSuccess) return status;
    b.xResolution = b.yResolution = 72;
    status = walk(data, size, parsed, &b);
    if (status != kSuccess) return status;
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    const int w = bitmap.width, h = bitmap.height;
    if (w > 0x3FFF / (bits == 24 ? 4 : 1) || h > 32767) return kErrImageType;

    out.assign(512, 0);
    raster::ByteWriter o(out);
    auto rect = [&](int top, int left, int bottom, int right) {
        o.u16be(unsigned(top)), o.u16be(unsigned(left)), o.u16be(unsigned(bottom)), o.u16be(unsigned(right));
    };
    auto align = [&] { if (out.size() & 1) o.u8(0); };
    o.u16be(0);  // picture size, patched below
    rect(0, 0, h, w);
    o.u16be(0x0011), o.u16be(0x02FF);
    o.u16be(0x0C00), o.u16be(0xFFFE), o.u16be(0);
    o.u32be(uint32_t(bitmap.xResolution) << 16), o.u32be(uint32_t(bitmap.yResolution) << 16);
    rect(0, 0, h, w);
    o.u32be(0);
    o.u16be(0x001E);
    o.u16be(0x0001), o.u16be(10), rect(0, 0, h, w);

    const bool direct = bits == 24;
    const int rowBytes = direct ? w * 4 : ((w * bits + 15) / 16) * 2;
    o.u16be(direct ? 0x009A : 0x0098);
    if (direct) o.u32be(0x000000FF);
    o.u16be(unsigned(rowBytes) | 0x8000);
    rect(0, 0, h, w);
    o.u16be(0), o.u16be(direct ? 4 : 0), o.u32be(0);
    o.u32be(72u << 16), o.u32be(72u << 16);
    o.u16be(direct ? 16 : 0), o.u16be(direct ? 32 : unsigned(bits));
    o.u16be(direct ? 3 : 1), o.u16be(direct ? 8 : unsigned(bits));
    o.u32be(0), o.u32be(0), o.u32be(0);
    if (!direct) {
        const int entries = 1 << bits;
        o.u32be(0), o.u16be(0), o.u16be(unsigned(entries - 1));
        for (int i = 0; i < entries; ++i) {
            const RgbQuad& q = bitmap.palette[i];
            o.u16be(unsigned(i)), o.u16be(q.red * 257u), o.u16be(q.green * 257u), o.u16be(q.blue * 257u);
        }
    }
    rect(0, 0, h, w);
    rect(0, 0, h, w);
    o.u16be(0);  // srcCopy

    std::vector<uint8_t> line(size_t(w) * 3), row(size_t(rowBytes) + size_t(w) * 3), coded;
    for (int y = 0; y < h; ++y) {
        size_t length;
        if (direct) {
            raster::rowRgb(bitmap, y, line.data());
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) row[size_t(c) * w + x] = line[3 * size_t(x) + c];
            length = size_t(w) * 3;
            if (rowBytes < 8) {  // unpacked xRGB
                for (int x = 0; x < w; ++x)
                    row[4 * x] = 0, row[4 * x + 1] = line[3 * x], row[4 * x + 2] = line[3 * x + 1],
                    row[4 * x + 3] = line[3 * x + 2];
                length = size_t(rowBytes);
            }
        } else {
            raster::rowIndices(bitmap, y, line.data());
            std::memset(row.data(), 0, size_t(rowBytes));
            for (int x = 0; x < w; ++x) setIndexAt(row.data(), x, bits, line[x]);
            length = size_t(rowBytes);
        }
        if (rowBytes < 8) {
            o.bytes(row.data(), length);
            continue;
        }
        coded.clear();
        packbits::encode(row.data(), length, coded);
        if (rowBytes > 250) o.u16be(unsigned(coded.size()));
        else o.u8(unsigned(coded.size()));
        o.bytes(coded.data(), coded.size());
    }
    align();
    o.u16be(0x00FF);
    o.patch16be(512, unsigned((out.size() - 512) & 0xFFFF));
    return kSuccess;
}

}  // namespace imaging::pict
