#include "effects/clipboard.h"

#include "gmem/global_memory.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

namespace quillon {
namespace {

const QString kBmp = QStringLiteral("image/bmp");

void put32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}

uint32_t get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

namespace {

// The packed DIB of the whole picture with a file header in front.
QByteArray bmpOf(const CImageObject& source) {
    GlobalHandle block = source.toPackedDib();
    if (!block) return {};
    const size_t size = gmemSize(block);
    const auto* dib = static_cast<const uint8_t*>(gmemLock(block));
    // The pixels follow the header, the masks of bit-field pictures and the colour table.
    const uint32_t headerSize = get32(dib);
    const int bits = dib[14] | (dib[15] << 8);
    uint32_t colours = get32(dib + 32);
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    const uint32_t compression = get32(dib + 16);
    const uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    QByteArray out(int(14 + size), Qt::Uninitialized);
    char* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, uint32_t(out.size()));
    put32(p + 6, 0);
    put32(p + 10, 14 + headerSize + masks + colours * 4);
    std::memcpy(p + 14, dib, size);
    gmemUnlock(block);
    gmemFree(block);
    return out;
}

}  // namespace

std::unique_ptr<QMimeData> clipboardDataOf(const CImageObject& picture, std::optional<Rect> area) {
    std::unique_ptr<CImageObject> part;
    const CImageObject* source = &picture;
    if (area) {
        part = picture.copyRect(area->left, area->top, area->width(), area->height());
        if (!part) return nullptr;
        source = part.get();
    }
    const QByteArray bmp = bmpOf(*source);
    if (bmp.isEmpty()) return nullptr;
    auto data = std::make_unique<QMimeData>();
    const QImage plain = source->toDeviceImage();
    if (!plain.isNull()) data->setImageData(plain);
    data->setData(kBmp, bmp);
    return data;
}

bool copyToClipboard(const CImageObject& picture, std::optional<Rect> area) {
    std::unique_ptr<QMimeData> data = clipboardDataOf(picture, area);
    if (!data) return false;
    QGuiApplication::clipboard()->setMimeData(data.release());
    return true;
}

bool clipboardOffersPicture() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasImage() || data->hasFormat(kBmp));
}

std::shared_ptr<CImageObject> pictureOfMimeData(const QMimeData* data) {
    if (!data) return nullptr;
    auto picture = std::make_shared<CImageObject>();
    if (data->hasFormat(kBmp)) {
        QByteArray bmp = data->data(kBmp);
        if (bmp.startsWith("BM") && bmp.size() > 14) bmp.remove(0, 14);
        if (!bmp.isEmpty()) {
            GlobalHandle block = gmemAlloc(size_t(bmp.size()));
            if (block) {
                std::memcpy(gmemLock(block), bmp.constData(), size_t(bmp.size()));
                gmemUnlock(block);
                const bool ok = picture->fromPackedDib(block, false, false);
                gmemFree(block);
                if (ok) return picture;
            }
        }
    }
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull() && picture->fromDeviceImage(image, false, false)) return picture;
    }
    return nullptr;
}

std::shared_ptr<CImageObject> clipboardPicture() {
    return pictureOfMimeData(QGuiApplication::clipboard()->mimeData());
}

}  // namespace quillon
