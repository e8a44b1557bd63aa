#include "jpeg32/jpeg32.h"

#include "imaging/imaging.h"
#include "imaging/input_file.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace jpeg32 {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the setjmp of the function that made the call. Those
// functions hold no objects with destructors.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onFatal(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
void onMessage(j_common_ptr, int) {}  // warnings (a truncated scan, say) are not shown
void onOutput(j_common_ptr) {}

void useErrorManager(jpeg_common_struct& info, ErrorManager& errors) {
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatal;
    errors.base.emit_message = onMessage;
    errors.base.output_message = onOutput;
}

int dotsPerInch(int unit, int density) {
    if (density <= 0) return 0;
    if (unit == 1) return density;
    if (unit == 2) return (density * 254 + 50) / 100;
    return 0;
}

// CMYK as stored (Adobe files invert it) to blue, green, red.
void cmykToBgr(const JSAMPLE* cmyk, uint8_t* bgr, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = uint8_t(y * k / 255);
        bgr[1] = uint8_t(m * k / 255);
        bgr[2] = uint8_t(c * k / 255);
    }
}

int decodeHeaderOnly(const uint8_t* data, size_t size, imaging::FileInfo* info) {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    useErrorManager(*reinterpret_cast<jpeg_common_struct*>(&cinfo), errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return imaging::kErrCorrupt;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    info->width = int(cinfo.image_width);
    info->height = int(cinfo.image_height);
    info->bits = cinfo.num_components == 1 ? 8 : 24;
    info->formatCode = kFormatCode;
    info->xResolution = dotsPerInch(cinfo.density_unit, cinfo.X_density);
    info->yResolution = dotsPerInch(cinfo.density_unit, cinfo.Y_density);
    jpeg_destroy_decompress(&cinfo);
    return imaging::kSuccess;
}

// Decodes into a bitmap the caller owns; a failure may leave it half made.
int decodeInto(const uint8_t* data, size_t size, imaging::Bitmap* bitmap, int* progressive) {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    useErrorManager(*reinterpret_cast<jpeg_common_struct*>(&cinfo), errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return imaging::kErrCorrupt;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);

    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    const int bits = grey ? 8 : 24;
    int status = imaging::checkPictureSize(cinfo.image_width, cinfo.image_height, bits);
    if (status != imaging::kSuccess) {
        jpeg_destroy_decompress(&cinfo);
        return status;
    }
    imaging::initialize(*bitmap, int(cinfo.image_width), int(cinfo.image_height), bits);
    status = imaging::allocate(*bitmap);
    if (status != imaging::kSuccess) {
        jpeg_destroy_decompress(&cinfo);
        return status;
    }
    jpeg_start_decompress(&cinfo);
    if (progressive) *progressive = cinfo.progressive_mode ? 1 : 0;

    JSAMPARRAY inks = nullptr;
    if (cmyk)
        inks = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                          cinfo.output_width * 4, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int first = int(cinfo.output_scanline);
        if (cmyk) {
            jpeg_read_scanlines(&cinfo, inks, 1);
            cmykToBgr(inks[0], bitmap->storedRow(first), int(cinfo.output_width), cinfo.saw_Adobe_marker);
        } else {
            // Several rows a call: the upsampler writes them in place
            // instead of through its spare row.
            JSAMPROW rows[16];
            const int count = std::min(16, int(cinfo.output_height) - first);
            for (int i = 0; i < count; ++i) rows[i] = bitmap->storedRow(first + i);
            jpeg_read_scanlines(&cinfo, rows, JDIMENSION(count));
        }
    }
    bitmap->colorOrder = imaging::kBgr;
    bitmap->xResolution = dotsPerInch(cinfo.density_unit, cinfo.X_density);
    bitmap->yResolution = dotsPerInch(cinfo.density_unit, cinfo.Y_density);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return imaging::kSuccess;
}

bool isGreyRamp(const imaging::Bitmap& bitmap) {
    if (bitmap.bitsPerPixel != 8 || bitmap.paletteCount != 256) return false;
    for (int i = 0; i < 256; ++i) {
        const imaging::RgbQuad& c = bitmap.palette[size_t(i)];
        if (c.red != i || c.green != i || c.blue != i) return false;
    }
    return true;
}

