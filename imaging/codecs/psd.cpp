#include "imaging/codecs/psd.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/packbits.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::psd {
namespace {

enum Mode { kBitmapMode = 0, kGrey = 1, kIndexed = 2, kRgbMode = 3, kCmyk = 4 };

struct Header {
    int channels = 0;
    uint32_t width = 0, height = 0;
    int depth = 0;
    int mode = 0;
    int recordBits = 0;
    int xDpi = 0, yDpi = 0;
    size_t colorData = 0, colorLength = 0;
    size_t imageData = 0;
};

int channelsNeeded(int mode) {
    switch (mode) {
    case kRgbMode: return 3;
    case kCmyk: return 4;
    default: return 1;
    }
}

int parse(const uint8_t* data, size_t size, Header& h) {
    if (size < 26) return kErrFileRead;
    ByteReader in(data, size);
    if (in.u32be() != 0x38425053) return kErrFileFormat;  // 8BPS
    const int version = in.u16be();
    if (version == 2) return kErrFeature;  // large document (PSB)
    if (version != 1) return kErrFileFormat;
    in.skip(6);
    h.channels = in.u16be();
    h.height = in.u32be();
    h.width = in.u32be();
    h.depth = in.u16be();
    h.mode = in.u16be();
    if (h.channels < 1 || h.channels > 56) return kErrFileFormat;
    if (h.width == 0 || h.height == 0 || h.width > 300000 || h.height > 300000) return kErrFileFormat;
    if (h.depth != 1 && h.depth != 8 && h.depth != 16) return kErrBadBits;
    switch (h.mode) {
    case kBitmapMode:
        if (h.depth != 1) return kErrCorrupt;
        h.recordBits = 1;
        break;
    case kGrey: case kIndexed: h.recordBits = 8; break;
    case kRgbMode: case kCmyk: h.recordBits = 24; break;
    default: return kErrFeature;
    }
    if (h.mode != kBitmapMode && h.depth == 1) return kErrCorrupt;
    if (h.mode == kIndexed && h.depth != 8) return kErrCorrupt;
    if (h.channels < channelsNeeded(h.mode)) return kErrCorrupt;

    // Colour data, resources, layer and mask information: each a u32 length.
    const uint32_t colorLength = in.u32be();
    h.colorData = in.position();
    h.colorLength = colorLength;
    in.skip(colorLength);
    const uint32_t resourceLength = in.u32be();
    const size_t resources = in.position();
    in.skip(resourceLength);
    const uint32_t layerLength = in.u32be();
    in.skip(layerLength);
    if (in.ranOut()) return kErrFileRead;
    h.imageData = in.position();
    if (h.mode == kIndexed && colorLength < 768) return kErrNoPalette;

    // Resolution (resource 0x03ED): Fixed 16.16 dots per inch.
    ByteReader r(data + resources, resourceLength);
    while (r.remaining() >= 12) {
        if (r.u32be() != 0x3842494D) break;  // 8BIM
        const int id = r.u16be();
        const int nameLength = r.u8();
        r.skip(size_t(nameLength + ((nameLength + 1) & 1)));
        const uint32_t length = r.u32be();
        if (r.ranOut() || length > r.remaining()) break;
        if (id == 0x03ED && length >= 16) {
            ByteReader res(r.here(), length);
            h.xDpi = int(res.u32be() >> 16);
            res.skip(4);
            h.yDpi = int(res.u32be() >> 16);
        }
        r.skip(length + (length & 1));
    }
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= 26 && std::memcmp(data, "8BPS", 4) == 0;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Header h;
    const int status = parse(data, size, h);
    if (status != kSuccess) return status;
    raster::fillInfo(info, int(h.width), int(h.height), h.recordBits, h.xDpi, h.yDpi);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Header h;
    int status = parse(data, size, h);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, h.width, h.height, h.recordBits);
    if (status != kSuccess) return status;
    if (h.xDpi > 0 && h.yDpi > 0) b.xResolution = h.xDpi, b.yResolution = h.yDpi;
    if (h.mode == kIndexed) {
        const uint8_t* map = data + h.colorData;
        for (int i = 0; i < 256; ++i) b.palette[i] = RgbQuad{map[512 + i], map[256 + i], map[i], 0};
        b.paletteCount = 256;
    }
    if (h.mode == kBitmapMode) raster::setBlackWhitePalette(b);

    ByteReader in(data, size);
    in.seek(h.imageData);
    const int compression = in.u16be();
    if (in.ranOut()) return kErrFileRead;
    if (compression > 1) return kErrUnknownCompression;

