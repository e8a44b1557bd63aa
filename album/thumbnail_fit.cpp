#include "album/thumbnail_fit.h"


#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace quillon {

int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + std::llabs(int64_t(c)) / 2) / std::llabs(int64_t(c));
    return int(negative ? -magnitude : magnitude);
}

QSize fittedSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
    int width, height;
    if (mulDiv(pictureWidth, 100, pictureHeight) < mulDiv(boxWidth, 100, boxHeight)) {
        height = boxHeight;
        width = mulDiv(boxHeight, pictureWidth, pictureHeight);
    } else {
        width = boxWidth;
        height = mulDiv(boxWidth, pictureHeight, pictureWidth);
    }
    return {std::max(1, width), std::max(1, height)};
}

QImage placeOnBlack(const QImage& scaled, int boxWidth, int boxHeight) {
    QImage box(boxWidth, boxHeight, QImage::Format_RGB32);
    if (box.isNull()) return {};
    box.fill(Qt::black);
    // Premultiplied pixels are already the picture laid over black.
    const QImage source = scaled.convertToFormat(scaled.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                          : QImage::Format_RGB32);
    const int left = (boxWidth - source.width()) / 2, top = (boxHeight - source.height()) / 2;
    for (int y = std::max(0, -top); y < source.height() && top + y < boxHeight; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(box.scanLine(top + y));
        for (int x = std::max(0, -left); x < source.width() && left + x < boxWidth; ++x)
            to[left + x] = from[x] | 0xFF000000u;
    }
    return box;
}

QImage fitThumbnail(const QImage& picture, QSize fullSize, QSize box) {
    const QSize size = fittedSize(fullSize.width(), fullSize.height(), box.width(), box.height());
    if (picture.isNull() || size.isEmpty()) return {};
    // Scaled premultiplied, so that transparent parts blend as they would over black.
    const QImage source =
        picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const QImage scaled = source.size() == size
                              ? source
                              : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return placeOnBlack(scaled, box.width(), box.height());
}

}  // namespace quillon
