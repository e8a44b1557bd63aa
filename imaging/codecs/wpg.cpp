#include "imaging/codecs/wpg.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::wpg {
namespace {

constexpr uint8_t kMagic[4] = {0xFF, 'W', 'P', 'C'};
enum Record : uint8_t { kColourMap = 0x0E, kBitmap1 = 0x0B, kBitmap2 = 0x14, kStart = 0x0F, kEnd = 0x10 };

struct Found {
    std::array<RgbQuad, 256> palette{};
    int entries = 0;
    int width = 0, height = 0, depth = 0, hres = 0;
    size_t dataAt = 0, dataEnd = 0;
};

int recordDepth(int depth) { return depth == 1 ? 1 : depth <= 4 ? 4 : 8; }

int scan(const uint8_t* data, size_t size, Found& f) {
    if (size < 16 || std::memcmp(data, kMagic, 4) != 0) return size < 16 ? kErrFileRead : kErrFileFormat;
    ByteReader in(data, size);
    in.seek(4);
    const uint32_t start = in.u32();
    in.u8();
    in.u8();
    const int major = in.u8();
    in.u8();
    const int key = in.u16();
    if (major == 2) return kErrFeature;
    if (major != 1) return kErrFileFormat;
    if (key != 0) return kErrFeature;  // encrypted
    if (start < 16 || start > size) return kErrFileRead;
    in.seek(start);
    while (true) {
        const uint8_t type = in.u8();
        uint32_t length = in.u8();
        if (length == 0xFF) {
            length = in.u16();
            if (length & 0x8000) length = ((length & 0x7FFF) << 16) | in.u16();
        }
        if (in.ranOut()) return kErrFileRead;
        if (length > in.remaining()) return kErrFileRead;
        const size_t body = in.position();
        ByteReader r(in.here(), length);
        if (type == kEnd) break;
        if (type == kColourMap) {
            const int first = r.u16(), count = r.u16();
            for (int i = 0; i < count && r.remaining() >= 3; ++i) {
                RgbQuad q{};
                q.red = r.u8(), q.green = r.u8(), q.blue = r.u8();
                if (first + i < 256) f.palette[size_t(first + i)] = q, f.entries = std::max(f.entries, first + i + 1);
            }
        } else if (type == kBitmap1 || type == kBitmap2) {
            if (type == kBitmap2) r.skip(10);  // rotation and corners
            f.width = r.u16(), f.height = r.u16(), f.depth = r.u16();
            f.hres = r.u16();
            r.u16();
            if (r.ranOut()) return kErrFileRead;
            if (f.width == 0 || f.height == 0) return kErrFileFormat;
            if (f.depth != 1 && f.depth != 2 && f.depth != 4 && f.depth != 8) return kErrBadBits;
            f.dataAt = body + r.position();
            f.dataEnd = body + length;
            return kSuccess;
        }
        in.skip(length);
        (void)body;
    }
    return kErrFeature;  // no bitmap
}

}  // namespace

