#include "imaging/codecs/tga.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::tga {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr char kFooter[] = "TRUEVISION-XFILE.";

struct Header {
    int idLength = 0;
    int mapType = 0;
    int type = 0;
    int mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 0, height = 0;
    int pixelBits = 0;
    int descriptor = 0;
    bool rle = false;
    int depth = 0;  // of the record
};

int parse(const uint8_t* data, size_t size, Header& h) {
    if (size < kHeaderSize) return kErrFileRead;
    ByteReader in(data, size);
    h.idLength = in.u8();
    h.mapType = in.u8();
    h.type = in.u8();
    h.mapFirst = in.u16();
    h.mapLength = in.u16();
    h.mapBits = in.u8();
    in.u16(), in.u16();
    h.width = in.u16();
    h.height = in.u16();
    h.pixelBits = in.u8();
    h.descriptor = in.u8();
    if (h.mapType > 1) return kErrFileFormat;
    h.rle = h.type >= 9;
    const int base = h.rle ? h.type - 8 : h.type;
    if (base < 1 || base > 3) return kErrFileFormat;
    if (h.mapType == 1 && h.mapBits != 15 && h.mapBits != 16 && h.mapBits != 24 && h.mapBits != 32)
        return kErrFileFormat;
    if (h.width == 0 || h.height == 0) return kErrFileFormat;
    switch (base) {
    case 1:
        if (h.mapType != 1 || h.pixelBits != 8) return h.mapType != 1 ? kErrFileFormat : kErrFeature;
        h.depth = 8;
        break;
    case 2:
        if (h.pixelBits == 15 || h.pixelBits == 16) h.depth = 15;
        else if (h.pixelBits == 24) h.depth = 24;
        else if (h.pixelBits == 32) h.depth = 32;
        else return kErrFileFormat;
        break;
    case 3:
        if (h.pixelBits != 8) return h.pixelBits == 16 ? kErrFeature : kErrFileFormat;
        h.depth = 8;
        break;
    }
    return kSuccess;
}

