#include "heatshelf/thumbnail_worker.h"

#include <QHash>
#include <QMetaObject>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include "heatshelf/image_view_core.h"
#include "heatshelf/ir_image.h"
#include "platform/dib.h"

namespace heatshelf {

namespace {

// A packed 24-bit bitmap shrunk to cell: each pixel of the result is the
// mean of the bitmap's pixels it covers (a box filter), read straight from
// the stored rows; null when the bytes are not such a bitmap.
QImage ShrinkDibPicture(QByteArrayView dib, QSize cell) {
    platform::DibInfoHeader info;
    if (platform::CheckDib(dib) != platform::DibCheck::Ok || !platform::GetDIBInfoHeader(dib, &info) ||
        info.biBitCount != 24 || info.biCompression != platform::kBiRgb)
        return {};
    const int width = info.biWidth;
    const int height = std::abs(info.biHeight);
    const bool bottomUp = info.biHeight > 0;
    const std::size_t stride = platform::DibRowBytes(width, 24);
    const auto* bits = reinterpret_cast<const uchar*>(dib.data()) + platform::FindDIBBits(dib);
    QImage out(cell, QImage::Format_RGB32);
    if (out.isNull()) return {};
    const int cw = cell.width();
    // How many picture columns each cell column takes, left to right (at
    // least one: a picture narrower than the cell repeats its pixels).
    std::vector<std::uint32_t> columns(size_t(cw), 0);
    for (int c = 0; c < cw; ++c) {
        const int from = int(qint64(c) * width / cw);
        const int to = std::max(from + 1, int(qint64(c + 1) * width / cw));
        columns[size_t(c)] = std::uint32_t(to - from);
    }
    std::vector<std::uint32_t> sums(size_t(cw) * 3);
    for (int r = 0; r < cell.height(); ++r) {
        const int y0 = int(qint64(r) * height / cell.height());
        const int y1 = std::max(y0 + 1, int(qint64(r + 1) * height / cell.height()));
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = y0; y < y1; ++y) {
            const uchar* px = bits + std::size_t(bottomUp ? height - 1 - y : y) * stride;
            if (width >= cw) {
                // Each span summed in registers, then added once.
                for (int c = 0; c < cw; ++c) {
                    std::uint32_t b = 0, g = 0, red = 0;
                    for (const uchar* end = px + std::size_t(columns[size_t(c)]) * 3; px < end; px += 3) {
                        b += px[0];
                        g += px[1];
                        red += px[2];
                    }
                    std::uint32_t* sum = &sums[size_t(c) * 3];
                    sum[0] += b;
                    sum[1] += g;
                    sum[2] += red;
                }
            } else {
                for (int c = 0; c < cw; ++c) {
                    const uchar* from = px + std::size_t(qint64(c) * width / cw) * 3;
                    sums[size_t(c) * 3] += from[0];
                    sums[size_t(c) * 3 + 1] += from[1];
                    sums[size_t(c) * 3 + 2] += from[2];
                }
            }
        }
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(r));
        for (int c = 0; c < cw; ++c) {
            const std::uint32_t n = std::uint32_t(y1 - y0) * (width >= cw ? columns[size_t(c)] : 1u);
            const std::uint32_t* sum = &sums[size_t(c) * 3];
            line[c] = qRgb(int((sum[2] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[0] + n / 2) / n));
        }
    }
    return out;
}

}  // namespace

QByteArray RenderThumbnail(CIrImage& holder, const QString& path, QSize cell, std::vector<unsigned char>& scratch) {
    holder.Close();
    if (cell.isEmpty() || holder.Open(path) != 1) return {};
    float upper = 0, lower = 0, high = 0, low = 0;
    holder.GetTempRange(&upper, &lower, &high, &low);
    // The library's own rendering of the picture, as the single view shows
    // it, shrunk while it is read: no full-size image is made.
    const int capacity = std::max(ThermcoreDibFileSize(holder.imageWidth(), holder.imageHeight()),
                                  ThermcoreDibFileSize(holder.displayWidth(), holder.displayHeight()));
    int size = 0;
    QImage image;
    if (capacity > int(platform::kBmpFileHeaderSize)) {
        scratch.resize(size_t(capacity));
        // The holder leaves the packed bitmap at the block's start; size
        // counts the file header it dropped.
        if (holder.OutputDIB(scratch.data(), capacity, &size, 3) == 0 && size > 14 && size <= capacity)
            image = ShrinkDibPicture(QByteArrayView(scratch.data(), size - 14), cell);
    }
    holder.Close();
    return image.isNull() ? QByteArray() : platform::BitmapToDIB(image, 24);
}

