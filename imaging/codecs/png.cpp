#include "imaging/codecs/png.h"

#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>

namespace imaging::png {
namespace {

// libpng reports errors by jumping back to the setjmp of the function that
// called it; those functions hold only plain data.
struct Source {
    const uint8_t* data;
    size_t size;
    size_t position;
};

void readData(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->size - source->position) png_error(png, "truncated");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

void writeData(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}
void flushData(png_structp) {}

void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

struct Header {
    png_uint_32 width = 0, height = 0;
    int depth = 0;
    int colorType = 0;
    int bits = 0;  // of the record we make
    int xResolution = 0, yResolution = 0;
    png_color palette[256] = {};
    int paletteEntries = 0;
};

int pictureBits(int colorType, int depth) {
    switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY: return depth == 2 ? 4 : depth == 16 ? 8 : depth;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 8;
    default: return 24;
    }
}

// Reads the header; with rows, reads the pixels into them (one byte a pixel
// for 2-bit files, so the caller can repack them). Returns a Result.
int decode(Source* source, Header* header, png_bytep* rows, bool bgr) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png) return kErrNoMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return kErrNoMemory;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return rows ? kErrCorrupt : kErrFileFormat;
    }
    png_set_read_fn(png, source, readData);
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_crc_action(png, PNG_CRC_WARN_DISCARD, PNG_CRC_WARN_USE);
    png_read_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    header->depth = png_get_bit_depth(png, info);
    header->colorType = png_get_color_type(png, info);
    header->bits = pictureBits(header->colorType, header->depth);
    png_colorp entries = nullptr;
    int count = 0;
    if (header->colorType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &entries, &count)) {
        header->paletteEntries = count < 256 ? count : 256;
        std::memcpy(header->palette, entries, sizeof(png_color) * size_t(header->paletteEntries));
    }
    png_uint_32 xPpm = 0, yPpm = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xPpm, &yPpm, &unit) && unit == PNG_RESOLUTION_METER) {
        header->xResolution = int(std::lround(xPpm * 0.0254));
        header->yResolution = int(std::lround(yPpm * 0.0254));
    }
    if (rows) {
        if (header->depth == 16) png_set_scale_16(png);  // rounds, as other readers do
        if (header->depth == 2) png_set_packing(png);
        if (header->colorType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
        if (header->bits == 24 && bgr) png_set_bgr(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        png_read_image(png, rows);
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return kSuccess;
}

int encode(const Bitmap* bitmap, png_bytep* rows, std::vector<uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png) return kErrNoMemory;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return kErrNoMemory;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return kErrFileWrite;
    }
    png_set_write_fn(png, out, writeData, flushData);
    const int bits = bitmap->bitsPerPixel;
    const bool indexed = bits <= 8;
    png_set_IHDR(png, info, png_uint_32(bitmap->width), png_uint_32(bitmap->height),
                 indexed ? bits : 8, indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_color palette[256];
        const int entries = 1 << bits;
        for (int i = 0; i < entries; ++i) {
            palette[i].red = bitmap->palette[size_t(i)].red;
            palette[i].green = bitmap->palette[size_t(i)].green;
            palette[i].blue = bitmap->palette[size_t(i)].blue;
        }
        png_set_PLTE(png, info, palette, entries);
    }
    if (bitmap->xResolution > 0 && bitmap->yResolution > 0)
        png_set_pHYs(png, info, png_uint_32(std::lround(bitmap->xResolution / 0.0254)),
                     png_uint_32(std::lround(bitmap->yResolution / 0.0254)), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (!indexed && bitmap->colorOrder == kBgr) png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    if (!probe(data, size)) return kErrFileFormat;
    Source source{data, size, 0};
    Header header;
    const int status = decode(&source, &header, nullptr, false);
    if (status != kSuccess) return status;
    info.width = int(header.width);
    info.height = int(header.height);
    info.bits = header.bits;
    info.xResolution = header.xResolution;
    info.yResolution = header.yResolution;
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    if (!probe(data, size)) return kErrFileFormat;
    Source source{data, size, 0};
    Header header;
    int status = decode(&source, &header, nullptr, false);
    if (status != kSuccess) return status;
    status = checkPictureSize(header.width, header.height, header.bits);
    if (status != kSuccess) return status == kErrBadParameter ? kErrCorrupt : status;

    Bitmap result;
    initialize(result, int(header.width), int(header.height), header.bits);
    if ((status = allocate(result)) != kSuccess) return status;
    // 2-bit files arrive one byte a pixel and are packed into 4 bits after.
    const bool unpacked = header.depth == 2;
    std::vector<uint8_t> wide;
    if (unpacked) wide.resize(size_t(header.width) * header.height);
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 y = 0; y < header.height; ++y)
        rows[y] = unpacked ? wide.data() + size_t(y) * header.width : result.storedRow(int(y));
    source.position = 0;
    status = decode(&source, &header, rows.data(), result.colorOrder == kBgr);
    if (status != kSuccess) return status;
    if (unpacked)
        for (png_uint_32 y = 0; y < header.height; ++y)
            for (png_uint_32 x = 0; x < header.width; ++x)
                setIndexAt(result.storedRow(int(y)), int(x), 4, rows[y][x]);

    if (result.bitsPerPixel <= 8) {
        const int entries = 1 << std::min(header.depth, 8);
        result.palette.fill(RgbQuad{});
        result.paletteCount = entries;
        if (header.colorType == PNG_COLOR_TYPE_PALETTE) {
            for (int i = 0; i < header.paletteEntries && i < 256; ++i)
                result.palette[size_t(i)] = RgbQuad{header.palette[i].blue, header.palette[i].green,
                                                    header.palette[i].red, 0};
        } else {
            for (int i = 0; i < entries; ++i) {
                const uint8_t v = uint8_t(i * 255 / (entries - 1));
                result.palette[size_t(i)] = RgbQuad{v, v, v, 0};
            }
        }
    }
    result.xResolution = header.xResolution;
    result.yResolution = header.yResolution;
    bitmap = std::move(result);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!writesDepth(bitmap.bitsPerPixel)) return kErrBadBits;
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    std::vector<png_bytep> rows(size_t(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(
            bitmap.storedRow(bitmap.isBottomUp() ? bitmap.height - 1 - y : y));
    std::vector<uint8_t> bytes;
    const int status = encode(&bitmap, rows.data(), &bytes);
    if (status != kSuccess) return status;
    out.insert(out.end(), bytes.begin(), bytes.end());
    return kSuccess;
}

}  // namespace imaging::png
