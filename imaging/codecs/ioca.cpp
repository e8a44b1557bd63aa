#include "imaging/codecs/ioca.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/fax.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cstring>

namespace imaging::ioca {
namespace {

constexpr uint32_t kBdt = 0xD3A8A8, kEdt = 0xD3A9A8, kBpg = 0xD3A8AF, kEpg = 0xD3A9AF;
constexpr uint32_t kBim = 0xD3A8FB, kEim = 0xD3A9FB, kBog = 0xD3A8C7, kEog = 0xD3A9C7;
constexpr uint32_t kIdd = 0xD3A6FB, kIpd = 0xD3EEFB;
enum Compression { kIbmMmr = 0x01, kNone = 0x03, kG3Mh = 0x80, kG3Mr = 0x81, kG4 = 0x82, kJpeg = 0x83 };

struct Image {
    int width = 0, height = 0;
    int xDpi = 0, yDpi = 0;
    int compression = kNone;
    int bits = 1;
    std::vector<uint8_t> data;
};

int dpiFrom(int unitBase, int resolution) {
    if (resolution <= 0) return 0;
    return unitBase == 0 ? resolution / 10 : int(int64_t(resolution) * 254 / 1000);
}

bool isStructuredField(const uint8_t* d, size_t size) {
    return size >= 9 && d[0] == 0x5A && d[3] == 0xD3 && ((d[1] << 8) | d[2]) >= 8;
}

// The IOCA segment's self-defining fields.
int parseSegment(const uint8_t* d, size_t size, Image& image, bool wantData) {
    ByteReader in(d, size);
    bool sawSize = false;
    while (in.remaining() > 0) {
        const uint8_t id = in.u8();
        if (id == 0xFE) {  // extended: 2-byte id, u16 length
            const uint8_t second = in.u8();
            const size_t length = in.u16be();
            if (in.ranOut()) return kErrFileRead;
            if (length > in.remaining()) return kErrFileRead;
            if (second == 0x92 && wantData) image.data.insert(image.data.end(), in.here(), in.here() + length);
            in.skip(length);
            continue;
        }
        const size_t length = in.u8();
        if (in.ranOut() || length > in.remaining()) return kErrFileRead;
        ByteReader p(in.here(), length);
        switch (id) {
        case 0x94: {  // image size
            const int unit = p.u8();
            const int xr = p.u16be(), yr = p.u16be();
            image.width = p.u16be(), image.height = p.u16be();
            if (p.ranOut()) return kErrCorrupt;
            image.xDpi = dpiFrom(unit, xr), image.yDpi = dpiFrom(unit, yr);
            sawSize = true;
            break;
        }
        case 0x95: image.compression = p.u8(); break;
        case 0x96: image.bits = p.u8(); break;
        default: break;  // begin/end segment and content, LUT-ID, others
        }
        in.skip(length);
    }
    if (!sawSize && image.width == 0) return kErrFileFormat;
    return kSuccess;
}

int parse(const uint8_t* data, size_t size, Image& image, bool wantData) {
    if (size >= 2 && data[0] == 0x70 && data[1] <= 0x10) return parseSegment(data, size, image, wantData);
    if (!isStructuredField(data, size)) return kErrFileFormat;
    ByteReader in(data, size);
    std::vector<uint8_t> segment;
    bool sawImage = false;
    while (in.remaining() > 0) {
        const size_t at = in.position();
        if (in.u8() != 0x5A) {
            if (at == 0) return kErrFileFormat;
            break;  // trailing bytes after the document
        }
        const size_t length = in.u16be();
        const uint32_t id = uint32_t(in.u8()) << 16 | uint32_t(in.u8()) << 8 | in.u8();
        const uint8_t flags = in.u8();
        in.u16be();
        if (in.ranOut()) return kErrFileRead;
        if (length < 8) return kErrCorrupt;
        if (length + 1 > size - at) return kErrFileRead;
        size_t dataAt = at + 9, dataEnd = at + 1 + length;
        if (flags & 0x80) {  // an extension precedes the data
            if (dataAt >= dataEnd) return kErrCorrupt;
            dataAt += data[dataAt];
        }
        if ((flags & 0x08) && dataEnd > dataAt) {  // padding: its length is the last byte
            const size_t pad = data[dataEnd - 1];
            dataEnd = pad <= dataEnd - dataAt ? dataEnd - pad : dataAt;
        }
        if (dataAt > dataEnd) return kErrCorrupt;
        ByteReader f(data + dataAt, dataEnd - dataAt);
        if (id == kIdd) {
            const int unit = f.u8();
            const int xr = f.u16be(), yr = f.u16be();
            const int w = f.u16be(), h = f.u16be();
            if (!f.ranOut()) {
                image.xDpi = dpiFrom(unit, xr), image.yDpi = dpiFrom(unit, yr);
                image.width = w, image.height = h;
            }
        } else if (id == kIpd) {
            segment.insert(segment.end(), data + dataAt, data + dataEnd);
        } else if (id == kBim) {
            sawImage = true;
        } else if (id == kEim && !segment.empty()) {
            break;  // the first image only
        }
        in.seek(at + 1 + length);
    }
    if (segment.empty()) return sawImage ? kErrFileRead : kErrFeature;
    const int width = image.width, height = image.height;
    const int status = parseSegment(segment.data(), segment.size(), image, wantData);
    if (status != kSuccess && !(status == kErrFileFormat && width > 0)) return status;
    if (image.width == 0) image.width = width, image.height = height;
    return kSuccess;
}

int check(const Image& image) {
    if (image.width <= 0 || image.height <= 0) return kErrFileFormat;
    if (image.bits != 1) return kErrFeature;
    switch (image.compression) {
    case kNone: case kG3Mh: case kG3Mr: case kG4: return kSuccess;
    default: return kErrUnknownCompression;
    }
}

void putField(raster::ByteWriter& w, uint32_t id, const uint8_t* data, size_t n) {
    w.u8(0x5A), w.u16be(unsigned(n + 8));
    w.u8(id >> 16), w.u8((id >> 8) & 0xFF), w.u8(id & 0xFF);
    w.u8(0), w.u16be(0);
    w.bytes(data, n);
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    if (size >= 4 && data[0] == 0x70 && data[1] <= 0x10) {
        // A bare segment: begin segment, then begin image content soon after.
        const size_t next = size_t(2) + data[1];
        return next + 1 < size && data[next] == 0x91;
    }
    if (!isStructuredField(data, size)) return false;
    const uint32_t id = uint32_t(data[3]) << 16 | uint32_t(data[4]) << 8 | data[5];
    return id == kBdt || id == kBpg || id == kBim || id == kBog || id == kIdd || id == kIpd ||
           (data[4] == 0xA8);  // any other begin field
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Image image;
    int status = parse(data, size, image, false);
    if (status != kSuccess) return status;
    status = check(image);
    if (status != kSuccess) return status;
    raster::fillInfo(info, image.width, image.height, 1, image.xDpi, image.yDpi);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Image image;
    int status = parse(data, size, image, true);
    if (status != kSuccess) return status;
    status = check(image);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, image.width, image.height, 1);
    if (status != kSuccess) return status;
    raster::setBlackWhitePalette(b);
    if (image.xDpi > 0 && image.yDpi > 0 && image.xDpi < 100000 && image.yDpi < 100000)
        b.xResolution = image.xDpi, b.yResolution = image.yDpi;
    if (image.data.empty()) return kErrFileRead;
    const size_t stride = size_t(image.width + 7) / 8;
    std::vector<uint8_t> rows;
    if (image.compression == kNone) {
        if (image.data.size() < stride * size_t(image.height)) return kErrFileRead;
        rows = std::move(image.data);
    } else {
        const fax::Scheme scheme = image.compression == kG4   ? fax::Scheme::kG4
                                   : image.compression == kG3Mr ? fax::Scheme::kG3TwoD
                                                                : fax::Scheme::kG3OneD;
        int decoded = 0;
        fax::decode(scheme, image.data.data(), image.data.size(), image.width, image.height, false, rows,
                    decoded);
        if (decoded < image.height) return decoded == 0 ? kErrCorrupt : kErrFileRead;
    }
    for (int y = 0; y < image.height; ++y) raster::setRowInkBits(b, y, rows.data() + stride * size_t(y), stride);
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.bitsPerPixel != 1) return kErrBadBits;
    if (bitmap.width > 32767 || bitmap.height > 32767) return kErrImageType;
    const size_t stride = size_t(bitmap.width + 7) / 8;
    std::vector<uint8_t> rows(stride * size_t(bitmap.height)), coded;
    for (int y = 0; y < bitmap.height; ++y) raster::rowInkBits(bitmap, y, rows.data() + stride * size_t(y), stride);
    // Code 71 is the G3 one-dimensional kind: rows start with an EOL.
    int status = fax::encode(fax::Scheme::kG3OneD, bitmap.width, bitmap.height, rows.data(), coded);
    if (status != kSuccess) return status;
    const unsigned xr = unsigned(std::clamp(bitmap.xResolution, 1, 6553) * 10);
    const unsigned yr = unsigned(std::clamp(bitmap.yResolution, 1, 6553) * 10);