QByteArray RenderThumbnail(CIrImage& holder, const QString& path, QSize cell) {
    std::vector<unsigned char> scratch;
    return RenderThumbnail(holder, path, cell, scratch);
}

namespace {
constexpr int kNice = 5;
}  // namespace

struct ThumbnailWorker::Shared {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<QString> queue;
    int batch = 0;
    int busy = 0;  // threads rendering
    int renders = 0;
    bool stop = false;
    struct Result {
        int batch;
        QString path;
        QByteArray dib;
    };
    std::vector<Result> done;     // rendered, not yet delivered
    bool deliveryPosted = false;  // a call of deliver() is queued
};

ThumbnailWorker::ThumbnailWorker(QString appDirectory, QSize cell, const thermcore::IfrCalls& calls, int threads)
    : m_cell(cell), m_shared(std::make_unique<Shared>()) {
    const int count = std::clamp(threads, 1, 8);
    for (int i = 0; i < count; ++i) {
        // Each thread has a holder of its own: a handle serves one thread.
        auto holder = std::make_shared<CIrImage>(appDirectory, calls);
        holder->SetSharesFrameRecord(false);
        m_threads.emplace_back([this, holder, i] {
            const std::string name = "thumbnails-" + std::to_string(i);
            pthread_setname_np(pthread_self(), name.c_str());
            run(*holder);
        });
    }
}

ThumbnailWorker::~ThumbnailWorker() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
        m_shared->queue.clear();
    }
    m_shared->changed.notify_all();
    // Joined before the shared state goes: nothing of a thread outlives it.
    for (std::thread& t : m_threads) t.join();
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
    // One pass over the queue whatever its length: the grid asks at every
    // scroll while a large folder is still queued.
    QHash<QString, qsizetype> rank;
    rank.reserve(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) rank.insert(paths[i], i);
    std::lock_guard lock(m_shared->mutex);
    std::deque<QString>& q = m_shared->queue;
    std::vector<QString> front(size_t(paths.size()));
    std::deque<QString> rest;
    bool moved = false;
    for (QString& path : q) {
        const auto it = rank.constFind(path);
        if (it != rank.constEnd() && front[size_t(*it)].isNull()) {
            front[size_t(*it)] = std::move(path);
            moved = true;
        } else {
            rest.push_back(std::move(path));
        }
    }
    if (!moved) {
        q = std::move(rest);
        return;
    }
    q.clear();
    for (QString& path : front)
        if (!path.isNull()) q.push_back(std::move(path));
    for (QString& path : rest) q.push_back(std::move(path));
}

void ThumbnailWorker::Add(const QString& path) {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_front(path);
    }
    m_shared->changed.notify_all();
}

void ThumbnailWorker::Append(const QStringList& paths) {
    if (paths.isEmpty()) return;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.insert(m_shared->queue.end(), paths.begin(), paths.end());
    }
    m_shared->changed.notify_all();
}

int ThumbnailWorker::renders() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->renders;
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

void ThumbnailWorker::deliver() {
    std::vector<Shared::Result> results;
    {
        std::lock_guard lock(m_shared->mutex);
        results.swap(m_shared->done);
        m_shared->deliveryPosted = false;
    }
    for (const Shared::Result& r : results) emit rendered(r.batch, r.path, r.dib);
}

void ThumbnailWorker::run(CIrImage& holder) {
    // Below the window's thread, which must stay free to paint and scroll
    // when the processors are busy: a thread's priority class does not lower
    // an ordinary thread here, its nice value does.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kNice);
    Shared& s = *m_shared;
    std::vector<unsigned char> scratch;  // the picture's bytes, kept between files
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
        QByteArray dib = RenderThumbnail(holder, path, m_cell, scratch);
        {
            // A result reaches the grid through its event loop: it waits in
            // the shared list (handed over under the mutex), and one queued
            // call delivers all that are waiting, posted before the worker
            // counts as idle. One of a batch given up meanwhile is dropped
            // here, and the grid checks the batch again.
            std::lock_guard lock(s.mutex);
            ++s.renders;
            if (batch == s.batch && !s.stop) {
                s.done.push_back({batch, std::move(path), std::move(dib)});
                if (!s.deliveryPosted) {
                    s.deliveryPosted = true;
                    QMetaObject::invokeMethod(this, &ThumbnailWorker::deliver, Qt::QueuedConnection);
                }
            }
            --s.busy;
        }
        s.changed.notify_all();
    }
}

}  // namespace heatshelf