// Encodes into a buffer that libjpeg allocates with malloc; the caller frees it.
int encodeInto(const imaging::Bitmap* bitmap, int quality, int progressive, unsigned char** buffer,
               unsigned long* length) {
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    useErrorManager(*reinterpret_cast<jpeg_common_struct*>(&cinfo), errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return imaging::kErrFileWrite;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, length);

    const int bits = bitmap->bitsPerPixel;
    const bool bgr = bitmap->colorOrder == imaging::kBgr;
    const bool grey = isGreyRamp(*bitmap);
    // 24 and 32 bits go in as stored; other depths through a converted row.
    const bool asStored = bits == 24 || bits == 32 || grey;
    cinfo.image_width = JDIMENSION(bitmap->width);
    cinfo.image_height = JDIMENSION(bitmap->height);
    if (grey) {
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
    } else if (bits == 32) {
        cinfo.input_components = 4;
        cinfo.in_color_space = bgr ? JCS_EXT_BGRX : JCS_EXT_RGBX;
    } else {
        cinfo.input_components = 3;
        cinfo.in_color_space = (bits == 24 && !bgr) ? JCS_EXT_RGB : JCS_EXT_BGR;
    }
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;
    cinfo.X_density = UINT16(bitmap->xResolution > 0 && bitmap->xResolution < 65536 ? bitmap->xResolution : 96);
    cinfo.Y_density = UINT16(bitmap->yResolution > 0 && bitmap->yResolution < 65536 ? bitmap->yResolution : 96);
    jpeg_start_compress(&cinfo, TRUE);

    JSAMPARRAY converted = nullptr;
    if (!asStored)
        converted = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               cinfo.image_width * 3, 1);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        const uint8_t* row = bitmap->storedRow(bitmap->isBottomUp() ? bitmap->height - 1 - y : y);
        JSAMPROW rows[1];
        if (asStored) {
            rows[0] = const_cast<JSAMPROW>(row);
        } else {
            uint8_t* out = converted[0];
            for (int x = 0; x < bitmap->width; ++x, out += 3) {
                const imaging::Rgb c = imaging::readPixel(*bitmap, row, x);
                out[0] = c.b, out[1] = c.g, out[2] = c.r;
            }
            rows[0] = converted[0];
        }
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return imaging::kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int readInfo(const uint8_t* data, size_t size, imaging::FileInfo& info) {
    if (!probe(data, size)) return imaging::kErrFileFormat;
    return decodeHeaderOnly(data, size, &info);
}

int decode(const uint8_t* data, size_t size, imaging::Bitmap& bitmap, int* progressive) {
    if (!probe(data, size)) return imaging::kErrFileFormat;
    imaging::Bitmap result;
    const int status = decodeInto(data, size, &result, progressive);
    if (status != imaging::kSuccess) return status;
    result.formatCode = kFormatCode;
    const imaging::FileOptions options = imaging::fileOptions();
    if (result.xResolution <= 0) result.xResolution = options.xResolution;
    if (result.yResolution <= 0) result.yResolution = options.yResolution;
    bitmap = std::move(result);
    return imaging::kSuccess;
}

int read(const uint8_t* data, size_t size, imaging::Bitmap& bitmap) {
    return decode(data, size, bitmap, nullptr);
}

int encode(const imaging::Bitmap& bitmap, int quality, bool progressive, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return imaging::kErrNoBitmap;
    if (quality < 5 || quality > 100) return imaging::kErrCompressionParam;
    if (!imaging::isValidDepth(bitmap.bitsPerPixel)) return imaging::kErrBadBits;
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    const int status = encodeInto(&bitmap, quality, progressive ? 1 : 0, &buffer, &length);
    if (status == imaging::kSuccess) out.assign(buffer, buffer + length);
    std::free(buffer);
    return status;
}

}  // namespace jpeg32

int JPEGRead(imaging::Bitmap* bitmap, const char* path, int* progressive) {
    if (!bitmap || !path) return imaging::kErrBadParameter;
    // The compressed bytes are read once, into memory nobody clears first.
    imaging::InputFile file;
    imaging::PixelMemory bytes;
    int status = file.open(path);
    if (status == imaging::kSuccess) status = file.readAll(bytes);
    if (status != imaging::kSuccess) return status;
    int wasProgressive = 0;
    const int result = jpeg32::decode(bytes.get(), file.size(), *bitmap, &wasProgressive);
    if (result == imaging::kSuccess && progressive) *progressive = wasProgressive;
    return result;
}

int JPEGWrite(const imaging::Bitmap* bitmap, const char* path, int quality, int progressive) {
    if (!bitmap || !path) return imaging::kErrBadParameter;
    std::vector<uint8_t> bytes;
    const int status = jpeg32::encode(*bitmap, quality, progressive != 0, bytes);
    if (status != imaging::kSuccess) return status;
    return imaging::writeWholeFile(path, bytes);
}
