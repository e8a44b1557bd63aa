#include "album/thumbnail_maker.h"

#include "album/reduced_decode.h"
#include "album/thumbnail_fit.h"

#include <QFileInfo>

namespace quillon {

ThumbnailMaker::ThumbnailMaker(QSize box, std::optional<ThumbnailCache> cache)
    : m_box(box), m_cache(std::move(cache)), m_flavor(ThumbnailCache::flavorFor(box)) {
    if (m_flavor == ThumbnailCache::Flavor::None) m_cache.reset();
}

namespace {

// The box-sized thumbnail of a cached one, with the cache's bytes when the
// fitting leaves its pixels as they are.
QImage fitCached(const QImage& cached, QSize fullSize, QSize box, const QByteArray& cachedPng, QByteArray* png) {
    if (png && cached.size() == box && !cached.hasAlphaChannel() &&
        fittedSize(fullSize.width(), fullSize.height(), box.width(), box.height()) == box)
        *png = cachedPng;
    return fitThumbnail(cached, fullSize, box);
}

}  // namespace

std::optional<QImage> ThumbnailMaker::make(const QString& path, QByteArray* png) const {
    if (png) png->clear();
    const QFileInfo file(path);
    // The cache's own files are never thumbnailed into it.
    const bool cached = m_cache && !file.absoluteFilePath().startsWith(m_cache->root() + u'/');
    if (cached) {
        if (auto entry = m_cache->lookup(file, m_flavor)) return fitCached(entry->image, entry->fullSize, m_box, entry->png, png);
        if (m_cache->failedBefore(file)) return std::nullopt;
    }
    // The cached size is what the box is fitted from, so decode at least that.
    const int edge = cached ? ThumbnailCache::edgeOf(m_flavor) : 0;
    const QSize box = m_box;
    const auto picture = decodeReduced(path, [edge, box](QSize full) {
        if (edge == 0) return fittedSize(full.width(), full.height(), box.width(), box.height());
        if (full.width() <= edge && full.height() <= edge) return full;
        return fittedSize(full.width(), full.height(), edge, edge);
    });
    if (!picture) {
        if (cached && file.exists()) m_cache->storeFailure(file);
        return std::nullopt;
    }
    if (!cached) return fitThumbnail(picture->image, picture->fullSize, m_box);
    // The cache keeps the shape within its square, never enlarged.
    QImage thumbnail = picture->image;
    const QSize full = picture->fullSize;
    const QSize size = full.width() <= edge && full.height() <= edge
                           ? full
                           : fittedSize(full.width(), full.height(), edge, edge);
    if (thumbnail.size() != size) {
        thumbnail = thumbnail.convertToFormat(thumbnail.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32)
                        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QByteArray stored = m_cache->store(file, m_flavor, thumbnail, full);
    return fitCached(thumbnail, full, m_box, stored, stored.isEmpty() ? nullptr : png);
}

}  // namespace quillon