    // The IOCA segment: begin, content, size, encoding G3 MH, 1 bit, data, end.
    std::vector<uint8_t> segment;
    raster::ByteWriter s(segment);
    s.u8(0x70), s.u8(0);
    s.u8(0x91), s.u8(1), s.u8(0xFF);
    s.u8(0x94), s.u8(9), s.u8(0), s.u16be(xr), s.u16be(yr), s.u16be(unsigned(bitmap.width)),
        s.u16be(unsigned(bitmap.height));
    s.u8(0x95), s.u8(2), s.u8(kG3Mh), s.u8(1);
    s.u8(0x96), s.u8(1), s.u8(1);
    for (size_t at = 0; at < coded.size(); at += 8192) {
        const size_t n = std::min<size_t>(8192, coded.size() - at);
        s.u8(0xFE), s.u8(0x92), s.u16be(unsigned(n));
        s.bytes(coded.data() + at, n);
    }
    s.u8(0x93), s.u8(0);
    s.u8(0x71), s.u8(0);

    out.clear();
    raster::ByteWriter w(out);
    const uint8_t name[8] = {0xD8, 0xE4, 0xC9, 0xD3, 0xD3, 0xD6, 0xD5, 0x40};  // "QUILLON " in EBCDIC
    putField(w, kBdt, name, 8);
    putField(w, kBpg, name, 8);
    putField(w, kBim, name, 8);
    putField(w, kBog, name, 8);
    uint8_t idd[9] = {0, uint8_t(xr >> 8), uint8_t(xr), uint8_t(yr >> 8), uint8_t(yr),
                      uint8_t(bitmap.width >> 8), uint8_t(bitmap.width), uint8_t(bitmap.height >> 8),
                      uint8_t(bitmap.height)};
    putField(w, kIdd, idd, sizeof idd);
    putField(w, kEog, name, 8);
    for (size_t at = 0; at < segment.size(); at += 8192) {
        const size_t n = std::min<size_t>(8192, segment.size() - at);
        putField(w, kIpd, segment.data() + at, n);
    }
    putField(w, kEim, name, 8);
    putField(w, kEpg, name, 8);
    putField(w, kEdt, name, 8);
    return kSuccess;
}

}  // namespace imaging::ioca
