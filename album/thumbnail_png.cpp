#include "album/thumbnail_png.h"

#include <csetjmp>
#include <vector>

#include <png.h>

namespace quillon {
namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}
void noFlush(png_structp) {}

struct Rows {
    QImage image;
    std::vector<png_bytep> pointers;
    std::vector<png_text> texts;
};

// Holds no objects with destructors: libpng's errors jump back here.
bool encode(Rows& rows, QByteArray* out, bool alpha) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, append, noFlush);
    png_set_IHDR(png, info, png_uint_32(rows.image.width()), png_uint_32(rows.image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    if (!rows.texts.empty()) png_set_text(png, info, rows.texts.data(), int(rows.texts.size()));
    png_set_rows(png, info, rows.pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

QByteArray encodeThumbnailPng(const QImage& image, const PngTexts& texts) {
    if (image.isNull()) return {};
    const bool alpha = image.hasAlphaChannel();
    Rows rows;
    rows.image = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (rows.image.isNull()) return {};
    rows.pointers.resize(size_t(rows.image.height()));
    for (int y = 0; y < rows.image.height(); ++y) rows.pointers[size_t(y)] = rows.image.scanLine(y);
    for (const auto& [key, value] : texts) {
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<char*>(key.constData());
        text.text = const_cast<char*>(value.constData());
        text.text_length = size_t(value.size());
        rows.texts.push_back(text);
    }
    QByteArray out;
    out.reserve(rows.image.sizeInBytes() / 2 + 1024);
    if (!encode(rows, &out, alpha)) return {};
    return out;
}

}  // namespace quillon