bool probe(const uint8_t* data, size_t size) { return size >= 16 && std::memcmp(data, kMagic, 4) == 0; }

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Found f;
    const int status = scan(data, size, f);
    if (status != kSuccess) return status;
    raster::fillInfo(info, f.width, f.height, recordDepth(f.depth), f.hres, f.hres);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Found f;
    int status = scan(data, size, f);
    if (status != kSuccess) return status;
    const int depth = recordDepth(f.depth);
    Bitmap b;
    status = raster::newPicture(b, f.width, f.height, depth);
    if (status != kSuccess) return status;
    if (f.entries > 0) {
        b.palette = f.palette;
        b.paletteCount = std::min(f.entries, 1 << depth);
    }
    if (f.hres > 0 && f.hres < 10000) b.xResolution = b.yResolution = f.hres;

    const size_t rowBytes = size_t(int64_t(f.width) * f.depth + 7) / 8;
    std::vector<uint8_t> row(rowBytes), previous(rowBytes), indices(static_cast<size_t>(f.width));
    ByteReader in(data + f.dataAt, f.dataEnd - f.dataAt);
    auto store = [&](int y) {
        if (f.depth == 2) {
            for (int x = 0; x < f.width; ++x) indices[size_t(x)] = uint8_t((row[size_t(x) / 4] >> (6 - 2 * (x & 3))) & 3);
            raster::setRowIndices(b, y, indices.data());
        } else {
            std::memcpy(raster::pictureRow(b, y), row.data(), rowBytes);
        }
    };
    int y = 0;
    while (y < f.height) {
        size_t x = 0;
        int repeat = 0;
        while (x < rowBytes) {
            const uint8_t head = in.u8();
            const int count = head & 0x7F;
            if (head & 0x80) {
                const uint8_t v = in.u8();
                const size_t n = count > 0 ? size_t(count) : v;
                if (n > rowBytes - x) return kErrCorrupt;  // a run past the row
                std::memset(row.data() + x, count > 0 ? v : 0xFF, n);
                x += n;
            } else if (count > 0) {
                if (size_t(count) > rowBytes - x) return kErrCorrupt;
                in.bytes(row.data() + x, size_t(count));
                x += size_t(count);
            } else {  // repeat the previous row
                const uint8_t n = in.u8();
                if (x != 0 || y == 0) return in.ranOut() ? kErrFileRead : kErrCorrupt;
                repeat = n;
                break;
            }
            if (in.ranOut()) return kErrFileRead;
        }
        if (in.ranOut()) return kErrFileRead;
        if (repeat) {
            for (int i = 0; i < repeat && y < f.height; ++i) {
                row = previous;
                store(y++);
            }
            continue;
        }
        store(y++);
        previous = row;
    }
    if (depth <= 8 && f.entries > 0)
        for (int yy = 0; yy < f.height; ++yy)
            for (int xx = 0; xx < f.width; ++xx)
                if (indexAt(raster::pictureRow(b, yy), xx, depth) >= b.paletteCount) return kErrCorrupt;
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1 || bits == 4 || bits == 8; }

namespace {

void recordHead(raster::ByteWriter& w, unsigned type, size_t length) {
    w.u8(type);
    if (length < 0xFF) {
        w.u8(unsigned(length));
    } else if (length < 0x8000) {
        w.u8(0xFF), w.u16(unsigned(length));
    } else {
        w.u8(0xFF), w.u16(unsigned(length >> 16) | 0x8000), w.u16(unsigned(length & 0xFFFF));
    }
}

void encodeRow(const uint8_t* p, size_t n, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 127 && p[i + run] == p[i]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(0x80 | run)), out.push_back(p[i]);
            i += run;
            continue;
        }
        size_t count = 0;
        while (i + count < n && count < 127 && !(i + count + 1 < n && p[i + count] == p[i + count + 1])) ++count;
        if (count == 0) count = 1;
        out.push_back(uint8_t(count));
        out.insert(out.end(), p + i, p + i + count);
        i += count;
    }
}

}  // namespace

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    if (bitmap.width > 32767 || bitmap.height > 32767) return kErrImageType;
    const int dpi = bitmap.xResolution > 0 && bitmap.xResolution < 10000 ? bitmap.xResolution : 96;
    std::vector<uint8_t> pixels;
    const size_t rowBytes = size_t(bitmap.width * bits + 7) / 8;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = raster::pictureRow(bitmap, y);
        std::vector<uint8_t> clean(row, row + rowBytes);
        if ((bitmap.width * bits) & 7) clean[rowBytes - 1] &= uint8_t(0xFF00 >> ((bitmap.width * bits) & 7));
        encodeRow(clean.data(), rowBytes, pixels);
    }
    out.clear();
    raster::ByteWriter w(out);
    w.bytes(kMagic, 4), w.u32(16), w.u8(1), w.u8(0x16), w.u8(1), w.u8(0), w.u16(0), w.u16(0);
    recordHead(w, kStart, 6);
    w.u8(1), w.u8(0);
    w.u16(unsigned(int64_t(bitmap.width) * 1200 / dpi)), w.u16(unsigned(int64_t(bitmap.height) * 1200 / dpi));
    const int entries = 1 << bits;
    recordHead(w, kColourMap, 4 + size_t(entries) * 3);
    w.u16(0), w.u16(unsigned(entries));
    for (int i = 0; i < entries; ++i) {
        const RgbQuad& q = bitmap.palette[i];
        w.u8(q.red), w.u8(q.green), w.u8(q.blue);
    }
    recordHead(w, kBitmap1, 10 + pixels.size());
    w.u16(unsigned(bitmap.width)), w.u16(unsigned(bitmap.height)), w.u16(unsigned(bits));
    w.u16(unsigned(dpi)), w.u16(unsigned(dpi));
    w.bytes(pixels.data(), pixels.size());
    recordHead(w, kEnd, 0);
    return kSuccess;
}

}  // namespace imaging::wpg
