#include "heatshelf/thumbnail_worker.h"

#include <QImage>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <vector>

#include "heatshelf/image_view_core.h"
#include "heatshelf/ir_image.h"
#include "platform/dib.h"

namespace heatshelf {

QByteArray RenderThumbnail(CIrImage& holder, const QString& path, QSize cell) {
    holder.Close();
    if (holder.Open(path) != 1) return {};
    float upper = 0, lower = 0, high = 0, low = 0;
    holder.GetTempRange(&upper, &lower, &high, &low);
    std::vector<unsigned char> buffer;
    QByteArray dib;
    QImage image;
    const bool ok = RenderHolderPicture(holder, buffer, &dib, &image);
    holder.Close();
    if (!ok || cell.isEmpty()) return {};
    const QImage scaled = image.convertToFormat(QImage::Format_RGB32)
                              .scaled(cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return platform::BitmapToDIB(scaled, 24);
}

struct ThumbnailWorker::Shared {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<QString> queue;
    int batch = 0;
    int busy = 0;  // threads rendering
    bool stop = false;
};

ThumbnailWorker::ThumbnailWorker(QString appDirectory, QSize cell, const thermcore::IfrCalls& calls, int threads)
    : m_cell(cell), m_shared(std::make_unique<Shared>()) {
    const int count = std::clamp(threads, 1, 8);
    for (int i = 0; i < count; ++i) {
        // Each thread has a holder of its own: a handle serves one thread.
        auto holder = std::make_shared<CIrImage>(appDirectory, calls);
        QThread* t = QThread::create([this, holder] { run(*holder); });
        t->setObjectName(QStringLiteral("thumbnails-%1").arg(i));
        t->start(QThread::LowPriority);
        m_threads.push_back(t);
    }
}

ThumbnailWorker::~ThumbnailWorker() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
        m_shared->queue.clear();
    }
    m_shared->changed.notify_all();
    for (QThread* t : m_threads) {
        t->wait();
        delete t;
    }
}

int ThumbnailWorker::Start(const QStringList& paths) {
    int batch = 0;
    {
        std::lock_guard lock(m_shared->mutex);
        batch = ++m_shared->batch;
        m_shared->queue.assign(paths.begin(), paths.end());
    }
    m_shared->changed.notify_all();
    return batch;
}

void ThumbnailWorker::Prioritise(const QStringList& paths) {
    std::lock_guard lock(m_shared->mutex);
    std::deque<QString>& q = m_shared->queue;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        const auto found = std::find(q.begin(), q.end(), *it);
        if (found == q.end() || found == q.begin()) continue;
        QString path = std::move(*found);
        q.erase(found);
        q.push_front(std::move(path));
    }
}

void ThumbnailWorker::Add(const QString& path) {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_front(path);
    }
    m_shared->changed.notify_all();
}

void ThumbnailWorker::Cancel() {
    std::lock_guard lock(m_shared->mutex);
    ++m_shared->batch;
    m_shared->queue.clear();
}

int ThumbnailWorker::batch() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->batch;
}

bool ThumbnailWorker::IsIdle() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->queue.empty() && m_shared->busy == 0;
}

bool ThumbnailWorker::WaitIdle(int ms) const {
    std::unique_lock lock(m_shared->mutex);
    return m_shared->changed.wait_for(lock, std::chrono::milliseconds(ms),
                                      [this] { return m_shared->queue.empty() && m_shared->busy == 0; });
}

void ThumbnailWorker::run(CIrImage& holder) {
    Shared& s = *m_shared;
    for (;;) {
        QString path;
        int batch = 0;
        {
            std::unique_lock lock(s.mutex);
            s.changed.wait(lock, [&] { return s.stop || !s.queue.empty(); });
            if (s.stop) return;
            path = std::move(s.queue.front());
            s.queue.pop_front();
            batch = s.batch;
            ++s.busy;
        }
        const QByteArray dib = RenderThumbnail(holder, path, m_cell);
        bool current = false;
        {
            std::lock_guard lock(s.mutex);
            current = batch == s.batch && !s.stop;
        }
        // A result reaches the grid through its event loop (posted before
        // the worker counts as idle); one of a batch given up meanwhile is
        // dropped here, and the grid checks the batch again.
        if (current) emit rendered(batch, path, dib);
        {
            std::lock_guard lock(s.mutex);
            --s.busy;
        }
        s.changed.notify_all();
    }
}

}  // namespace heatshelf