RgbQuad mapEntry(ByteReader& in, int bits) {
    if (bits == 15 || bits == 16) {
        const unsigned v = in.u16();
        return RgbQuad{expand5(v & 31), expand5((v >> 5) & 31), expand5((v >> 10) & 31), 0};
    }
    RgbQuad q{};
    q.blue = in.u8(), q.green = in.u8(), q.red = in.u8();
    if (bits == 32) in.u8();
    return q;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    if (size >= kHeaderSize + 26 && std::memcmp(data + size - 18, kFooter, 18) == 0) return true;
    Header h;
    if (parse(data, size, h) != kSuccess) return false;
    // Header fields that must be plausible for an unsigned format.
    if (h.mapType == 0 && (h.mapLength != 0 || h.mapFirst != 0)) return false;
    if ((h.descriptor & 0xC0) != 0) return false;
    return true;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Header h;
    const int status = parse(data, size, h);
    if (status != kSuccess) return status;
    raster::fillInfo(info, h.width, h.height, h.depth);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Header h;
    int status = parse(data, size, h);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, h.width, h.height, h.depth);
    if (status != kSuccess) return status;

    ByteReader in(data, size);
    in.seek(kHeaderSize + size_t(h.idLength));
    const int base = h.rle ? h.type - 8 : h.type;
    int mapKept = 0;
    if (h.mapType == 1) {
        for (int i = 0; i < h.mapLength; ++i) {
            const RgbQuad q = mapEntry(in, h.mapBits);
            if (base == 1 && i < 256) b.palette[i] = q, mapKept = i + 1;
        }
        if (in.ranOut()) return kErrFileRead;
        if (base == 1) b.paletteCount = mapKept;
    }
    if (base == 3) {
        for (int i = 0; i < 256; ++i) b.palette[i] = RgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
        b.paletteCount = 256;
    }

    const int pixelBytes = (h.pixelBits + 7) / 8;
    const size_t rowBytes = size_t(h.width) * size_t(pixelBytes);
    std::vector<uint8_t> row(rowBytes);
    std::vector<uint8_t> packet(static_cast<size_t>(pixelBytes));
    int runLeft = 0;
    bool runRepeat = false;
    const bool topDown = (h.descriptor & 0x20) != 0;
    const bool rightToLeft = (h.descriptor & 0x10) != 0;
    for (int r = 0; r < h.height; ++r) {
        if (!h.rle) {
            if (!in.bytes(row.data(), rowBytes)) return kErrFileRead;
        } else {
            // Packets are one stream: a run may continue into the next row.
            for (size_t x = 0; x < size_t(h.width); ++x) {
                if (runLeft == 0) {
                    const uint8_t head = in.u8();
                    runLeft = (head & 0x7F) + 1;
                    runRepeat = (head & 0x80) != 0;
                    if (runRepeat) in.bytes(packet.data(), packet.size());
                    if (in.ranOut()) return kErrFileRead;
                }
                uint8_t* p = row.data() + x * size_t(pixelBytes);
                if (runRepeat) std::memcpy(p, packet.data(), packet.size());
                else if (!in.bytes(p, size_t(pixelBytes))) return kErrFileRead;
                --runLeft;
            }
        }
        const int y = topDown ? r : h.height - 1 - r;
        uint8_t* out = raster::pictureRow(b, y);
        for (int i = 0; i < h.width; ++i) {
            const int x = rightToLeft ? h.width - 1 - i : i;
            const uint8_t* p = row.data() + size_t(i) * size_t(pixelBytes);
            switch (h.depth) {
            case 8:
                if (base == 1) {
                    const int index = p[0] - h.mapFirst;
                    if (index < 0 || index >= mapKept) return kErrCorrupt;
                    out[x] = uint8_t(index);
                } else {
                    out[x] = p[0];
                }
                break;
            case 15: out[2 * x] = p[0], out[2 * x + 1] = uint8_t(p[1] & 0x7F); break;
            case 24: std::memcpy(out + 3 * x, p, 3); break;
            case 32: std::memcpy(out + 4 * x, p, 3), out[4 * x + 3] = 0; break;
            }
        }
    }
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 8 || bits == 15 || bits == 24 || bits == 32; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    if (bitmap.width > 65535 || bitmap.height > 65535) return kErrImageType;
    const bool grey = bits == 8 && raster::isGreyRamp(bitmap);
    const bool mapped = bits == 8 && !grey;
    const int entries = mapped ? (bitmap.paletteCount > 0 ? bitmap.paletteCount : 256) : 0;

    out.clear();
    raster::ByteWriter w(out);
    w.u8(0), w.u8(mapped ? 1 : 0), w.u8(mapped ? 1 : grey ? 3 : 2);
    w.u16(0), w.u16(unsigned(entries)), w.u8(mapped ? 24 : 0);
    w.u16(0), w.u16(0), w.u16(unsigned(bitmap.width)), w.u16(unsigned(bitmap.height));
    w.u8(bits == 15 ? 16 : unsigned(bits));
    w.u8(bits == 32 ? 8 : 0);  // alpha bits; origin bottom left
    for (int i = 0; i < entries; ++i) {
        const RgbQuad& q = bitmap.palette[i];
        w.u8(q.blue), w.u8(q.green), w.u8(q.red);
    }
    std::vector<uint8_t> line(size_t(bitmap.width) * 3);
    for (int y = bitmap.height - 1; y >= 0; --y) {
        if (bits == 8) {
            raster::rowIndices(bitmap, y, line.data());
            w.bytes(line.data(), size_t(bitmap.width));
        } else if (bits == 15) {
            const uint8_t* row = raster::pictureRow(bitmap, y);
            for (int x = 0; x < bitmap.width; ++x) w.u8(row[2 * x]), w.u8(row[2 * x + 1] & 0x7F);
        } else {
            raster::rowRgb(bitmap, y, line.data());
            for (int x = 0; x < bitmap.width; ++x) {
                w.u8(line[3 * x + 2]), w.u8(line[3 * x + 1]), w.u8(line[3 * x]);
                if (bits == 32) w.u8(255);
            }
        }
    }
    w.u32(0), w.u32(0);
    w.bytes(reinterpret_cast<const uint8_t*>(kFooter), sizeof kFooter);
    return kSuccess;
}

}  // namespace imaging::tga
