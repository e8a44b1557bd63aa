#include "album/reduced_decode.h"

#include "image/gif_codec.h"
#include "image/gif_options.h"
#include "image/image_object.h"
#include "imaging/file_io.h"
#include "jpeg32/jpeg32.h"

#include <QFile>
#include <QFileInfo>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace quillon {
namespace {

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onJpegFatal(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }
void onJpegMessage(j_common_ptr) {}

// What the scaled decode needs beside the file's bytes: the target size for a
// given full size, and where the rows go once the size is known.
struct JpegJob {
    const unsigned char* data;
    unsigned long size;
    const SizeNeeded* atLeast;
    QImage* image;
    QSize full;
    bool needsFallback;  // colour spaces the scaled path does not turn into RGB
};

// Holds no objects with destructors: a fatal error jumps back here.
bool decodeJpegScaled(JpegJob& job) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegFatal;
    errors.base.output_message = onJpegMessage;
    jpeg_create_decompress(&info);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, job.data, job.size);
    jpeg_read_header(&info, TRUE);
    job.full = QSize(int(info.image_width), int(info.image_height));
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        job.needsFallback = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    const QSize need = (*job.atLeast)(job.full);
    // The smallest scale n/8 that reaches the size needed.
    info.scale_denom = 8;
    info.scale_num = 8;
    for (unsigned n = 1; n <= 8; ++n) {
        const long w = (long(info.image_width) * n + 7) / 8, h = (long(info.image_height) * n + 7) / 8;
        if (w >= need.width() && h >= need.height()) {
            info.scale_num = n;
            break;
        }
    }
    info.out_color_space = JCS_EXT_BGRX;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    *job.image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (job.image->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = job.image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool hasExtension(const QString& path, const char* extension) {
    return QFileInfo(path).suffix().compare(QLatin1String(extension), Qt::CaseInsensitive) == 0;
}

std::optional<ReducedPicture> fromBitmap(imaging::Bitmap&& bitmap) {
    CImageObject object;
    object.bitmap() = std::move(bitmap);
    object.setHasBitmap(true);
    QImage image = object.toDeviceImage();
    if (image.isNull()) return std::nullopt;
    const QSize full = image.size();
    return ReducedPicture{std::move(image), full};
}

}  // namespace

std::optional<ReducedPicture> decodeReduced(const QString& path, const SizeNeeded& atLeast) {
    const std::string file = QFile::encodeName(path).toStdString();
    if (hasExtension(path, "JPG")) {
        std::vector<uint8_t> bytes;
        if (imaging::readWholeFile(file, bytes) != 1) return std::nullopt;
        QImage image;
        JpegJob job{bytes.data(), static_cast<unsigned long>(bytes.size()), &atLeast, &image, {}, false};
        if (decodeJpegScaled(job)) return ReducedPicture{std::move(image), job.full};
        if (!job.needsFallback) return std::nullopt;
        imaging::Bitmap bitmap;
        if (JPEGRead(&bitmap, file.c_str(), nullptr) != 1) return std::nullopt;
        return fromBitmap(std::move(bitmap));
    }
    imaging::Bitmap bitmap;
    if (hasExtension(path, "GIF")) {
        GifOptions options;
        if (gif::readFile(file, bitmap, options) != 1) return std::nullopt;
    } else if (imaging::load(file, bitmap) != 1) {
        return std::nullopt;
    }
    return fromBitmap(std::move(bitmap));
}

}  // namespace quillon
