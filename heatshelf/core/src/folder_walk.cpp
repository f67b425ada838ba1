#include "heatshelf/folder_walk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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
    for (const QFileInfo& fi : infos) out.push_back({fi.fileName(), fi.isDir()});
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
        if (!e.isDirectory && IsInfraredName(e.name)) out.push_back(e.name);
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

bool OpenTest::operator()(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    struct stat st {};
    if (::stat(local.constData(), &st) != 0 || S_ISDIR(st.st_mode)) {
        m_cache.remove(path);
        return false;
    }
    const qint64 mtime = qint64{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    const auto it = m_cache.constFind(path);
    if (it != m_cache.constEnd() && it->size == st.st_size && it->mtimeNs == mtime) return it->opens;
    ++m_loads;
    thermcore::IfrHandleOwner owner(*m_calls);
    owner.reset(m_calls->LoadFile(nullptr, local.constData(), FileKindOf(path), nullptr, nullptr));
    const bool opens = static_cast<bool>(owner);
    m_cache.insert(path, Entry{st.st_size, mtime, opens});
    return opens;
}

}  // namespace heatshelf
