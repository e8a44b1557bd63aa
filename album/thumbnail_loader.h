// Thumbnails made on worker threads. Files are queued in the folder's order;
// the owner names the files on view, which go first, and names them again
// when the view moves. Each result comes back on the owner's thread with the
// id it was queued under; results of a cancelled queue never arrive.
#pragma once

#include "album/thumbnail_maker.h"

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace quillon {

class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailLoader(ThumbnailMaker maker, QObject* parent = nullptr, int threads = 0);
    ~ThumbnailLoader() override;

    void add(qint64 id, const QString& path);
    // These ids first, in this order (the rest keep their folder order).
    void prioritise(const std::vector<qint64>& ids);
    // Forgets the queue; results of jobs still running are dropped.
    void cancel();
    // Nothing queued or running for the current queue.
    bool idle() const { return m_outstanding == 0; }
    const ThumbnailMaker& maker() const { return m_maker; }
    // Runs on the worker thread for every thumbnail made, before it is
    // delivered: writing the thumbnails out there keeps the owner's thread free.
    // Called on the worker thread with each thumbnail as it is made, and the
    // cache's PNG bytes when they hold exactly that thumbnail (else empty).
    using WorkerSink = std::function<void(qint64 id, const QImage& thumbnail, const QByteArray& png)>;
    void setWorkerSink(WorkerSink sink) { m_sink = std::move(sink); }

signals:
    void ready(qint64 id, const QImage& thumbnail);
    void failed(qint64 id);
    void finished();

private:
    struct Job {
        qint64 id;
        QString path;
    };
    void work();
    void deliver(quint64 generation, qint64 id, std::optional<QImage> thumbnail);

    ThumbnailMaker m_maker;
    WorkerSink m_sink;
    QThreadPool m_pool;
    QMutex m_mutex;
    std::map<qint64, Job> m_pending;              // by order key
    std::unordered_map<qint64, qint64> m_keyOfId;  // id -> order key
    qint64 m_nextKey = 0;
    qint64 m_urgentBase = 0;  // urgent keys count down from here
    int m_workers = 0;
    quint64 m_generation = 0;
    int m_outstanding = 0;  // owner's thread only
};

}  // namespace quillon
