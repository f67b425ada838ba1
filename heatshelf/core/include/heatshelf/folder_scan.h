// Lists a folder and finds which of its infrared files open, on threads of
// its own, so that entering a folder never blocks the window (a slow card
// reader or network share takes seconds to answer). The files that open
// come back in name order, a few at a time as their tests end; the list
// they make is the one InfraredCandidates and OpenTest give together.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <thread>
#include <vector>

#include "heatshelf/folder_walk.h"

namespace heatshelf {

struct ScannedFile {
    QString name;     // in the folder scanned
    FileStamp stamp;  // size and time when it was tested
};

class FolderScan : public QObject {
    Q_OBJECT
public:
    // test: the cache the answers go to and come from (it must outlive the
    // scan); threads: how many files are tested at once (1..8).
    explicit FolderScan(OpenTest& test, int threads = 4);
    ~FolderScan() override;
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    // Gives up the scan under way and scans folder; the batch number its
    // results carry.
    int Start(const QString& folder);
    // Gives up the scan under way: nothing more of it is reported.
    void Cancel();
    int batch() const;
    // Nothing listed, tested or waiting to be reported.
    bool IsIdle() const;
    // Waits until idle (tests and measurements); false after ms.
    bool WaitIdle(int ms) const;

    // At most this many files are reported in one turn of the event loop.
    static constexpr int kFilesPerReport = 200;

signals:
    // The next files of batch that open, in name order, following those
    // reported before; finished: every file of the folder has been
    // answered (the last report of a batch, possibly with no files).
    // Emitted on the thread the scan object belongs to.
    void found(int batch, const QList<heatshelf::ScannedFile>& files, bool finished);

private:
    void run();
    // On the scan object's thread: reports what is ready, in order.
    void deliver();

    struct Shared;
    OpenTest& m_test;
    std::unique_ptr<Shared> m_shared;
    std::vector<std::thread> m_threads;
};

}  // namespace heatshelf
