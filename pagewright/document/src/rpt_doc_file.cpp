// CDI_RptDoc: the report file (Contents archive in a compound file with the
// summary stream), new, open, save, save as template.
#include "document/rpt_doc.h"

#include "document/draw_obj.h"
#include "document/draw_view.h"

#include "document/record_values.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"
#include "platform/codepage.h"
#include "platform/compound_file.h"
#include "platform/dialog_folder.h"
#include "platform/ini_file.h"
#include "platform/storage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

const QString kContentsStream = QStringLiteral("Contents");

// A report refused for a reason of its own (not an archive fault).
class ContentsRefused : public std::runtime_error {
public:
    explicit ContentsRefused(QString message)
        : std::runtime_error(message.toStdString()), m_message(std::move(message))
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace

struct CDI_RptDoc::Contents {
    std::uint32_t pages = 1;
    float version = kProgVersion;
    COLORREF back = 0xFFFFFF;
    QSize size;
    std::uint32_t locked = 0;
    std::uint32_t showNumbers = 1;
    std::vector<std::unique_ptr<CDrawObj>> objects;
    std::vector<PageTitleRecord> records;
};

// ---- the Contents archive

void CDI_RptDoc::Serialize(platform::ArchiveWriter& ar)
{
    ar.writeU32(static_cast<std::uint32_t>(m_nPages));
    if (m_fVersion < m_fProgVersion)
        m_fVersion = m_fProgVersion;
    ar.writeF32(m_fVersion);
    ar.writeU32(m_crBack);
    ar.writeI32(m_sizePage.width());
    ar.writeI32(m_sizePage.height());
    ar.writeU32(m_bLocked);
    ar.writeU32(m_bShowNumbers);
    ar.writeObjectList(m_objects);
    ar.writeCount(static_cast<std::uint32_t>(m_pages.size()));
    for (const PageTitleRecord& r : m_pages)
        ar.writeBytes(QByteArrayView(r.bytes.data(), PageTitleRecord::kSize));
}

QByteArray CDI_RptDoc::StoreContents()
{
    platform::ArchiveWriter ar(this);
    Serialize(ar);
    return ar.takeData();
}

void CDI_RptDoc::Serialize(platform::ArchiveReader& ar)
{
    Contents c;
    c.pages = ar.readU32();
    if (c.pages == 0 || c.pages > static_cast<std::uint32_t>(kMaxPages))
        throw ContentsRefused(m_env->LoadString(doc_string::kBadFormat));
    c.version = ar.readF32();
    if (!std::isfinite(c.version) || c.version < 0.0f)
        throw ContentsRefused(m_env->LoadString(doc_string::kBadFormat));
    if (c.version > kProgVersion)
        throw ContentsRefused(m_env->LoadString(doc_string::kNewerVersion).arg(double(c.version)));
    c.back = ar.readU32();
    const int width = record_values::ReadCoordinate(ar);
    const int height = record_values::ReadCoordinate(ar);
    c.size = QSize(width, height);
    c.locked = ar.readU32();
    if (c.version > 3.0f)
        c.showNumbers = ar.readU32();

    // Objects consult the document's version while they are read.
    const float oldVersion = m_fVersion;
    m_fVersion = c.version;
    try {
        c.objects = ar.readObjectList<CDrawObj>();
        for (const std::unique_ptr<CDrawObj>& obj : c.objects) {
            if (obj == nullptr) // a list of objects holds no empty entries
                throw ContentsRefused(m_env->LoadString(doc_string::kBadFormat));
        }
        const std::uint32_t count = ar.readCount(PageTitleRecord::kSize);
        c.records.resize(count);
        for (PageTitleRecord& r : c.records) {
            ar.readBytes(r.bytes.data(), PageTitleRecord::kSize);
            if (std::memchr(r.bytes.data(), 0, PageTitleRecord::kMaxTitleBytes + 1) == nullptr) {
                // No NUL: the title ends at byte 40, or before a character
                // that byte 40 would split.
                const auto keep = platform::gbkFitLength(QByteArrayView(r.bytes.data(), PageTitleRecord::kSize),
                                                         PageTitleRecord::kMaxTitleBytes);
                r.bytes[keep] = 0;
            }
        }
    } catch (...) {
        m_fVersion = oldVersion;
        throw;
    }
    AdoptContents(std::move(c));
}

void CDI_RptDoc::AdoptContents(Contents&& c)
{
    DeleteAllObjects();
    m_nPages = static_cast<int>(c.pages);
    m_fVersion = c.version;
    m_crBack = c.back;
    m_sizePage = c.size;
    m_bLocked = c.locked;
    m_bShowNumbers = c.showNumbers;
    m_objects.reserve(c.objects.size());
    for (std::unique_ptr<CDrawObj>& obj : c.objects) {
        obj->SetDocument(this);
        obj->SetView(m_pView);
        m_objects.push_back(obj.release());
    }
    MoveArrowsToTail(m_objects);
    m_pages = std::move(c.records);
    m_nCurPage = 0;
    FitPageRecords();
    m_env->SetLockIndicator(m_bLocked != 0);
    if (m_pView != nullptr) {
        m_pView->SetPageSize(m_sizePage.width(), m_sizePage.height());
        m_pView->RebuildIRObjects();
    }
}

QString CDI_RptDoc::MessageForArchiveError(int code) const
{
    switch (static_cast<platform::ArchiveErrorCode>(code)) {
    case platform::ArchiveErrorCode::BadClass:
    case platform::ArchiveErrorCode::BadSchema:
        return m_env->LoadString(doc_string::kUnknownObject);
    default:
        return m_env->LoadString(doc_string::kBadFormat);
    }
}

bool CDI_RptDoc::LoadContents(QByteArrayView bytes, QString* error)
{
    try {
        platform::ArchiveReader ar(bytes, m_registry->ArchiveRegistry(), this);
        Serialize(ar);
        return true;
    } catch (const RecordRefused& e) {
        if (error != nullptr)
            *error = m_env->LoadString(e.StringId());
    } catch (const platform::ArchiveError& e) {
        if (error != nullptr)
            *error = MessageForArchiveError(static_cast<int>(e.code()));
    } catch (const ContentsRefused& e) {
        if (error != nullptr)
            *error = e.message();
    }
    return false;
}

// ---- files

void CDI_RptDoc::ReportOpenFailure(const QString& path, const QString& reason)
{
    m_lastError = m_env->LoadString(doc_string::kOpenFailed).arg(QDir::toNativeSeparators(path), reason);
    m_env->MessageBox(m_lastError, DocumentEnvironment::kOk | DocumentEnvironment::kIconExclamation,
                      doc_string::kOpenFailed);
}

bool CDI_RptDoc::ReadReport(const QString& path, platform::CSummaryInfo& summary)
{
    m_lastError.clear();
    QString error;
    std::unique_ptr<platform::Storage> root = platform::openCompoundFile(path, &error);
    if (root == nullptr) {
        ReportOpenFailure(path, error.isEmpty() ? m_env->LoadString(doc_string::kBadFormat) : error);
        return false;
    }
    QByteArray bytes;
    if (!root->readStream(kContentsStream, bytes, kMaxContentsBytes)) {
        ReportOpenFailure(path, m_env->LoadString(doc_string::kBadFormat));
        return false;
    }
    if (!LoadContents(bytes, &error)) {
        ReportOpenFailure(path, error);
        return false;
    }
    summary.ReadFromStorage(*root); // a missing or damaged summary keeps the one made for the open
    ResetUndoHistory();
    SetModifiedFlag(false);
    return true;
}

bool CDI_RptDoc::OnOpenDocument(const QString& path)
{
    auto summary = std::make_unique<platform::CSummaryInfo>();
    summary->StartEditClock();
    if (!ReadReport(path, *summary))
        return false;
    m_pSummInfo = std::move(summary);
    // The file holds no logo picture: the report shows the program's, as
    // when it was made.
    LoadProgramLogo();
    return true;
}

bool CDI_RptDoc::OnSaveDocument(const QString& path)
{
    m_lastError.clear();
    m_bTemplate = path.toLower().endsWith(QStringLiteral(".rpm")) ? 1 : 0;
    platform::CSummaryInfo& s = *m_pSummInfo;
    s.RecordSaveDate();
    s.IncrRevNum();
    s.SetLastAuthor(s.GetAuthor());
    s.AddCountToEditTime();

    // The Contents archive goes into the file as it is written: a report of
    // many camera files is never held whole in memory. The summary follows.
    const platform::StreamedStream contents{kContentsStream, [this](const platform::StreamedStream::Write& write,
                                                                    QString* reason) {
        try {
            platform::ArchiveWriter ar(this);
            ar.setSink(write);
            Serialize(ar);
            return ar.finish();
        } catch (const platform::ArchiveError& e) {
            *reason = QString::fromLatin1(platform::archiveErrorText(e.code()));
            return false;
        }
    }};
    platform::MemoryStorage root;
    s.WriteToStorage(root); // a summary that cannot be written does not fail the save
    QString error;
    if (platform::saveCompoundFile(root, {contents}, path, &error)) {
        SetModifiedFlag(false);
        return true;
    }
    m_lastError = m_env->LoadString(doc_string::kSaveFailed).arg(QDir::toNativeSeparators(path), error);
    m_env->MessageBox(m_lastError, DocumentEnvironment::kOk | DocumentEnvironment::kIconExclamation,
                      doc_string::kSaveFailed);
    return false;
}

bool CDI_RptDoc::DoSave(const QString& path, bool replace)
{
    const bool asTemplate = m_bSaveAsTemplate != 0;
    QString newName = path;
    if (newName.isEmpty()) {
        if (!asTemplate)
            newName = m_pathName;
        if (replace && newName.isEmpty()) {
            newName = m_title;
            const qsizetype bad = newName.indexOf(QRegularExpression(QStringLiteral("[ #%;/\\\\]")));
            if (bad >= 0)
                newName.truncate(bad);
            newName += asTemplate ? QStringLiteral(".rpm") : QStringLiteral(".rpt");
            if (asTemplate) {
                newName = m_env->ProgramFolder() + QStringLiteral("/template/") + newName;
            } else {
                newName = platform::ProposedPath(m_env->GetSavePath(), newName, platform::FolderUse::Write);
            }
        }
        newName = m_env->PromptSaveFileName(newName, replace);
        if (newName.isEmpty()) {
            m_bSaveAsTemplate = 0;
            return false;
        }
        if (!asTemplate)
            m_env->SetSavePath(platform::FolderOf(newName));
    }
    if (asTemplate) {
        // The template's thumbnail data is rebuilt when its settings say so.
        const qsizetype dot = newName.lastIndexOf(QLatin1Char('.'));
        const bool inName = dot > newName.lastIndexOf(QLatin1Char('/'));
        const QString ini = (inName ? newName.left(dot) : newName) + QStringLiteral(".ini");
        if (QFileInfo::exists(ini))
            platform::IniFile(ini).writeString(u"System", u"Updated", u"0");
    }
    m_bSaveAsTemplate = 0;
    // The save replaces the file atomically: a failed save leaves whatever
    // was there untouched, so nothing is removed here.
    if (!OnSaveDocument(newName))
        return false;
    if (replace)
        SetPathName(newName);
    return true;
}

bool CDI_RptDoc::SaveToPath(const QString& path)
{
    return OnSaveDocument(path);
}

bool CDI_RptDoc::SaveModified()
{
    if (!m_modified)
        return true;
    const QString name = m_pathName.isEmpty() ? m_title : QFileInfo(m_pathName).fileName();
    const int answer = m_env->MessageBox(m_env->LoadString(doc_string::kAskToSave).arg(name),
                                         DocumentEnvironment::kYesNoCancel | DocumentEnvironment::kIconExclamation,
                                         doc_string::kAskToSave);
    if (answer == DocumentEnvironment::kAnswerCancel)
        return false;
    if (answer == DocumentEnvironment::kAnswerNo)
        return true;
    return OnFileSave();
}

void CDI_RptDoc::DeleteContents()
{
    DeleteAllObjects();
    m_nPages = 1;
    m_nCurPage = 0;
    m_pages.assign(1, PageTitleRecord{});
    m_pages[0].SetTitle(DefaultPageTitle(0));
    m_fVersion = m_fProgVersion;
    m_crBack = 0xFFFFFF;
    m_bLocked = 0;
    m_bShowNumbers = 1;
    m_bTemplate = 0;
    ResetUndoHistory();
    UpdateAllViews(nullptr, DrawView::kHintAll);
}

bool CDI_RptDoc::CopyToWorkingCopy(const QString& source)
{
    RemoveWorkingCopy();
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QTemporaryFile out(m_env->TemporaryFolder() + QLatin1Char('/') + QFileInfo(source).completeBaseName() +
                       QStringLiteral("-XXXXXX.rp1"));
    out.setAutoRemove(true);
    if (!out.open())
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return false;
    }
    if (!out.flush())
        return false;
    out.setAutoRemove(false);
    m_workingCopy = out.fileName();
    return true;
}

