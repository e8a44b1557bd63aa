#include "imaging/codecs/tiff_memory.h"

#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace imaging::tiffmem {
namespace {

tmsize_t readProc(thandle_t h, void* buf, tmsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    if (f->position >= f->bytes.size()) return 0;
    const size_t count = std::min(size_t(n), f->bytes.size() - f->position);
    std::memcpy(buf, f->bytes.data() + f->position, count);
    f->position += count;
    return tmsize_t(count);
}

tmsize_t writeProc(thandle_t h, void* buf, tmsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    if (f->position + size_t(n) > f->bytes.size()) f->bytes.resize(f->position + size_t(n));
    std::memcpy(f->bytes.data() + f->position, buf, size_t(n));
    f->position += size_t(n);
    return n;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    int64_t base = 0;
    if (whence == SEEK_CUR) base = int64_t(f->position);
    if (whence == SEEK_END) base = int64_t(f->bytes.size());
    const int64_t target = base + int64_t(offset);
    if (target < 0 || target > (int64_t(1) << 40)) return toff_t(-1);
    f->position = size_t(target);
    return toff_t(target);
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes.size(); }
int mapProc(thandle_t, void**, toff_t*) { return 0; }
void unmapProc(thandle_t, void*, toff_t) {}

// A broken stream is an error code here, not text on the console.
int quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

TIFF* open(MemoryFile& file, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(kMaxBytes));
    TIFF* tif = TIFFClientOpenExt("memory", mode, &file, readProc, writeProc, seekProc, closeProc,
                                  sizeProc, mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

int readInfo(const uint8_t* data, size_t size, int& width, int& height) {
    MemoryFile file{std::vector<uint8_t>(data, data + size), 0};
    TIFF* tif = open(file, "r");
    if (!tif) return kErrFileFormat;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFClose(tif);
    if (w == 0 || h == 0 || w > INT32_MAX || h > INT32_MAX) return kErrFileFormat;
    width = int(w), height = int(h);
    return kSuccess;
}

int readRgb(const uint8_t* data, size_t size, Bitmap& bitmap) {
    int width = 0, height = 0;
    int status = readInfo(data, size, width, height);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, width, height, 24);
    if (status != kSuccess) return status;
    MemoryFile file{std::vector<uint8_t>(data, data + size), 0};
    TIFF* tif = open(file, "r");
    if (!tif) return kErrFileFormat;
    std::vector<uint32_t> rgba(size_t(width) * size_t(height));
    const int ok = TIFFReadRGBAImageOriented(tif, uint32_t(width), uint32_t(height), rgba.data(),
                                             ORIENTATION_TOPLEFT, 0);
    TIFFClose(tif);
    if (!ok) return kErrCorrupt;
    std::vector<uint8_t> rgb(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        const uint32_t* p = rgba.data() + size_t(y) * width;
        for (int x = 0; x < width; ++x)
            rgb[3 * x] = uint8_t(TIFFGetR(p[x])), rgb[3 * x + 1] = uint8_t(TIFFGetG(p[x])),
            rgb[3 * x + 2] = uint8_t(TIFFGetB(p[x]));
        raster::setRowRgb(b, y, rgb.data());
    }
    bitmap = std::move(b);
    return kSuccess;
}

}  // namespace imaging::tiffmem
