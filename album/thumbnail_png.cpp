#include "album/thumbnail_png.h"

#include <csetjmp>
#include <cstring>
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

struct Source {
    const QByteArray* bytes;
    qsizetype at = 0;
};

void readFrom(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (source->at + qsizetype(length) > source->bytes->size()) png_error(png, "truncated");
    memcpy(data, source->bytes->constData() + source->at, length);
    source->at += qsizetype(length);
}

struct Decoded {
    QImage image;
    std::vector<png_bytep> pointers;
    PngTexts* texts;
};

void takeTexts(png_structp png, png_infop info, PngTexts* texts) {
    png_textp text = nullptr;
    int count = 0;
    png_get_text(png, info, &text, &count);
    for (int i = 0; i < count; ++i)
        texts->push_back({QByteArray(text[i].key), QByteArray(text[i].text, qsizetype(text[i].text_length))});
}

// Holds no objects with destructors: libpng's errors jump back here.
bool decode(Source& source, Decoded& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    png_infop end = png_create_info_struct(png);
    if (!info || !end || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, &end);
        return false;
    }
    png_set_read_fn(png, &source, readFrom);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || width > 4096 || height > 4096) png_error(png, "not a thumbnail");
    const bool alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (out.texts) takeTexts(png, info, out.texts);
    out.image = QImage(int(width), int(height), alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    if (out.image.isNull()) png_error(png, "no memory");
    out.pointers.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) out.pointers[y] = out.image.scanLine(int(y));
    png_read_image(png, out.pointers.data());
    png_read_end(png, end);
    if (out.texts) takeTexts(png, end, out.texts);
    png_destroy_read_struct(&png, &info, &end);
    return true;
}

}  // namespace

QImage decodePng(const QByteArray& file, PngTexts* texts) {
    Source source{&file};
    Decoded out{{}, {}, texts};
    if (!decode(source, out)) return {};
    return out.image;
}

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