void CDI_RptDoc::RemoveWorkingCopy()
{
    if (!m_workingCopy.isEmpty())
        QFile::remove(m_workingCopy);
    m_workingCopy.clear();
}

bool CDI_RptDoc::OnNewDocument()
{
    DeleteContents();
    m_pathName.clear();
    SetModifiedFlag(false);
    m_lastError.clear();

    auto summary = std::make_unique<platform::CSummaryInfo>();
    summary->StartEditClock();
    summary->RecordCreateDate();
    summary->SetNumPages(1);
    summary->SetAppName(m_env->LoadString(doc_string::kAppTitle));
    m_pSummInfo = std::move(summary);

    // A start file is a report made for the user (filled from the command
    // line or built from the wizard's answers): work not yet on disk.
    QString source = m_env->TakeStartFile();
    const bool made = !source.isEmpty();
    if (source.isEmpty()) {
        const DocumentEnvironment::TemplateChoice choice = m_env->ChooseTemplate();
        if (!choice.accepted)
            return false;
        source = choice.path;
    }
    if (!source.isEmpty()) {
        // The report is read from a private copy; the document keeps no path,
        // so the first save asks for one.
        if (!CopyToWorkingCopy(source)) {
            ReportOpenFailure(source, QFile(source).exists() ? QString() : m_env->LoadString(doc_string::kBadFormat));
            return false;
        }
        if (!ReadReport(m_workingCopy, *m_pSummInfo)) {
            RemoveWorkingCopy();
            return false;
        }
    }
    SetModifiedFlag(made);

    LoadProgramLogo();
    return true;
}

