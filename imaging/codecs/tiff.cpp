#include "imaging/codecs/tiff.h"

#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace imaging::tiff {
namespace {

// libtiff reads and writes through these callbacks: the file is a byte span
// when reading and a growing vector when writing.
struct MemoryFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::vector<uint8_t>* out = nullptr;
    size_t position = 0;

    size_t length() const { return out ? out->size() : size; }
    const uint8_t* bytes() const { return out ? out->data() : data; }
};

MemoryFile& fileOf(thandle_t handle) { return *static_cast<MemoryFile*>(handle); }

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t count) {
    MemoryFile& file = fileOf(handle);
    if (count < 0 || file.position >= file.length()) return 0;
    const size_t n = std::min(size_t(count), file.length() - file.position);
    std::memcpy(buffer, file.bytes() + file.position, n);
    file.position += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t count) {
    MemoryFile& file = fileOf(handle);
    if (!file.out || count < 0) return 0;
    const size_t end = file.position + size_t(count);
    if (end > file.out->size()) file.out->resize(end);
    std::memcpy(file.out->data() + file.position, buffer, size_t(count));
    file.position = end;
    return count;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    MemoryFile& file = fileOf(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = file.position;
    else if (whence == SEEK_END) base = file.length();
    const uint64_t target = base + offset;
    if (target > uint64_t(kMaxBytes) * 2) return toff_t(-1);
    file.position = size_t(target);
    return target;
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t handle) { return fileOf(handle).length(); }

int mapProc(thandle_t handle, void** base, toff_t* size) {
    MemoryFile& file = fileOf(handle);
    if (file.out) return 0;
    *base = const_cast<uint8_t*>(file.data);
    *size = file.size;
    return 1;
}
void unmapProc(thandle_t, void*, toff_t) {}

struct Closer {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, Closer>;

TiffHandle open(MemoryFile& file, const char* mode) {
    // libtiff's messages go nowhere: failures come back as result codes.
    static const bool quiet = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)quiet;
    return TiffHandle(TIFFClientOpen("memory", mode, &file, readProc, writeProc, seekProc,
                                     closeProc, sizeProc, mapProc, unmapProc));
}

struct Layout {
    uint32_t width = 0, height = 0;
    uint16_t bitsPerSample = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t planar = PLANARCONFIG_CONTIG;
    bool tiled = false;

    bool indexed() const {
        return samples == 1 &&
               (bitsPerSample == 1 || bitsPerSample == 2 || bitsPerSample == 4 || bitsPerSample == 8) &&
               (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
                photometric == PHOTOMETRIC_PALETTE);
    }
    // Rows that arrive as the record stores them, up to a swap of red and blue.
    bool rgb8() const {
        return photometric == PHOTOMETRIC_RGB && bitsPerSample == 8 && (samples == 3 || samples == 4) &&
               planar == PLANARCONFIG_CONTIG;
    }
    bool direct() const { return indexed() || rgb8(); }
    int bits() const {
        if (indexed()) return bitsPerSample == 2 ? 4 : bitsPerSample;
        return photometric == PHOTOMETRIC_RGB && samples == 4 && bitsPerSample == 8 ? 32 : 24;
    }
};

Layout layoutOf(TIFF* t) {
    Layout l;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bitsPerSample);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
    if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    l.tiled = TIFFIsTiled(t) != 0;
    return l;
}

int dotsPerInch(TIFF* t, ttag_t tag) {
    float value = 0;
    uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(t, tag, &value) || !(value > 0) || value > 100000) return 0;
    TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER) return int(std::lround(value * 2.54));
    if (unit == RESUNIT_INCH) return int(std::lround(value));
    return 0;
}

void setIndexedPalette(TIFF* t, const Layout& l, Bitmap& bitmap) {
    const int entries = 1 << l.bitsPerSample;
    bitmap.palette.fill(RgbQuad{});
    bitmap.paletteCount = entries;
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (l.photometric == PHOTOMETRIC_PALETTE && TIFFGetField(t, TIFFTAG_COLORMAP, &red, &green, &blue)) {
        // Some writers store 8-bit values in the 16-bit map.
        bool eightBit = true;
        for (int i = 0; i < entries; ++i)
            if (red[i] > 255 || green[i] > 255 || blue[i] > 255) eightBit = false;
        const auto eight = [eightBit](uint16_t v) {
            return uint8_t(eightBit ? v : (uint32_t(v) * 255 + 32767) / 65535);
        };
        for (int i = 0; i < entries; ++i)
            bitmap.palette[size_t(i)] = RgbQuad{eight(blue[i]), eight(green[i]), eight(red[i]), 0};
        return;
    }
    const bool whiteIsZero = l.photometric == PHOTOMETRIC_MINISWHITE;
    for (int i = 0; i < entries; ++i) {
        uint8_t v = uint8_t(i * 255 / (entries - 1));
        if (whiteIsZero) v = uint8_t(255 - v);
        bitmap.palette[size_t(i)] = RgbQuad{v, v, v, 0};
    }
}