    const size_t rowBytes = h.depth == 1 ? (h.width + 7) / 8 : size_t(h.width) * (h.depth / 8);
    const int used = channelsNeeded(h.mode);
    const size_t rows = size_t(h.height);
    std::vector<uint32_t> counts;
    if (compression == 1) {
        counts.resize(size_t(h.channels) * rows);
        for (uint32_t& c : counts) c = in.u16be();
        if (in.ranOut()) return kErrFileRead;
    }
    // One plane of 8-bit samples per colour channel.
    std::vector<uint8_t> planes(size_t(used) * rows * (h.depth == 1 ? rowBytes : h.width));
    std::vector<uint8_t> row(rowBytes);
    for (int c = 0; c < used; ++c) {
        for (size_t y = 0; y < rows; ++y) {
            if (compression == 0) {
                if (!in.bytes(row.data(), rowBytes)) return kErrFileRead;
            } else {
                bool overflow = false;
                const size_t made = packbits::decodeBlock(in, counts[size_t(c) * rows + y], row.data(),
                                                          rowBytes, &overflow);
                if (in.ranOut()) return kErrFileRead;
                // Each row is coded alone: a row that comes out short or long is corrupt.
                if (made < rowBytes || overflow) return kErrCorrupt;
            }
            if (h.depth == 1) {
                std::memcpy(planes.data() + y * rowBytes, row.data(), rowBytes);
            } else {
                uint8_t* to = planes.data() + (size_t(c) * rows + y) * h.width;
                const size_t step = size_t(h.depth / 8);  // 16-bit: the high byte comes first
                for (size_t x = 0; x < h.width; ++x) to[x] = row[x * step];
            }
        }
    }
    std::vector<uint8_t> rgb(size_t(h.width) * 3);
    for (size_t y = 0; y < rows; ++y) {
        const int yy = int(y);
        if (h.mode == kBitmapMode) {
            raster::setRowInkBits(b, yy, planes.data() + y * rowBytes, rowBytes);
        } else if (h.mode == kGrey || h.mode == kIndexed) {
            raster::setRowIndices(b, yy, planes.data() + y * h.width);
        } else {
            const size_t plane = rows * h.width;
            const uint8_t* p = planes.data() + y * h.width;
            for (size_t x = 0; x < h.width; ++x) {
                if (h.mode == kRgbMode) {
                    for (int c = 0; c < 3; ++c) rgb[3 * x + c] = p[plane * c + x];
                } else {  // CMYK is stored inverted: 255 is no ink
                    const int k = p[plane * 3 + x];
                    for (int c = 0; c < 3; ++c) rgb[3 * x + c] = uint8_t(p[plane * c + x] * k / 255);
                }
            }
            raster::setRowRgb(b, yy, rgb.data());
        }
    }
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1 || bits == 8 || bits == 24; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    if (bitmap.width > 30000 || bitmap.height > 30000) return kErrImageType;
    const bool grey = bits == 8 && raster::isGreyRamp(bitmap);
    const int mode = bits == 1 ? kBitmapMode : bits == 24 ? kRgbMode : grey ? kGrey : kIndexed;
    const int channels = bits == 24 ? 3 : 1;
    const size_t rowBytes = bits == 1 ? size_t(bitmap.width + 7) / 8 : size_t(bitmap.width);
    const size_t rows = size_t(bitmap.height);

    out.clear();
    raster::ByteWriter w(out);
    w.text("8BPS"), w.u16be(1), w.fill(0, 6), w.u16be(unsigned(channels));
    w.u32be(uint32_t(bitmap.height)), w.u32be(uint32_t(bitmap.width));
    w.u16be(bits == 1 ? 1 : 8), w.u16be(unsigned(mode));
    if (mode == kIndexed) {
        w.u32be(768);
        for (int i = 0; i < 256; ++i) w.u8(bitmap.palette[i].red);
        for (int i = 0; i < 256; ++i) w.u8(bitmap.palette[i].green);
        for (int i = 0; i < 256; ++i) w.u8(bitmap.palette[i].blue);
    } else {
        w.u32be(0);
    }
    // Resolution resource: Fixed dpi, unit inch, for both directions.
    w.u32be(28), w.text("8BIM"), w.u16be(0x03ED), w.u16be(0), w.u32be(16);
    w.u32be(uint32_t(bitmap.xResolution) << 16), w.u16be(1), w.u16be(1);
    w.u32be(uint32_t(bitmap.yResolution) << 16), w.u16be(1), w.u16be(1);
    w.u32be(0);  // no layers
    w.u16be(1);  // PackBits

    std::vector<std::vector<uint8_t>> coded(size_t(channels) * rows);
    std::vector<uint8_t> line(size_t(bitmap.width) * 3), plane(rowBytes);
    for (size_t y = 0; y < rows; ++y) {
        const int yy = int(y);
        if (bits == 1) {
            raster::rowInkBits(bitmap, yy, plane.data(), rowBytes);
            packbits::encode(plane.data(), rowBytes, coded[y]);
        } else if (bits == 8) {
            raster::rowIndices(bitmap, yy, plane.data());
            packbits::encode(plane.data(), rowBytes, coded[y]);
        } else {
            raster::rowRgb(bitmap, yy, line.data());
            for (int c = 0; c < 3; ++c) {
                for (size_t x = 0; x < rowBytes; ++x) plane[x] = line[3 * x + c];
                packbits::encode(plane.data(), rowBytes, coded[size_t(c) * rows + y]);
            }
        }
    }
    for (const auto& c : coded) w.u16be(unsigned(c.size()));
    for (const auto& c : coded) w.bytes(c.data(), c.size());
    return kSuccess;
}

}  // namespace imaging::psd
