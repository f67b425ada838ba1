// Renders the thumbnail grid's pictures on threads of its own, so that the
// grid never blocks the window: the grid queues the files it lays out, puts
// the cells on screen first, and shows each picture as it arrives. Each
// thread has a holder of its own (a library handle is used by one thread at
// a time); a picture comes back as a copy scaled to the cell, never the
// full picture.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "thermcore_calls.h"

namespace heatshelf {

class CIrImage;

class ThumbnailWorker : public QObject {
    Q_OBJECT
public:
    // appDirectory: the program folder (palette files); cell: the size of
    // the pictures handed back; threads: how many render at once (1..8).
    ThumbnailWorker(QString appDirectory, QSize cell, const thermcore::IfrCalls& calls = thermcore::ExportedCalls(),
                    int threads = 1);
    ~ThumbnailWorker() override;
    ThumbnailWorker(const ThumbnailWorker&) = delete;
    ThumbnailWorker& operator=(const ThumbnailWorker&) = delete;

    // Forgets what is queued and queues paths in order; the batch number
    // the results will carry.
    int Start(const QStringList& paths);
    // Moves those of paths still queued to the front, in the given order.
    void Prioritise(const QStringList& paths);
    // Queues one more path of the current batch (a file renamed in the grid).
    void Add(const QString& path);
    // Queues more paths of the current batch after those queued (files
    // found while the batch runs).
    void Append(const QStringList& paths);
    // Forgets the queue; a picture being rendered is dropped.
    void Cancel();
    int batch() const;
    // Nothing queued or being rendered.
    bool IsIdle() const;
    // Waits until idle (tests and measurements); false after ms.
    bool WaitIdle(int ms) const;

    QSize cellSize() const { return m_cell; }
    // How many files were rendered since the worker was made (one given up
    // midway included).
    int renders() const;

signals:
    // A picture of batch: a packed 24-bit bitmap of the cell's size; empty
    // when the file did not open or render. Emitted on the thread the
    // worker object belongs to, for each result in the order made.
    void rendered(int batch, const QString& path, const QByteArray& dib);

private:
    void run(CIrImage& holder);
    // On the worker object's thread: emits rendered() for every result
    // waiting, in the order they were made.
    void deliver();

    struct Shared;
    QSize m_cell;
    std::unique_ptr<Shared> m_shared;
    std::vector<std::thread> m_threads;
};

// The picture of one file scaled to a cell, rendered through a holder of
// the caller's: a packed 24-bit bitmap, empty when it does not open. Each
// pixel is the mean of the picture's pixels it covers. scratch holds the
// full picture's bytes and may be kept from one call to the next.
QByteArray RenderThumbnail(CIrImage& holder, const QString& path, QSize cell, std::vector<unsigned char>& scratch);
QByteArray RenderThumbnail(CIrImage& holder, const QString& path, QSize cell);

}  // namespace heatshelf