void CDI_RptDoc::LoadProgramLogo()
{
    m_logo.Free();
    const QString folder = m_env->ProgramFolder();
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name.compare(QStringLiteral("logo.jpg"), Qt::CaseInsensitive) == 0) {
            m_logo.Load(dir.filePath(name)); // a missing or bad logo leaves it empty
            break;
        }
    }
}

bool DeleteFileIfExists(const QString& path)
{
    if (!QFileInfo::exists(path))
        return false;
    return !QFile::remove(path);
}

QByteArray CDI_RptDoc::ArchiveObjects(const std::vector<CDrawObj*>& objects)
{
    platform::ArchiveWriter ar(this);
    ar.writeObjectList(objects);
    return ar.data();
}

bool CDI_RptDoc::ReadArchivedObjects(QByteArrayView bytes, std::vector<std::unique_ptr<CDrawObj>>& out)
{
    out.clear();
    try {
        platform::ArchiveReader ar(bytes, m_registry->ArchiveRegistry(), this);
        std::vector<std::unique_ptr<CDrawObj>> objects = ar.readObjectList<CDrawObj>();
        if (ar.remaining() != 0)
            return false;
        for (const std::unique_ptr<CDrawObj>& obj : objects) {
            if (obj == nullptr)
                return false;
            obj->SetDocument(this);
        }
        out = std::move(objects);
        return true;
    } catch (const platform::ArchiveError&) {
        return false;
    }
}
