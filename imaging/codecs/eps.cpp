#include "imaging/codecs/eps.h"

#include "imaging/byte_reader.h"
#include "imaging/codecs/raster.h"
#include "imaging/codecs/tiff_memory.h"
#include "imaging/codecs/wmf.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace imaging::eps {
namespace {

constexpr uint8_t kDosMagic[4] = {0xC5, 0xD0, 0xD3, 0xC6};

struct Sections {
    std::string_view postscript;
    const uint8_t* tiff = nullptr;
    size_t tiffSize = 0;
    const uint8_t* wmf = nullptr;
    size_t wmfSize = 0;
};

bool inside(size_t size, uint32_t offset, uint32_t length) {
    return length > 0 && offset <= size && length <= size - offset;
}

int split(const uint8_t* data, size_t size, Sections& s) {
    if (size >= 30 && std::memcmp(data, kDosMagic, 4) == 0) {
        ByteReader in(data, size);
        in.skip(4);
        const uint32_t psAt = in.u32(), psLength = in.u32();
        const uint32_t wmfAt = in.u32(), wmfLength = in.u32();
        const uint32_t tiffAt = in.u32(), tiffLength = in.u32();
        if (inside(size, psAt, psLength))
            s.postscript = std::string_view(reinterpret_cast<const char*>(data + psAt), psLength);
        if (inside(size, wmfAt, wmfLength)) s.wmf = data + wmfAt, s.wmfSize = wmfLength;
        if (inside(size, tiffAt, tiffLength)) s.tiff = data + tiffAt, s.tiffSize = tiffLength;
        return kSuccess;
    }
    if (size >= 4 && std::memcmp(data, "%!PS", 4) == 0) {
        s.postscript = std::string_view(reinterpret_cast<const char*>(data), size);
        return kSuccess;
    }
    return kErrFileFormat;
}

// The raster of our own layout, as found in the PostScript text.
struct Raster {
    long width = 0, height = 0, bits = 0;
    int components = 1;
    bool indexed = false;
    int entries = 0;
    std::array<RgbQuad, 256> palette{};
    size_t dataAt = 0;  // first hex digit of the pixels
    int recordBits = 0;
};

bool numberAfter(std::string_view text, std::string_view key, long& value) {
    const size_t at = text.find(key);
    if (at == std::string_view::npos) return false;
    size_t i = at + key.size();
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    long v = 0;
    bool any = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && v < 100000000) v = v * 10 + (text[i++] - '0'), any = true;
    value = v;
    return any;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads hex digit pairs from text at i into out, skipping white space; stops
// at '>' or after n bytes. Returns the bytes read.
size_t readHex(std::string_view text, size_t& i, uint8_t* out, size_t n) {
    size_t made = 0;
    int high = -1;
    while (i < text.size() && made < n) {
        const char c = text[i++];
        if (c == '>') break;
        const int v = hexValue(c);
        if (v < 0) continue;
        if (high < 0) high = v;
        else out[made++] = uint8_t(high << 4 | v), high = -1;
    }
    return made;
}

int parseRaster(std::string_view ps, Raster& r) {
    const size_t dict = ps.find("/ImageType 1");
    if (dict == std::string_view::npos) return kErrFeature;
    const std::string_view body = ps.substr(dict);
    if (!numberAfter(body, "/Width", r.width) || !numberAfter(body, "/Height", r.height) ||
        !numberAfter(body, "/BitsPerComponent", r.bits))
        return kErrFeature;
    if (body.find("/ASCIIHexDecode") == std::string_view::npos) return kErrFeature;
    if (r.width <= 0 || r.height <= 0) return kErrFileFormat;
    const std::string_view head = ps.substr(0, dict);
    const size_t indexed = head.rfind("/Indexed");
    if (indexed != std::string_view::npos) {
        long hival = 0;
        if (!numberAfter(head.substr(indexed), "/DeviceRGB", hival) || hival > 255) return kErrCorrupt;
        if (r.bits != 1 && r.bits != 2 && r.bits != 4 && r.bits != 8) return kErrBadBits;
        r.indexed = true;
        r.entries = int(hival) + 1;
        size_t i = head.find('<', indexed);
        if (i == std::string_view::npos) return kErrCorrupt;
        ++i;
        uint8_t map[768];
        if (readHex(head, i, map, size_t(r.entries) * 3) < size_t(r.entries) * 3) return kErrCorrupt;
        for (int k = 0; k < r.entries; ++k) r.palette[k] = RgbQuad{map[3 * k + 2], map[3 * k + 1], map[3 * k], 0};
        r.recordBits = r.bits == 1 ? 1 : r.bits <= 4 ? 4 : 8;
    } else if (head.rfind("/DeviceGray") != std::string_view::npos) {
        if (r.bits != 8 && r.bits != 1) return kErrFeature;
        r.recordBits = int(r.bits);
    } else if (head.rfind("/DeviceRGB") != std::string_view::npos) {
        if (r.bits != 8) return kErrFeature;
        r.components = 3;
        r.recordBits = 24;
    } else {
        return kErrFeature;
    }
    const size_t image = body.find("image", body.find(">>"));
    if (image == std::string_view::npos) return kErrFeature;
    r.dataAt = dict + image + 5;
    return kSuccess;
}

int readRaster(std::string_view ps, const Raster& r, Bitmap& bitmap) {
    Bitmap b;
    int status = raster::newPicture(b, r.width, r.height, r.recordBits);
    if (status != kSuccess) return status;
    if (r.indexed) {
        b.palette = r.palette;
        b.paletteCount = r.entries;
    } else if (r.recordBits == 1) {  // DeviceGray 1 bit: 0 black, 1 white
        raster::setBlackWhitePalette(b);
    }
    const size_t rowBytes = size_t((r.width * r.bits * r.components + 7) / 8);
    std::vector<uint8_t> row(rowBytes), indices(size_t(r.width));
    size_t i = r.dataAt;
    for (long y = 0; y < r.height; ++y) {
        if (readHex(ps, i, row.data(), rowBytes) < rowBytes) return kErrFileRead;
        if (r.components == 3) {
            raster::setRowRgb(b, int(y), row.data());
            continue;
        }
        for (long x = 0; x < r.width; ++x) {
            int v;
            if (r.bits == 2) v = (row[size_t(x) / 4] >> (6 - 2 * (x & 3))) & 3;
            else v = indexAt(row.data(), int(x), int(r.bits));
            if (r.indexed && v >= r.entries) return kErrCorrupt;
            indices[size_t(x)] = uint8_t(v);
        }
        raster::setRowIndices(b, int(y), indices.data());
    }
    bitmap = std::move(b);
    return kSuccess;
}

// %%BeginPreview: w h depth lines, then comment lines of hex, 1 = black.
int readPreview(std::string_view ps, bool infoOnly, FileInfo* info, Bitmap* bitmap) {
    const size_t at = ps.find("%%BeginPreview:");
    if (at == std::string_view::npos) return kErrFeature;
    long w = 0, h = 0, depth = 0;
    const std::string_view line = ps.substr(at, 80);
    if (std::sscanf(std::string(line).c_str(), "%%%%BeginPreview: %ld %ld %ld", &w, &h, &depth) != 3)
        return kErrCorrupt;
    if (depth != 1) return kErrFeature;
    if (w <= 0 || h <= 0) return kErrFileFormat;
    if (infoOnly) {
        raster::fillInfo(*info, int(w), int(h), 1);
        return checkPictureSize(w, h, 1) == kSuccess ? kSuccess : kErrFileFormat;
    }
    Bitmap b;
    int status = raster::newPicture(b, w, h, 1);
    if (status != kSuccess) return status;
    raster::setBlackWhitePalette(b);
    const size_t rowBytes = size_t(w + 7) / 8;
    std::vector<uint8_t> row(rowBytes);
    size_t i = ps.find('\n', at);
    if (i == std::string_view::npos) return kErrFileRead;
    for (long y = 0; y < h; ++y) {
        if (readHex(ps, i, row.data(), rowBytes) < rowBytes) return kErrFileRead;
        raster::setRowInkBits(b, int(y), row.data(), rowBytes);
    }
    *bitmap = std::move(b);
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    if (size >= 30 && std::memcmp(data, kDosMagic, 4) == 0) return true;
    return size >= 10 && std::memcmp(data, "%!PS-Adobe", 10) == 0;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Sections s;
    int status = split(data, size, s);
    if (status != kSuccess) return status;
    Raster r;
    status = parseRaster(s.postscript, r);
    if (status == kSuccess) {
        raster::fillInfo(info, int(r.width), int(r.height), r.recordBits);
        return checkPictureSize(r.width, r.height, r.recordBits) == kSuccess ? kSuccess : kErrFileFormat;
    }
    if (status != kErrFeature) return status;
    if (s.tiff) {
        int w = 0, h = 0;
        status = tiffmem::readInfo(s.tiff, s.tiffSize, w, h);
        if (status == kSuccess) raster::fillInfo(info, w, h, 24);
        return status;
    }
    if (s.wmf) return wmf::readInfo(s.wmf, s.wmfSize, info);
    return readPreview(s.postscript, true, &info, nullptr);
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Sections s;
    int status = split(data, size, s);
    if (status != kSuccess) return status;
    Raster r;
    status = parseRaster(s.postscript, r);
    if (status == kSuccess) return readRaster(s.postscript, r, bitmap);
    if (status != kErrFeature) return status;
    if (s.tiff) return tiffmem::readRgb(s.tiff, s.tiffSize, bitmap);
    if (s.wmf) return wmf::read(s.wmf, s.wmfSize, bitmap);
    return readPreview(s.postscript, false, nullptr, &bitmap);
}

bool writesDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    const int w = bitmap.width, h = bitmap.height;
    const bool grey = raster::isGreyRamp(bitmap);
    char line[256];
    out.clear();
    raster::ByteWriter o(out);
    o.text("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: Quillon\n");
    std::snprintf(line, sizeof line, "%%%%BoundingBox: 0 0 %d %d\n", w, h);
    o.text(line);
    o.text("%%LanguageLevel: 2\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\nsave\n");
    std::snprintf(line, sizeof line, "%d %d scale\n", w, h);
    o.text(line);
    int decodeMax = 1;
    if (bits == 24) {
        o.text("/DeviceRGB setcolorspace\n");
    } else if (grey) {
        o.text("/DeviceGray setcolorspace\n");
    } else {
        const int entries = 1 << bits;
        decodeMax = entries - 1;
        std::snprintf(line, sizeof line, "[/Indexed /DeviceRGB %d <\n", entries - 1);
        o.text(line);
        for (int i = 0; i < entries; ++i) {
            const RgbQuad& q = bitmap.palette[i];
            std::snprintf(line, sizeof line, "%02X%02X%02X%s", q.red, q.green, q.blue, (i % 16 == 15) ? "\n" : "");
            o.text(line);
        }
        o.text(">] setcolorspace\n");
    }
    std::snprintf(line, sizeof line,
                  "<<\n/ImageType 1\n/Width %d\n/Height %d\n/BitsPerComponent %d\n/Decode [%s]\n"
                  "/ImageMatrix [%d 0 0 %d 0 %d]\n/DataSource currentfile /ASCIIHexDecode filter\n>>\nimage\n",
                  w, h, bits == 24 ? 8 : bits,
                  bits == 24 ? "0 1 0 1 0 1" : grey ? "0 1" : (decodeMax == 1 ? "0 1" : decodeMax == 15 ? "0 15" : "0 255"),
                  w, -h, h);
    o.text(line);
    static const char kHex[] = "0123456789ABCDEF";
    const size_t rowBytes = bits == 24 ? size_t(w) * 3 : size_t(w * bits + 7) / 8;
    std::vector<uint8_t> row(rowBytes + size_t(w) * 3), indices(static_cast<size_t>(w));
    size_t column = 0;
    for (int y = 0; y < h; ++y) {
        if (bits == 24) {
            raster::rowRgb(bitmap, y, row.data());
        } else {
            raster::rowIndices(bitmap, y, indices.data());
            std::memset(row.data(), 0, rowBytes);
            for (int x = 0; x < w; ++x) setIndexAt(row.data(), x, bits, indices[size_t(x)]);
        }
        for (size_t i = 0; i < rowBytes; ++i) {
            o.u8(uint8_t(kHex[row[i] >> 4])), o.u8(uint8_t(kHex[row[i] & 15]));
            if (++column == 40) o.u8('\n'), column = 0;
        }
    }
    o.text(">\nrestore\nshowpage\n%%Trailer\n%%EOF\n");
    return kSuccess;
}

}  // namespace imaging::eps
