// Fuzz target: the image view's walk over a folder of files made from the
// input, as the browser steps through a folder a user chose: first, next,
// previous and again, each rendering its picture and reading its photo and
// voice note, then the thumbnails of every file that opens.
//
// The input is a list of entries: one byte (bits 0-2: the name, bit 7: a
// folder of that name instead of a file), two bytes of length (little
// endian) and that many bytes of content (cut at the end of the input).
// Whatever the files hold, a step lands on a file that opens or on none,
// and a shown file has a picture.
#include "heatshelf/folder_walk.h"
#include "heatshelf/image_view_core.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

constexpr const char* kNames[8] = {"a.VNI", "b.vni", "c.VNV", "d.JPG", "e.jpg", "f.txt", "g.Vnv", "h.VNI"};

// The run's scratch folder, removed with everything in it when the program
// exits (after the last input, before the application object goes).
QTemporaryDir* Scratch()
{
    static QTemporaryDir dir;
    return &dir;
}

// The folder of this input, emptied first.
QString MakeFolder(const std::uint8_t* data, std::size_t size)
{
    QDir folder(Scratch()->filePath(QStringLiteral("walk")));
    folder.removeRecursively();
    QDir().mkpath(folder.path());
    std::size_t at = 0;
    while (at + 3 <= size) {
        const std::uint8_t kind = data[at];
        const std::size_t length = std::size_t(data[at + 1]) | std::size_t(data[at + 2]) << 8;
        at += 3;
        const std::size_t take = std::min(length, size - at);
        const QString path = folder.filePath(QLatin1String(kNames[kind & 7]));
        if (kind & 0x80) {
            QDir().mkpath(path);
        } else if (!QFileInfo(path).isDir()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(reinterpret_cast<const char*>(data + at), qint64(take));
        }
        at += take;
    }
    return folder.path();
}

void CheckShown(const heatshelf::ImageViewCore& view, const QStringList& candidates)
{
    const heatshelf::WalkResult& walk = view.walk();
    Check(walk.index >= -1 && walk.index < candidates.size());
    Check(walk.noFile == (walk.index == -1));
    Check(walk.current.isEmpty() || candidates.contains(walk.current));
    if (view.imageShown())
        Check(!view.picture().isNull() && !view.pictureDib().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = MakeFolder(data, size);
    const QStringList candidates = heatshelf::InfraredCandidates(heatshelf::ListFolder(folder));
    static const QString app = Scratch()->filePath(QStringLiteral("app"));
    QDir().mkpath(app);
    auto view = std::make_unique<heatshelf::ImageViewCore>(app);
    view->SetFolder(folder);
    for (int what : {heatshelf::kWalkFirst, heatshelf::kWalkNext, heatshelf::kWalkNext, heatshelf::kWalkPrevious,
                     heatshelf::kWalkAgain}) {
        view->ChooseFile(what);
        CheckShown(*view, candidates);
        if (view->HasSoundNote() != 0) {
            QString note;
            if (view->ExtractVoiceNote(&note) == 1)
                Check(QFileInfo(note).isFile());
        }
        if (view->imageShown()) {
            view->SetLevel(1, view->levelLow() - 1.0f);
            view->SetLevel(2, view->levelHigh() + 1.0f);
        }
    }
    const std::vector<heatshelf::Thumbnail> thumbs = view->RenderThumbnails();
    Check(thumbs.size() <= std::size_t(candidates.size()));
    for (const heatshelf::Thumbnail& t : thumbs)
        Check(candidates.contains(t.name));
    return 0;
}
