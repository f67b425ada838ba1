// The parts of an infrared file as ordinary files: the false-colour image
// ("ir.bmp"), the visible-light photo ("jpg.jpg", and "bmp.bmp" converted),
// the voice note ("TEMP.WAV") and the remark ("Remark.txt").
//
// The files live in a scratch folder of their own inside the program's
// private scratch folder (DocumentEnvironment::TemporaryFolder), so two
// dialogs or commands never write over each other's parts and nothing is
// written beside the program.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <array>
#include <memory>

class DocumentEnvironment;
class CIrImage;

class IRScratchFiles {
public:
    explicit IRScratchFiles(const DocumentEnvironment& env);
    ~IRScratchFiles();
    IRScratchFiles(const IRScratchFiles&) = delete;
    IRScratchFiles& operator=(const IRScratchFiles&) = delete;

    // False when the scratch folder could not be made (nothing can be
    // extracted then).
    bool IsValid() const;
    QString Folder() const;
    QString IrBmp() const { return Path(QStringLiteral("ir.bmp")); }
    QString PhotoJpg() const { return Path(QStringLiteral("jpg.jpg")); }
    QString PhotoBmp() const { return Path(QStringLiteral("bmp.bmp")); }
    QString Voice() const { return Path(QStringLiteral("TEMP.WAV")); }
    QString Remark() const { return Path(QStringLiteral("Remark.txt")); }

private:
    QString Path(const QString& name) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

// What the extraction found: the image size, the photo record (two words
// cleared, then the photo's width and height) and the three flags.
struct IRFileParts {
    int width = 0;
    int height = 0;
    std::array<int, 2> header{};
    std::array<int, 4> photo{};
    int hasSound = 0;
    int photoIsBmp = 0;
    int hasRemark = 0;
};

// How long the extraction waits at most for a sequence's frame index.
inline constexpr int kFrameIndexWaitMs = 4000;

// Opens path in a holder of its own and writes its parts into files. When
// the file starts a frame-index thread (a sequence of layout 1 to 3, also
// inside a JPEG container) the extraction waits for the index before asking
// for sound, photo and remark (the library refuses extracts while it is
// built); other files do not wait. False when the file did not open (the
// flags and sizes are cleared then).
bool ExtractIRFileParts(DocumentEnvironment& env, const QString& path, const IRScratchFiles& files,
                        IRFileParts& parts);

// Whether opening path starts the library's frame-index thread: its bytes
// hold a sequence header of layout 1, 2 or 3 (at offset 0 of a .VNV file,
// or 8 bytes after the first "VN410KV" of a JPEG container).
bool StartsFrameIndex(const QString& path);
