#include "album/thumbnail_loader.h"

#include <QMutexLocker>
#include <QThread>

namespace quillon {
namespace {
// Keys of queued files: urgent ones below zero, folder order from here up.
constexpr qint64 kFolderOrderBase = qint64(1) << 40;
}  // namespace

ThumbnailLoader::ThumbnailLoader(ThumbnailMaker maker, QObject* parent, int threads)
    : QObject(parent), m_maker(std::move(maker)), m_nextKey(kFolderOrderBase) {
    m_pool.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
}

ThumbnailLoader::~ThumbnailLoader() {
    cancel();
    m_pool.waitForDone();
}

void ThumbnailLoader::add(qint64 id, const QString& path) {
    ++m_outstanding;
    QMutexLocker lock(&m_mutex);
    const qint64 key = m_nextKey++;
    m_pending.emplace(key, Job{id, path});
    m_keyOfId[id] = key;
    if (m_workers < m_pool.maxThreadCount()) {
        ++m_workers;
        m_pool.start([this] { work(); });
    }
}

void ThumbnailLoader::prioritise(const std::vector<qint64>& ids) {
    QMutexLocker lock(&m_mutex);
    // Each call's list goes ahead of every earlier one.
    m_urgentBase -= qint64(ids.size()) + 1;
    qint64 key = m_urgentBase;
    for (qint64 id : ids) {
        const auto found = m_keyOfId.find(id);
        if (found == m_keyOfId.end()) continue;
        auto node = m_pending.extract(found->second);
        if (node.empty()) continue;
        node.key() = key;
        found->second = key;
        m_pending.insert(std::move(node));
        ++key;
    }
}

void ThumbnailLoader::cancel() {
    QMutexLocker lock(&m_mutex);
    m_pending.clear();
    m_keyOfId.clear();
    ++m_generation;
    m_outstanding = 0;
}

void ThumbnailLoader::work() {
    for (;;) {
        Job job;
        quint64 generation;
        {
            QMutexLocker lock(&m_mutex);
            if (m_pending.empty()) {
                --m_workers;
                return;
            }
            auto first = m_pending.begin();
            job = std::move(first->second);
            m_pending.erase(first);
            m_keyOfId.erase(job.id);
            generation = m_generation;
        }
        QByteArray png;
        std::optional<QImage> thumbnail = m_maker.make(job.path, m_sink ? &png : nullptr);
        if (thumbnail && m_sink) m_sink(job.id, *thumbnail, png);
        QMetaObject::invokeMethod(
            this, [this, generation, id = job.id, t = std::move(thumbnail)]() mutable { deliver(generation, id, std::move(t)); },
            Qt::QueuedConnection);
    }
}

void ThumbnailLoader::deliver(quint64 generation, qint64 id, std::optional<QImage> thumbnail) {
    {
        QMutexLocker lock(&m_mutex);
        if (generation != m_generation) return;
    }
    --m_outstanding;
    if (thumbnail) emit ready(id, *thumbnail);
    else emit failed(id);
    if (m_outstanding == 0) emit finished();
}

}  // namespace quillon
