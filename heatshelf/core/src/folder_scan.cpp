#include "heatshelf/folder_scan.h"

#include <QDir>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include <pthread.h>

namespace heatshelf {

struct FolderScan::Shared {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    enum Phase { Idle, NeedList, Listing, Testing } phase = Idle;
    int batch = 0;
    bool stop = false;
    int busy = 0;  // threads listing or testing
    QString folder;
    QStringList names;                 // the candidates, in name order
    std::vector<signed char> answers;  // per candidate: -1 not yet, 0 no, 1 opens
    std::vector<FileStamp> stamps;
    qsizetype next = 0;      // the next candidate to hand out
    qsizetype reported = 0;  // the first candidate not yet reported
    bool finishedReported = false;
    bool deliveryPosted = false;

    // Something is left to hand out to a thread.
    bool work() const { return phase == NeedList || (phase == Testing && next < names.size()); }
    bool idle() const {
        return busy == 0 && !work() && phase != Listing && (phase != Testing || finishedReported);
    }
};

FolderScan::FolderScan(OpenTest& test, int threads) : m_test(test), m_shared(std::make_unique<Shared>()) {
    const int count = std::clamp(threads, 1, 8);
    for (int i = 0; i < count; ++i) {
        m_threads.emplace_back([this, i] {
            const std::string name = "folder-scan-" + std::to_string(i);
            pthread_setname_np(pthread_self(), name.c_str());
            run();
        });
    }
}

FolderScan::~FolderScan() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
    }
    m_shared->changed.notify_all();
    for (std::thread& t : m_threads) t.join();
}

int FolderScan::Start(const QString& folder) {
    int batch = 0;
    {
        std::lock_guard lock(m_shared->mutex);
        Shared& s = *m_shared;
        batch = ++s.batch;
        s.phase = Shared::NeedList;
        s.folder = folder;
        s.names.clear();
        s.answers.clear();
        s.stamps.clear();
        s.next = s.reported = 0;
        s.finishedReported = false;
    }
    m_shared->changed.notify_all();
    return batch;
}

void FolderScan::Cancel() {
    {
        std::lock_guard lock(m_shared->mutex);
        Shared& s = *m_shared;
        ++s.batch;
        s.phase = Shared::Idle;
        s.names.clear();
        s.answers.clear();
        s.stamps.clear();
        s.next = s.reported = 0;
    }
    m_shared->changed.notify_all();
}

int FolderScan::batch() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->batch;
}

bool FolderScan::IsIdle() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->idle();
}

bool FolderScan::WaitIdle(int ms) const {
    std::unique_lock lock(m_shared->mutex);
    return m_shared->changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_shared->idle(); });
}

void FolderScan::run() {
    Shared& s = *m_shared;
    // Hands the results to the scan object's thread: one queued call at a
    // time reports all that are ready. Called with the mutex held.
    const auto post = [this, &s] {
        if (s.deliveryPosted) return;
        s.deliveryPosted = true;
        QMetaObject::invokeMethod(this, &FolderScan::deliver, Qt::QueuedConnection);
    };
    for (;;) {
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock, [&] { return s.stop || s.work(); });
        if (s.stop) return;
        const int batch = s.batch;
        if (s.phase == Shared::NeedList) {
            s.phase = Shared::Listing;
            const QString folder = s.folder;
            ++s.busy;
            lock.unlock();
            // Only plain files are candidates: the listing checks each entry
            // with stat and opens none.
            QStringList names = InfraredCandidates(ListFolder(folder));
            lock.lock();
            --s.busy;
            if (batch == s.batch && !s.stop) {
                s.names = std::move(names);
                s.answers.assign(size_t(s.names.size()), -1);
                s.stamps.assign(size_t(s.names.size()), FileStamp{});
                s.next = 0;
                s.phase = Shared::Testing;
                if (s.names.isEmpty()) post();
            }
            lock.unlock();
            s.changed.notify_all();
            continue;
        }
        const qsizetype index = s.next++;
        const QString path = QDir(s.folder).filePath(s.names[index]);
        ++s.busy;
        lock.unlock();
        FileStamp stamp;
        const bool opens = m_test.Test(path, &stamp);
        lock.lock();
        --s.busy;
        if (batch == s.batch && !s.stop) {
            s.answers[size_t(index)] = opens ? 1 : 0;
            s.stamps[size_t(index)] = stamp;
            post();
        }
        lock.unlock();
        s.changed.notify_all();
    }
}

void FolderScan::deliver() {
    QList<ScannedFile> files;
    bool finished = false;
    int batch = 0;
    {
        std::lock_guard lock(m_shared->mutex);
        Shared& s = *m_shared;
        s.deliveryPosted = false;
        if (s.phase != Shared::Testing || s.finishedReported) return;
        batch = s.batch;
        const qsizetype count = s.names.size();
        for (int taken = 0; s.reported < count && s.answers[size_t(s.reported)] >= 0 && taken < kFilesPerReport;
             ++taken, ++s.reported) {
            if (s.answers[size_t(s.reported)] == 1) files.push_back({s.names[s.reported], s.stamps[size_t(s.reported)]});
        }
        finished = s.reported == count;
        s.finishedReported = finished;
        // A report cut short leaves answers waiting: the next turn takes them.
        if (!finished && s.answers[size_t(s.reported)] >= 0) {
            s.deliveryPosted = true;
            QMetaObject::invokeMethod(this, &FolderScan::deliver, Qt::QueuedConnection);
        }
    }
    if (finished) m_shared->changed.notify_all();
    if (!files.isEmpty() || finished) emit found(batch, files, finished);
}

}  // namespace heatshelf
