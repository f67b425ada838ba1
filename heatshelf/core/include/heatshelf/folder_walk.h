// Choosing the file the image view shows: the infrared files of a folder in
// name order, and a step (first, previous, next, again) among those that
// open. The walk is a pure function of a listing and an "opens" test, so it
// is tested on a table of names; OpenTest is the real test, cached.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

#include "thermcore_calls.h"

namespace heatshelf {

struct FolderEntry {
    QString name;
    bool isDirectory = false;
    // A plain file (or a link to one): never a pipe, socket or device,
    // which could block whoever opens it.
    bool isRegular = true;
};

// The folder's entries, in no particular order; empty when it cannot be read.
QList<FolderEntry> ListFolder(const QString& folder);

// True when the last four characters are ".VNI", ".VNV" or ".JPG", in any case.
bool IsInfraredName(const QString& name);

// The names of the entries that are plain infrared files, sorted
// by name without regard to case (ties by the exact name).
QStringList InfraredCandidates(const QList<FolderEntry>& listing);

enum WalkWhat { kWalkFirst = 0, kWalkPrevious = 1, kWalkNext = 2, kWalkAgain = 3 };

struct WalkResult {
    int index = -1;       // among the files that open; -1 when none
    QString current;      // the name of the file at index; empty when none
    bool noFile = true;   // index is -1
    bool atFirst = false; // index is 0
    bool atLast = true;   // no file that opens follows
};

// One step from the current file (its name; empty for none) among the
// candidates that open. The current file is found again by name, so the
// index follows it when files come and go; a current file that has gone
// stands for the place it had. First takes the first file that opens;
// previous and next the neighbours (previous stays on the first); again the
// current file. A step that finds no file keeps the current one (a gone
// current file gives the last file that opens). Candidates are opened in
// order, and only up to one beyond the file chosen.
WalkResult WalkFolder(const QStringList& candidates, const std::function<bool(const QString&)>& opens,
                      int what, const QString& current);

// What tells one version of a file from the next: its size and
// modification time.
struct FileStamp {
    qint64 size = 0;
    qint64 mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// Whether a file opens: the library loads it (kind by its extension) and,
// for a sequence, reads its first frame; then closes and frees it. Answers
// are kept by path, size and modification time. Any thread may ask (the
// calls must allow that, as the library's do): the cache is locked, a load
// is not.
class OpenTest {
public:
    explicit OpenTest(const thermcore::IfrCalls& calls = thermcore::ExportedCalls()) : m_calls(&calls) {}
    OpenTest(const OpenTest&) = delete;
    OpenTest& operator=(const OpenTest&) = delete;
    bool operator()(const QString& path) { return Test(path, nullptr); }
    // As operator(); *stamp (when given): the file's size and time as tested.
    bool Test(const QString& path, FileStamp* stamp);
    // Tests every path not yet known, on a few threads at once; later
    // questions about them are answered from the cache.
    void testAll(const QStringList& paths);
    void clear();
    int loads() const { return m_loads; }

private:
    struct Entry {
        FileStamp stamp;
        bool opens = false;
    };
    // The file's entry with its current size and time; false when it is
    // missing or not a plain file. *known: the cached answer still holds.
    bool look(const QString& path, Entry* entry, bool* known) const;
    bool load(const QByteArray& localPath, const QString& path) const;
    const thermcore::IfrCalls* m_calls;
    mutable std::mutex m_mutex;  // guards m_cache
    QHash<QString, Entry> m_cache;
    std::atomic<int> m_loads{0};
};

}  // namespace heatshelf