// Puts count pixels of the file's layout at pixel x0 of a picture row.
void putSamples(uint8_t* row, int x0, const uint8_t* samples, int count, const Layout& l) {
    const int bitsPerSample = l.bitsPerSample;
    if (l.rgb8()) {
        const int step = l.samples;  // 3 or 4, as the record's 24 or 32 bits
        uint8_t* out = row + size_t(x0) * size_t(step);
        for (int i = 0; i < count; ++i, out += step, samples += step) {
            out[0] = samples[2], out[1] = samples[1], out[2] = samples[0];
            if (step == 4) out[3] = 0;
        }
        return;
    }
    if (bitsPerSample == 2) {
        for (int i = 0; i < count; ++i)
            setIndexAt(row, x0 + i, 4, (samples[i >> 2] >> (6 - 2 * (i & 3))) & 3);
        return;
    }
    // Tiles are multiples of 16 pixels wide, so x0 starts on a byte.
    std::memcpy(row + size_t(x0) * bitsPerSample / 8, samples,
                (size_t(count) * bitsPerSample + 7) / 8);
}

int readDirect(TIFF* t, const Layout& l, Bitmap& bitmap) {
    const int width = int(l.width), height = int(l.height);
    if (!l.tiled) {
        std::vector<uint8_t> line(size_t(TIFFScanlineSize(t)) + 4);
        for (int y = 0; y < height; ++y) {
            if (TIFFReadScanline(t, line.data(), uint32_t(y), 0) < 0) return kErrCorrupt;
            putSamples(bitmap.storedRow(y), 0, line.data(), width, l);
        }
        return kSuccess;
    }
    uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(t, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(t, TIFFTAG_TILELENGTH, &tileHeight);
    const tmsize_t tileRow = TIFFTileRowSize(t);
    if (tileWidth == 0 || tileHeight == 0 || tileWidth % 8 != 0 || tileRow <= 0 ||
        tileRow < tmsize_t((uint64_t(tileWidth) * l.bitsPerSample * l.samples + 7) / 8))
        return kErrFeature;
    std::vector<uint8_t> tile(size_t(TIFFTileSize(t)));
    for (uint32_t ty = 0; ty < l.height; ty += tileHeight)
        for (uint32_t tx = 0; tx < l.width; tx += tileWidth) {
            if (TIFFReadTile(t, tile.data(), tx, ty, 0, 0) < 0) return kErrCorrupt;
            const int columns = int(std::min(tileWidth, l.width - tx));
            const int rows = int(std::min(tileHeight, l.height - ty));
            for (int r = 0; r < rows; ++r)
                putSamples(bitmap.storedRow(int(ty) + r), int(tx), tile.data() + size_t(r) * size_t(tileRow),
                           columns, l);
        }
    (void)width;
    return kSuccess;
}

int readThroughRgba(TIFF* t, const Layout& l, Bitmap& bitmap) {
    char message[1024];
    if (!TIFFRGBAImageOK(t, message)) return kErrFeature;
    std::vector<uint32_t> raster;
    raster.resize(size_t(l.width) * l.height);
    if (!TIFFReadRGBAImageOriented(t, l.width, l.height, raster.data(), ORIENTATION_TOPLEFT, 0))
        return kErrCorrupt;
    const int step = bitmap.bitsPerPixel / 8;
    for (uint32_t y = 0; y < l.height; ++y) {
        uint8_t* out = bitmap.storedRow(int(y));
        const uint32_t* in = raster.data() + size_t(y) * l.width;
        for (uint32_t x = 0; x < l.width; ++x, out += step) {
            out[0] = uint8_t(TIFFGetB(in[x]));
            out[1] = uint8_t(TIFFGetG(in[x]));
            out[2] = uint8_t(TIFFGetR(in[x]));
            if (step == 4) out[3] = 0;
        }
    }
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= 8 && ((data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) ||
                         (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42) ||
                         (data[0] == 'I' && data[1] == 'I' && data[2] == 43 && data[3] == 0) ||
                         (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 43));
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    if (!probe(data, size)) return kErrFileFormat;
    MemoryFile file{data, size};
    TiffHandle t = open(file, "rm");
    if (!t) return kErrCorrupt;
    const Layout l = layoutOf(t.get());
    info.width = int(l.width);
    info.height = int(l.height);
    info.bits = l.bits();
    info.xResolution = dotsPerInch(t.get(), TIFFTAG_XRESOLUTION);
    info.yResolution = dotsPerInch(t.get(), TIFFTAG_YRESOLUTION);
    return checkPictureSize(l.width, l.height, info.bits) == kErrBadParameter ? kErrCorrupt : kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    if (!probe(data, size)) return kErrFileFormat;
    MemoryFile file{data, size};
    TiffHandle t = open(file, "r");
    if (!t) return kErrCorrupt;
    const Layout l = layoutOf(t.get());
    const int bits = l.bits();
    int status = checkPictureSize(l.width, l.height, bits);
    if (status == kErrBadParameter) return kErrCorrupt;
    if (status != kSuccess) return status;
    Bitmap result;
    initialize(result, int(l.width), int(l.height), bits);
    if ((status = allocate(result)) != kSuccess) return status;
    if (l.direct()) {
        if (l.indexed()) setIndexedPalette(t.get(), l, result);
        status = readDirect(t.get(), l, result);
    } else {
        status = readThroughRgba(t.get(), l, result);
    }
    if (status != kSuccess) return status;
    result.xResolution = dotsPerInch(t.get(), TIFFTAG_XRESOLUTION);
    result.yResolution = dotsPerInch(t.get(), TIFFTAG_YRESOLUTION);
    bitmap = std::move(result);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

namespace {

bool isGreyRamp(const Bitmap& bitmap) {
    const int entries = 1 << bitmap.bitsPerPixel;
    for (int i = 0; i < entries; ++i) {
        const int v = i * 255 / (entries - 1);
        const RgbQuad& c = bitmap.palette[size_t(i)];
        if (c.red != v || c.green != v || c.blue != v) return false;
    }
    return true;
}

}  // namespace

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    const int bits = bitmap.bitsPerPixel;
    if (!writesDepth(bits)) return kErrBadBits;
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    std::vector<uint8_t> bytes;
    MemoryFile file;
    file.out = &bytes;
    TiffHandle t = open(file, "w");
    if (!t) return kErrFileWrite;
    TIFF* tif = t.get();
    const bool indexed = bits <= 8;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(bitmap.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(bitmap.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(indexed ? bits : 8));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(indexed ? 1 : bits / 8));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(bitmap.xResolution > 0 ? bitmap.xResolution : 96));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(bitmap.yResolution > 0 ? bitmap.yResolution : 96));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    std::vector<uint16_t> red, green, blue;
    if (indexed && isGreyRamp(bitmap)) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    } else if (indexed) {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        for (int i = 0; i < (1 << bits); ++i) {
            const RgbQuad& c = bitmap.palette[size_t(i)];
            red.push_back(uint16_t(c.red * 257));
            green.push_back(uint16_t(c.green * 257));
            blue.push_back(uint16_t(c.blue * 257));
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    } else {
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        if (bits == 32) {
            const uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED};
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), extra);
        }
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

    const size_t rowBytes = (size_t(bitmap.width) * bits + 7) / 8;
    std::vector<uint8_t> line(rowBytes);
    const bool swap = !indexed && bitmap.colorOrder == kBgr;
    const int step = bits / 8;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmap.storedRow(bitmap.isBottomUp() ? bitmap.height - 1 - y : y);
        std::memcpy(line.data(), row, rowBytes);
        if (swap)
            for (size_t x = 0; x + 2 < rowBytes; x += size_t(step)) std::swap(line[x], line[x + 2]);
        if (step == 4)
            for (size_t x = 3; x < rowBytes; x += 4) line[x] = 0;
        if (TIFFWriteScanline(tif, line.data(), uint32_t(y), 0) < 0) return kErrFileWrite;
    }
    if (!TIFFWriteDirectory(tif)) return kErrFileWrite;
    t.reset();
    out.insert(out.end(), bytes.begin(), bytes.end());
    return kSuccess;
}

}  // namespace imaging::tiff
