// One file to one thumbnail of the box's size: from the desktop's cache when
// it holds a current one, else decoded as small as will do, stored in the
// cache, and fitted. Cold and warm runs give the same pixels, since both fit
// from the cached size.
#pragma once

#include "album/thumbnail_cache.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace quillon {

class ThumbnailMaker {
public:
    // Without a cache every file is decoded.
    ThumbnailMaker(QSize box, std::optional<ThumbnailCache> cache);

    // The box-sized thumbnail, or nothing when the file does not decode.
    // When the thumbnail is the cached one unchanged (its size is the box's),
    // png receives the cache file's bytes, so that a caller writing PNG files
    // copies them instead of encoding again; else it is left empty.
    // Safe to call from several threads at once.
    std::optional<QImage> make(const QString& path, QByteArray* png = nullptr) const;
    QSize box() const { return m_box; }

private:
    QSize m_box;
    std::optional<ThumbnailCache> m_cache;
    ThumbnailCache::Flavor m_flavor;
};

}  // namespace quillon
