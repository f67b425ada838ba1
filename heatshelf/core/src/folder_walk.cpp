#include "heatshelf/folder_walk.h"

#include "ir_holder_common.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <sys/stat.h>
#include <vector>

#include "heatshelf/ir_image.h"
#include "ir_holder_common.h"

namespace heatshelf {
namespace {

bool nameLess(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

QList<FolderEntry> ListFolder(const QString& folder) {
    QList<FolderEntry> out;
    const QFileInfoList infos = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    out.reserve(infos.size());
    for (const QFileInfo& fi : infos) out.push_back({fi.fileName(), fi.isDir(), fi.isFile()});
    return out;
}

bool IsInfraredName(const QString& name) {
    const QString ext = name.right(4);
    return ext.compare(QLatin1String(".VNI"), Qt::CaseInsensitive) == 0 ||
           ext.compare(QLatin1String(".VNV"), Qt::CaseInsensitive) == 0 ||
           ext.compare(QLatin1String(".JPG"), Qt::CaseInsensitive) == 0;
}

QStringList InfraredCandidates(const QList<FolderEntry>& listing) {
    QStringList out;
    for (const FolderEntry& e : listing) {
        if (!e.isDirectory && e.isRegular && IsInfraredName(e.name)) out.push_back(e.name);
    }
    std::sort(out.begin(), out.end(), nameLess);
    return out;
}

WalkResult WalkFolder(const QStringList& candidates, const std::function<bool(const QString&)>& opens,
                      int what, const QString& current) {
    // The files that open, found lazily in order.
    std::vector<qsizetype> found;
    qsizetype cursor = 0;
    const qsizetype n = candidates.size();
    auto openableAt = [&](size_t k) {
        while (found.size() <= k && cursor < n) {
            if (opens(candidates[cursor])) found.push_back(cursor);
            ++cursor;
        }
        return found.size() > k;
    };

    if (current.isEmpty()) what = kWalkFirst;
    long target = 0;
    long here = -1;  // the current file's index when it still opens
    if (what != kWalkFirst) {
        while (cursor < n && nameLess(candidates[cursor], current)) {
            if (opens(candidates[cursor])) found.push_back(cursor);
            ++cursor;
        }
        const long before = static_cast<long>(found.size());
        if (cursor < n && candidates[cursor] == current) {
            if (opens(candidates[cursor])) {
                here = before;
                found.push_back(cursor);
            }
            ++cursor;
        }
        if (here >= 0) {
            target = what == kWalkNext ? here + 1 : what == kWalkPrevious ? std::max(here - 1, 0L) : here;
        } else {
            // Gone: next and again take the file now in its place.
            target = std::max(what == kWalkPrevious ? before - 1 : before, 0L);
        }
    }

    WalkResult r;
    if (!openableAt(static_cast<size_t>(target))) {
        if (here >= 0) {
            target = here;
        } else {
            target = static_cast<long>(found.size()) - 1;
        }
    }
    if (target < 0) return r;
    r.index = static_cast<int>(target);
    r.current = candidates[found[static_cast<size_t>(target)]];
    r.noFile = false;
    r.atFirst = target == 0;
    r.atLast = !openableAt(static_cast<size_t>(target) + 1);
    return r;
}

bool OpenTest::look(const QString& path, Entry* entry, bool* known) const {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    entry->stamp.size = st.st_size;
    entry->stamp.mtimeNs = qint64{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    std::lock_guard lock(m_mutex);
    const auto it = m_cache.constFind(path);
    *known = it != m_cache.constEnd() && it->stamp == entry->stamp;
    if (*known) entry->opens = it->opens;
    return true;
}

bool OpenTest::load(const QByteArray& localPath, const QString& path) const {
    thermcore::IfrHandleOwner owner(*m_calls);
    const int kind = FileKindOf(path);
    owner.reset(m_calls->LoadFile(nullptr, localPath.constData(), kind, nullptr, nullptr));
    if (!owner) return false;
    // A sequence loads from its header alone; like the holder's open, it
    // opens only when its first frame can be read.
    if (kind == IFR_KIND_SEQUENCE && m_calls->Next(owner.get()) < 0) return false;
    // A file that gives no temperature (its model cut off) is damaged; a
    // sequence inside a JPEG file has its model from its first frame.
    if (thermcore::GivesTemperatures(*m_calls, owner.get())) return true;
    return kind == IFR_KIND_JPEG && m_calls->Next(owner.get()) >= 0 &&
           thermcore::GivesTemperatures(*m_calls, owner.get());
}

bool OpenTest::Test(const QString& path, FileStamp* stamp) {
    Entry entry;
    bool known = false;
    if (!look(path, &entry, &known)) {
        std::lock_guard lock(m_mutex);
        m_cache.remove(path);
        return false;
    }
    if (stamp != nullptr) *stamp = entry.stamp;
    if (known) return entry.opens;
    ++m_loads;
    entry.opens = load(QFile::encodeName(path), path);
    std::lock_guard lock(m_mutex);
    m_cache.insert(path, entry);
    return entry.opens;
}

void OpenTest::clear() {
    std::lock_guard lock(m_mutex);
    m_cache.clear();
}

void OpenTest::testAll(const QStringList& paths) {
    struct Job {
        QString path;
        QByteArray local;
        Entry entry;
    };
    std::vector<Job> jobs;
    for (const QString& path : paths) {
        Job job{path, QFile::encodeName(path), {}};
        bool known = false;
        if (look(path, &job.entry, &known) && !known) jobs.push_back(std::move(job));
    }
    const size_t threads = std::min<size_t>({4, std::max(1u, std::thread::hardware_concurrency()), jobs.size()});
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) jobs[i].entry.opens = load(jobs[i].local, jobs[i].path);
    };
    std::vector<std::thread> pool;
    for (size_t t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    std::lock_guard lock(m_mutex);
    for (const Job& job : jobs) m_cache.insert(job.path, job.entry);
    m_loads += static_cast<int>(jobs.size());
}

}  // namespace heatshelf
