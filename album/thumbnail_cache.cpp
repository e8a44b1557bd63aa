#include "album/thumbnail_cache.h"

#include "album/thumbnail_png.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QUrl>

namespace quillon {
namespace {

constexpr char kUri[] = "Thumb::URI";
constexpr char kMTime[] = "Thumb::MTime";
constexpr char kSize[] = "Thumb::Size";
constexpr char kWidth[] = "Thumb::Image::Width";
constexpr char kHeight[] = "Thumb::Image::Height";

QString mtimeOf(const QFileInfo& file) {
    return QString::number(file.fileTime(QFileDevice::FileModificationTime).toSecsSinceEpoch());
}

QString folderOf(ThumbnailCache::Flavor flavor) {
    return flavor == ThumbnailCache::Flavor::Large ? QStringLiteral("large") : QStringLiteral("normal");
}

bool makePrivateFolder(const QString& path) {
    if (!QDir().mkpath(path)) return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

}  // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::defaultRoot() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails");
}

ThumbnailCache::Flavor ThumbnailCache::flavorFor(QSize box) {
    const int edge = std::max(box.width(), box.height());
    if (edge <= 128) return Flavor::Normal;
    if (edge <= 256) return Flavor::Large;
    return Flavor::None;
}

int ThumbnailCache::edgeOf(Flavor flavor) { return flavor == Flavor::Large ? 256 : 128; }

QString ThumbnailCache::uriOf(const QString& path) {
    return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

static QString hashName(const QString& path) {
    return QString::fromLatin1(
               QCryptographicHash::hash(ThumbnailCache::uriOf(path).toUtf8(), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString ThumbnailCache::thumbnailPath(const QString& path, Flavor flavor) const {
    return m_root + u'/' + folderOf(flavor) + u'/' + hashName(path);
}

QString ThumbnailCache::failurePath(const QString& path) const {
    return m_root + QStringLiteral("/fail/quillon/") + hashName(path);
}

namespace {

// A cached PNG with its text chunks; libpng directly, so that worker threads
// do not meet in the image format plugins' lock.
QImage readCached(const QString& path, QHash<QByteArray, QByteArray>& texts, QByteArray* bytes = nullptr) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    PngTexts list;
    const QByteArray data = file.readAll();
    QImage image = decodePng(data, &list);
    if (bytes) *bytes = data;
    for (auto& [key, value] : list) texts.insert(key, value);
    return image;
}

}  // namespace

std::optional<ThumbnailCache::Entry> ThumbnailCache::lookup(const QFileInfo& file, Flavor flavor) const {
    if (flavor == Flavor::None) return std::nullopt;
    QHash<QByteArray, QByteArray> texts;
    Entry entry;
    entry.image = readCached(thumbnailPath(file.absoluteFilePath(), flavor), texts, &entry.png);
    if (entry.image.isNull()) return std::nullopt;
    if (texts.value(kMTime) != mtimeOf(file).toUtf8()) return std::nullopt;
    if (texts.value(kUri) != uriOf(file.absoluteFilePath()).toUtf8()) return std::nullopt;
    const int width = texts.value(kWidth).toInt();
    const int height = texts.value(kHeight).toInt();
    // Thumbnails made by other programs may lack the picture's size; their
    // own size keeps the shape.
    entry.fullSize = width > 0 && height > 0 ? QSize(width, height) : entry.image.size();
    return entry;
}

bool ThumbnailCache::failedBefore(const QFileInfo& file) const {
    QHash<QByteArray, QByteArray> texts;
    if (readCached(failurePath(file.absoluteFilePath()), texts).isNull()) return false;
    return texts.value(kMTime) == mtimeOf(file).toUtf8() &&
           texts.value(kUri) == uriOf(file.absoluteFilePath()).toUtf8();
}

QByteArray ThumbnailCache::writePng(const QString& target, QImage image, const QFileInfo& file, QSize fullSize) const {
    if (!makePrivateFolder(QFileInfo(target).absolutePath())) return {};
    PngTexts texts = {{kUri, uriOf(file.absoluteFilePath()).toUtf8()},
                      {kMTime, mtimeOf(file).toUtf8()},
                      {kSize, QByteArray::number(file.size())}};
    if (fullSize.isValid()) {
        texts.push_back({kWidth, QByteArray::number(fullSize.width())});
        texts.push_back({kHeight, QByteArray::number(fullSize.height())});
    }
    texts.push_back({"Software", "Quillon"});
    const QByteArray bytes = encodeThumbnailPng(image, texts);
    if (bytes.isEmpty()) return {};
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return {};
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return {};
    }
    return out.commit() ? bytes : QByteArray();
}

QByteArray ThumbnailCache::store(const QFileInfo& file, Flavor flavor, const QImage& thumbnail, QSize fullSize) const {
    if (flavor == Flavor::None || thumbnail.isNull()) return {};
    return writePng(thumbnailPath(file.absoluteFilePath(), flavor), thumbnail, file, fullSize);
}

bool ThumbnailCache::storeFailure(const QFileInfo& file) const {
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    return !writePng(failurePath(file.absoluteFilePath()), mark, file, {}).isEmpty();
}

}  // namespace quillon
