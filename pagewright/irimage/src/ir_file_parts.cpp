#include "irimage/ir_file_parts.h"

#include "irimage/ir_image.h"

#include "document/document_environment.h"

#include "ir_holder_common.h"
#include "thermcore.h"

#include <QFile>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <optional>
#include <mutex>

IRScratchFiles::IRScratchFiles(const DocumentEnvironment& env)
    : m_dir(std::make_unique<QTemporaryDir>(env.TemporaryFolder() + QStringLiteral("/irparts-XXXXXX")))
{
}

IRScratchFiles::~IRScratchFiles() = default;

bool IRScratchFiles::IsValid() const { return m_dir->isValid(); }
QString IRScratchFiles::Folder() const { return m_dir->isValid() ? m_dir->path() : QString(); }

QString IRScratchFiles::Path(const QString& name) const
{
    return m_dir->isValid() ? m_dir->filePath(name) : QString();
}

namespace {

std::uint32_t ReadU32(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

// Waits for the frame-index message the library posts to a window token of
// its own. The post hook is the process's one: it is set for the scope
// only (neither program sets it otherwise).
class IndexReadyWait {
public:
    IndexReadyWait() { ThermcoreSetPostHook(&IndexReadyWait::Post, this); }
    ~IndexReadyWait() { ThermcoreSetPostHook(nullptr, nullptr); }
    IndexReadyWait(const IndexReadyWait&) = delete;
    IndexReadyWait& operator=(const IndexReadyWait&) = delete;

    void* Window() { return &m_token; }
    bool Wait(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        return m_ready.wait_for(lock, limit, [this] { return m_done; });
    }

private:
    static void Post(void* window, unsigned int message, intptr_t, intptr_t, void* user)
    {
        auto* self = static_cast<IndexReadyWait*>(user);
        if (window != self->Window() || message != WM_IFR_INDEXREADY)
            return;
        {
            std::lock_guard lock(self->m_mutex);
            self->m_done = true;
        }
        self->m_ready.notify_all();
    }

    char m_token = 0;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    bool m_done = false;
};

} // namespace

bool StartsFrameIndex(const QString& path)
{
    const int kind = CIrImage::FileKindOfPath(path);
    if (kind == 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    qsizetype start = 0;
    QByteArray bytes;
    if (kind == 1) {
        bytes = file.read(4);
    } else {
        bytes = file.read(256 * 1024 * 1024);
        if (bytes.size() < 2 || static_cast<std::uint8_t>(bytes[0]) != 0xFF ||
            static_cast<std::uint8_t>(bytes[1]) != 0xD8)
            return false;
        const qsizetype tag = bytes.indexOf("VN410K");
        if (tag < 0 || tag + 8 > bytes.size() || bytes[tag + 6] != 'V')
            return false;
        start = tag + 8;
    }
    if (start + 4 > bytes.size())
        return false;
    const std::uint32_t layout = ReadU32(bytes, start);
    return layout >= 1 && layout <= 3;
}

bool ExtractIRFileParts(DocumentEnvironment& env, const QString& path, const IRScratchFiles& files,
                        IRFileParts& parts)
{
    parts.hasSound = parts.photoIsBmp = parts.hasRemark = 0;
    parts.width = parts.height = 0;
    parts.header = {};
    if (!files.IsValid())
        return false;
    // Parts of the file extracted before must not pass for this one's.
    for (const QString& old : {files.IrBmp(), files.PhotoJpg(), files.PhotoBmp(), files.Voice()})
        QFile::remove(old);

    const bool waitForIndex = StartsFrameIndex(path);
    std::optional<IndexReadyWait> wait;
    if (waitForIndex)
        wait.emplace();
    CIrImage image(&env);
    const int opened = image.Open(path, wait ? wait->Window() : nullptr);
    // Frames read later by other holders must not be drawn for our token.
    thermcore::SetFrameCallbackTarget(thermcore::ExportedCalls(), nullptr);
    if (opened == -1)
        return false;

    if (image.Width() != 0)
        image.SaveImageBmp(files.IrBmp(), 3);
    parts.photo[2] = image.PhotoWidth();
    parts.photo[3] = image.PhotoHeight();
    parts.width = image.Width();
    parts.height = image.Height();
    if (wait)
        wait->Wait(std::chrono::milliseconds(kFrameIndexWaitMs));

    if (image.ExistSound()) {
        parts.hasSound = 1;
        image.GetSoundFile(files.Voice());
    }
    if (image.ExistCCD()) {
        parts.photoIsBmp = 0;
        int kind = 0;
        image.SaveCCDFile(files.PhotoJpg(), &kind);
        if (parts.photo[2] != 0 && image.ModelVersion() != 8) {
            image.SaveCCDFile(files.PhotoBmp(), &kind);
            parts.photoIsBmp = 1;
        }
    }
    if (image.ExistRemark()) {
        parts.hasRemark = 1;
        image.SaveRemarkFile(files.Remark());
    } else {
        QFile::remove(files.Remark());
    }
    image.Close();
    return true;
}
