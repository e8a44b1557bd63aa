// The picture in the screen's form (QImage) and back. Kept apart from the
// rest of the picture object so that programs that only read and write files
// (quillon-cli) link no QtGui.
#include "image/image_object.h"

#include "image/last_result.h"
#include "imaging/codecs/bmp.h"
#include "imaging/imaging.h"

#include <algorithm>
#include <cstring>

namespace quillon {

using imaging::Bitmap;

QImage CImageObject::toDeviceImage() const {
    if (!m_hasBitmap) return {};
    return toDeviceImage(Rect{0, 0, m_bitmap.width, m_bitmap.height});
}

QImage CImageObject::toDeviceImage(const Rect& wanted) const {
    if (!m_hasBitmap) return {};
    const Bitmap& b = m_bitmap;
    const Rect area{std::max(0, wanted.left), std::max(0, wanted.top), std::min(b.width, wanted.right),
                    std::min(b.height, wanted.bottom)};
    if (area.isEmpty()) return {};
    const int x0 = area.left, w = area.width();
    // 1-bit rows copy as they are when the area starts on a byte.
    const bool monoBytes = b.bitsPerPixel == 1 && x0 % 8 == 0;
    QImage::Format format;
    switch (b.bitsPerPixel) {
    case 1: format = monoBytes ? QImage::Format_Mono : QImage::Format_Indexed8; break;
    case 4: format = QImage::Format_Indexed8; break;
    case 8: format = QImage::Format_Indexed8; break;
    case 15: format = QImage::Format_RGB555; break;
    case 16: format = QImage::Format_RGB16; break;
    case 24: format = b.colorOrder == imaging::kBgr ? QImage::Format_BGR888 : QImage::Format_RGB888; break;
    default: format = b.colorOrder == imaging::kBgr ? QImage::Format_RGB32 : QImage::Format_RGBX8888;
    }
    QImage image(w, area.height(), format);
    if (image.isNull()) return {};
    const int bytesPerPixel = b.bitsPerPixel == 15 ? 2 : b.bitsPerPixel / 8;
    for (int y = area.top; y < area.bottom; ++y) {
        const uint8_t* from = b.storedRow(storedRow(y));
        uchar* to = image.scanLine(y - area.top);
        if (b.bitsPerPixel == 4) {
            for (int x = x0; x < area.right; ++x) to[x - x0] = (x & 1) ? from[x / 2] & 0x0F : from[x / 2] >> 4;
        } else if (b.bitsPerPixel == 1 && !monoBytes) {
            for (int x = x0; x < area.right; ++x) to[x - x0] = (from[x >> 3] >> (7 - (x & 7))) & 1;
        } else if (b.bitsPerPixel == 1) {
            std::memcpy(to, from + x0 / 8, size_t((w + 7) / 8));
        } else {
            std::memcpy(to, from + size_t(x0) * size_t(bytesPerPixel), size_t(w) * size_t(bytesPerPixel));
            if (b.bitsPerPixel == 32)
                for (int x = 0; x < w; ++x) to[4 * x + 3] = 0xFF;
        }
    }
    if (b.isIndexed()) {
        QList<QRgb> table = copyPalette().value_or(QList<QRgb>{});
        table.resize(1 << std::min(b.bitsPerPixel, 8), qRgb(0, 0, 0));
        image.setColorTable(table);
    }
    image.setDotsPerMeterX(imaging::bmp::pixelsPerMetreFromDpi(b.xResolution));
    image.setDotsPerMeterY(imaging::bmp::pixelsPerMetreFromDpi(b.yResolution));
    return image;
}

bool CImageObject::fromDeviceImage(const QImage& source, bool resize, bool redraw) {
    if (source.isNull()) {
        setLastImagingResult(imaging::kErrBadParameter);
        return false;
    }
    const bool indexed = source.format() == QImage::Format_Indexed8 || source.format() == QImage::Format_Mono;
    const QImage image = indexed ? source : source.convertToFormat(QImage::Format_BGR888);
    const int bits = image.format() == QImage::Format_Mono ? 1 : indexed ? 8 : 24;
    Bitmap replacement;
    imaging::initialize(replacement, image.width(), image.height(), bits);
    int result = imaging::allocate(replacement);
    setLastImagingResult(result);
    if (result != imaging::kSuccess) return false;
    if (indexed) {
        const QList<QRgb> table = image.colorTable();
        replacement.paletteCount = std::min<int>(int(table.size()), 1 << bits);
        for (int i = 0; i < replacement.paletteCount; ++i)
            replacement.palette[i] = imaging::RgbQuad{uint8_t(qBlue(table[i])), uint8_t(qGreen(table[i])),
                                                      uint8_t(qRed(table[i])), 0};
    }
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(replacement.storedRow(y), image.constScanLine(y),
                    std::min<size_t>(size_t(image.bytesPerLine()), size_t(replacement.bytesPerLine)));
    return adoptBitmap(std::move(replacement), resize, redraw);
}

}  // namespace quillon
