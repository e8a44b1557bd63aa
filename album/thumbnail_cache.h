// The desktop's shared thumbnail cache: $XDG_CACHE_HOME/thumbnails (or
// ~/.cache/thumbnails), "normal" for thumbnails up to 128 x 128 and "large"
// up to 256 x 256, each a PNG named by the MD5 of the file's URI and carrying
// Thumb::URI and Thumb::MTime; a thumbnail whose MTime differs from the
// file's is stale. Files that do not decode get a record under
// fail/quillon so they are not tried again until they change.
#pragma once

#include <QFileInfo>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace quillon {

class ThumbnailCache {
public:
    enum class Flavor { Normal, Large, None };

    // The folder holding normal/, large/ and fail/.
    explicit ThumbnailCache(QString root = defaultRoot());
    static QString defaultRoot();
    const QString& root() const { return m_root; }

    // The smallest flavour whose square holds the box; None above 256.
    static Flavor flavorFor(QSize box);
    static int edgeOf(Flavor flavor);  // 128 or 256
    static QString uriOf(const QString& path);
    QString thumbnailPath(const QString& path, Flavor flavor) const;
    QString failurePath(const QString& path) const;

    struct Entry {
        QImage image;
        QSize fullSize;  // the picture's own size
        QByteArray png;  // the cached file as it is on disk
    };
    // A thumbnail made for this file as it is now, or nothing.
    std::optional<Entry> lookup(const QFileInfo& file, Flavor flavor) const;
    bool failedBefore(const QFileInfo& file) const;
    // Written through a temporary file and a rename, readable by the user
    // only; returns the bytes written, nothing when it could not be stored.
    QByteArray store(const QFileInfo& file, Flavor flavor, const QImage& thumbnail, QSize fullSize) const;
    bool storeFailure(const QFileInfo& file) const;

private:
    QByteArray writePng(const QString& target, QImage image, const QFileInfo& file, QSize fullSize) const;
    QString m_root;
};

}  // namespace quillon
