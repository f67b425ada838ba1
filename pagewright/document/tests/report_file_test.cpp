// The report file: the Contents archive byte for byte, the compound file with
// the summary, tolerated and refused damage, saving, templates and the tools.
#include "test_support.h"

#include "document/page_dc.h"
#include "document/record_values.h"
#include "document/summary_pages.h"

#include "platform/dialog_folder.h"
#include "platform/ini_file.h"
#include "platform/summary_info.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace rpt_test;

namespace {

QByteArray GoldenNewContents()
{
    Bytes b = ContentsHeader(1, 6.0f);
    b.u16(0);                        // no objects
    b.u16(1).pageRecord("Report1"); // one page record
    return b.data();
}

// The record of a CDrawRect made by the tools' constructor without a view.
Bytes& RectRecord(Bytes& b, DocRect r, int shape = 0, int arrowStyle = 2, bool withArrowStyle = true)
{
    b.baseRecord(r, 0).u16(static_cast<std::uint16_t>(shape)).i32(16).i32(16);
    if (withArrowStyle)
        b.i32(arrowStyle);
    return b;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ProgramRun RunProgram(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Renders the current page small, to run every drawing path over what was read.
void RenderSmall(CDI_RptDoc& doc)
{
    QImage image(80, 110, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageMapping mapping = PageMapping::ForZoom(0.1);
    mapping.windowOrigin = QPoint(0, -105);
    PageDC dc(painter, mapping);
    doc.Draw(dc, nullptr);
}

// Limits the size of files this process writes, so that a save fails half-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

class ReportFileTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    RecordingEnvironment m_env;
};

} // namespace

TEST_F(ReportFileTest, NewReportIsOnePageAndItsContentsAreTheGoldenBytes)
{
    CDI_RptDoc doc(&m_env);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetPageCount(), 1);
    EXPECT_EQ(doc.GetPageTitles(), QStringList{QStringLiteral("Report1")});
    EXPECT_EQ(doc.GetCurPage(), 0);
    EXPECT_EQ(doc.GetVersion(), 6.0f);
    EXPECT_EQ(doc.GetBackColor(), 0xFFFFFFu);
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_TRUE(doc.GetShowNumbers());
    EXPECT_EQ(doc.GetPageSize(), QSize(8330, 11790));
    EXPECT_FLOAT_EQ(m_env.pageInches.first, 8330.0f / 1008.0f);
    EXPECT_FALSE(doc.IsModified());

    const QByteArray golden = GoldenNewContents();
    ASSERT_EQ(golden.size(), 73);
    EXPECT_EQ(doc.StoreContents().toHex(), golden.toHex());
    ASSERT_TRUE(doc.OnSaveDocument(Path("new.rpt")));
    EXPECT_EQ(ReadStream(Path("new.rpt"), QStringLiteral("Contents")).toHex(), golden.toHex());
    EXPECT_TRUE(m_env.messages.empty());
}

TEST_F(ReportFileTest, PageSizeComesFromThePrinterInMillimetres)
{
    m_env.printerMm = QSize(216, 279); // 857.2 and 1107.2 tens of units
    CDI_RptDoc doc(&m_env);
    EXPECT_EQ(doc.GetPageSize(), QSize(8570, 11070));
    CountingView view;
    doc.SetView(&view);
    m_env.printerMm.reset();
    doc.GetPrinterPageSize();
    EXPECT_EQ(doc.GetPageSize(), QSize(8330, 11790));
    EXPECT_EQ(view.GetPageSize(), QSize(8330, 11790));
}

TEST_F(ReportFileTest, SecondObjectOfAClassIsFramedByTheClassIndex)
{
    CDI_RptDoc doc(&m_env);
    AddShape(doc, nullptr, CDrawRect::rectangle, DocRect(10, -20, 30, -40));
    AddShape(doc, nullptr, CDrawRect::ellipse, DocRect(50, -60, 70, -80));
    Bytes want = ContentsHeader(1, 6.0f);
    want.u16(2).newClass("CDrawRect");
    RectRecord(want, DocRect(10, -20, 30, -40), 0);
    want.u16(0x8001); // class index 1: the class took index 1, the first object 2
    RectRecord(want, DocRect(50, -60, 70, -80), 2);
    want.u16(1).pageRecord("Report1");
    EXPECT_EQ(doc.StoreContents().toHex(), want.data().toHex());
}

TEST_F(ReportFileTest, TwoPageReportSavesAndReloadsByteForByte)
{
    CDI_RptDoc doc(&m_env);
    BuildSampleReport(doc);
    ASSERT_TRUE(doc.OnSaveDocument(Path("a.rpt")));
    const QByteArray saved = ReadStream(Path("a.rpt"), QStringLiteral("Contents"));

    CDI_RptDoc reread(&m_env);
    ASSERT_TRUE(reread.OnOpenDocument(Path("a.rpt")));
    EXPECT_EQ(reread.GetPageCount(), 2);
    EXPECT_EQ(reread.GetPageTitles(), (QStringList{QString::fromUtf8("封面"), QStringLiteral("Results")}));
    ASSERT_EQ(reread.GetObjects().size(), 7u);
    // The arrow is kept at the tail of the list.
    const char* classes[] = {"CDrawRect", "CDrawRect", "CDrawRect", "CDrawRect", "CDrawPoly", "CDrawRect", "CDrawRect"};
    const std::uint32_t pages[] = {0, 0, 0, 0, 0, 1, 0};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(reread.GetObjects()[i]->GetRuntimeClass().Name(), classes[i]);
        EXPECT_EQ(reread.GetObjects()[i]->page, pages[i]);
        EXPECT_EQ(reread.GetObjects()[i]->GetDocument(), &reread);
    }
    const auto* round = static_cast<const CDrawRect*>(reread.GetObjects()[1]);
    EXPECT_EQ(round->roundness, QPoint(600, 400));
    EXPECT_EQ(round->pen.widthX, 3);
    const auto* poly = static_cast<const CDrawPoly*>(reread.GetObjects()[4]);
    EXPECT_EQ(poly->points.size(), 3u);
    EXPECT_EQ(poly->position, DocRect(4500, -8500, 7500, -6000));

    ASSERT_TRUE(reread.OnSaveDocument(Path("b.rpt")));
    EXPECT_EQ(ReadStream(Path("b.rpt"), QStringLiteral("Contents")).toHex(), saved.toHex());
    EXPECT_TRUE(m_env.messages.empty());
}

TEST_F(ReportFileTest, OldVersionsLoadWithNumbersShownAndSaveAsSix)
{
    for (float version : {3.0f, 2.0f}) {
        SCOPED_TRACE(version);
        Bytes file = ContentsHeader(1, version, 8330, 11790, 0, /*withShowNumbers=*/false);
        file.u16(1).newClass("CDrawRect");
        RectRecord(file, DocRect(100, -100, 900, -900), CDrawRect::arrow, 3);
        file.u16(1).pageRecord("Old");
        ASSERT_TRUE(WriteReportFile(Path("old.rpt"), file.data()));

        RecordingEnvironment env;
        CDI_RptDoc doc(&env);
        ASSERT_TRUE(doc.OnOpenDocument(Path("old.rpt")));
        EXPECT_EQ(doc.GetVersion(), version);
        EXPECT_TRUE(doc.GetShowNumbers());
        ASSERT_EQ(doc.GetObjects().size(), 1u);
        EXPECT_EQ(static_cast<CDrawRect*>(doc.GetObjects()[0])->arrowStyle, 3);

        doc.OnEditUndo(); // refused until the report is saved once
        ASSERT_EQ(env.messages.size(), 1u);
        EXPECT_EQ(env.messages[0].stringId, doc_string::kVersionMismatch);

        ASSERT_TRUE(doc.OnSaveDocument(Path("new.rpt")));
        Bytes want = ContentsHeader(1, 6.0f);
        want.u16(1).newClass("CDrawRect");
        RectRecord(want, DocRect(100, -100, 900, -900), CDrawRect::arrow, 3);
        want.u16(1).pageRecord("Old");
        EXPECT_EQ(ReadStream(Path("new.rpt"), QStringLiteral("Contents")).toHex(), want.data().toHex());
        doc.OnEditUndo();
        EXPECT_EQ(env.messages.size(), 1u);
    }
}

TEST_F(ReportFileTest, VersionZeroRectanglesHaveNoArrowStyleWord)
{
    Bytes file = ContentsHeader(1, 0.0f, 8330, 11790, 0, false);
    file.u16(2).newClass("CDrawRect");
    RectRecord(file, DocRect(1, -2, 3, -4), CDrawRect::arrow, 0, false);
    file.u16(0x8001);
    RectRecord(file, DocRect(5, -6, 7, -8), CDrawRect::line, 0, false);
    file.u16(1).pageRecord("P");
    CDI_RptDoc doc(&m_env);
    QString error;
    ASSERT_TRUE(doc.LoadContents(file.data(), &error)) << error.toStdString();
    ASSERT_EQ(doc.GetObjects().size(), 2u);
    for (const CDrawObj* obj : doc.GetObjects())
        EXPECT_EQ(static_cast<const CDrawRect*>(obj)->arrowStyle, 2);
    EXPECT_EQ(doc.GetObjects()[0]->position, DocRect(5, -6, 7, -8)); // the arrow goes to the tail
}

TEST_F(ReportFileTest, SavingToAnRpmPathMakesATemplate)
{
    CDI_RptDoc doc(&m_env);
    const struct {
        const char* name;
        bool isTemplate;
    } cases[] = {{"a.RPM", true}, {"b.rpt", false}, {"c.Rpm", true}, {"d.rpm.rpt", false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(doc.OnSaveDocument(Path(QString::fromLatin1(c.name))));
        EXPECT_EQ(doc.IsTemplate(), c.isTemplate) << c.name;
    }
}

TEST_F(ReportFileTest, OlefileReadsTheStreamsAndTheSummary)
{
    CDI_RptDoc doc(&m_env);
    ASSERT_TRUE(doc.OnNewDocument());
    doc.GetSummaryInfo().SetTitle(QString::fromUtf8("测试报告"));
    doc.GetSummaryInfo().SetAuthor(QStringLiteral("Ann"));
    ASSERT_TRUE(doc.OnSaveDocument(Path("s.rpt")));
    EXPECT_EQ(doc.GetSummaryInfo().GetLastAuthor(), QStringLiteral("Ann"));
    const QString script = QStringLiteral(DOCUMENT_TEST_SCRIPTS "/report_check.py");
    ProgramRun r = RunProgram(QStringLiteral(DOCUMENT_TEST_PYTHON),
                       {script, Path("s.rpt"), QStringLiteral("streams=Contents,\\x05SummaryInformation"),
                        QStringLiteral("revision=1"), QStringLiteral("pages=1"), QString::fromUtf8("title=测试报告"),
                        QStringLiteral("contents_size=73")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();

    ASSERT_TRUE(doc.OnSaveDocument(Path("s.rpt")));
    r = RunProgram(QStringLiteral(DOCUMENT_TEST_PYTHON), {script, Path("s.rpt"), QStringLiteral("revision=2")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();

    // The summary comes back on open.
    CDI_RptDoc reread(&m_env);
    ASSERT_TRUE(reread.OnOpenDocument(Path("s.rpt")));
    EXPECT_EQ(reread.GetSummaryInfo().GetTitle(), QString::fromUtf8("测试报告"));
    EXPECT_EQ(reread.GetSummaryInfo().GetRevNum(), QStringLiteral("2"));
}

TEST_F(ReportFileTest, DamagedReportsGiveOneMessageAndLeaveTheDocumentAsItWas)
{
    const QByteArray objectsAndPages = Bytes().u16(0).u16(1).pageRecord("P").data();
    const struct {
        const char* name;
        QByteArray contents;
        int reason; // string id expected in the message
    } cases[] = {
        {"empty", QByteArray(), doc_string::kBadFormat},
        {"no pages", ContentsHeader(0, 6.0f).data() + objectsAndPages, doc_string::kBadFormat},
        {"too many pages", ContentsHeader(70000, 6.0f).data() + objectsAndPages, doc_string::kBadFormat},
        {"version not a number", ContentsHeader(1, std::nanf("")).data() + objectsAndPages, doc_string::kBadFormat},
        {"newer version", ContentsHeader(1, 7.0f).data() + objectsAndPages, doc_string::kNewerVersion},
        {"infrared image not yet known",
         ContentsHeader(1, 6.0f).u16(1).newClass("CDrawIR").baseRecord(DocRect(0, 0, 10, -10), 0).data(),
         doc_string::kUnknownObject},
        {"other schema", ContentsHeader(1, 6.0f).u16(1).newClass("CDrawRect", 1).zeros(70).data(),
         doc_string::kUnknownObject},
        {"object count past the end", ContentsHeader(1, 6.0f).u16(500).data(), doc_string::kBadFormat},
        {"reference to nothing read", ContentsHeader(1, 6.0f).u16(1).u16(0x0005).data(), doc_string::kBadFormat},
        {"page records past the end", ContentsHeader(1, 6.0f).u16(0).u16(3).pageRecord("P").data(),
         doc_string::kBadFormat},
        {"record cut short",
         ContentsHeader(1, 6.0f).u16(1).newClass("CDrawPoly").baseRecord(DocRect(0, 0, 1, 1), 0).u16(2).u16(2).i32(0).data(),
         doc_string::kBadFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteReportFile(Path("bad.rpt"), c.contents));
        RecordingEnvironment env;
        CDI_RptDoc doc(&env);
        BuildSampleReport(doc);
        const QByteArray before = doc.StoreContents();
        EXPECT_FALSE(doc.OnOpenDocument(Path("bad.rpt")));
        ASSERT_EQ(env.messages.size(), 1u);
        EXPECT_EQ(env.messages[0].stringId, doc_string::kOpenFailed);
        const QString reason = env.LoadString(c.reason).section(QLatin1Char('%'), 0, 0);
        EXPECT_TRUE(env.messages[0].text.contains(reason)) << env.messages[0].text.toStdString();
        EXPECT_EQ(doc.GetLastError(), env.messages[0].text);
        EXPECT_EQ(doc.StoreContents().toHex(), before.toHex());
    }
}

TEST_F(ReportFileTest, FilesThatAreNoReportsAreRefused)
{
    QFile text(Path("text.rpt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just text\n");
    text.close();
    platform::MemoryStorage root;
    ASSERT_TRUE(root.writeStream(QStringLiteral("Other"), QByteArray("x")));
    ASSERT_TRUE(platform::saveCompoundFile(root, Path("nocontents.rpt")));
    for (const char* name : {"text.rpt", "nocontents.rpt", "missing.rpt"}) {
        RecordingEnvironment env;
        CDI_RptDoc doc(&env);
        EXPECT_FALSE(doc.OnOpenDocument(Path(QString::fromLatin1(name)))) << name;
        EXPECT_EQ(env.messages.size(), 1u) << name;
    }
}

TEST_F(ReportFileTest, ToleratedDamageIsMendedOnRead)
{
    Bytes gbkAcross40; // 39 ASCII bytes, then a double-byte character over byte 40
    gbkAcross40.raw(QByteArray(39, 'A')).u8(0xB2).u8(0xE2);
    const struct {
        const char* name;
        QByteArray contents;
        QStringList titles;
    } cases[] = {
        {"more records than pages",
         ContentsHeader(2, 6.0f).u16(0).u16(3).pageRecord("A").pageRecord("B").pageRecord("C").data(),
         {"A", "B"}},
        {"fewer records than pages", ContentsHeader(3, 6.0f).u16(0).u16(1).pageRecord("A").data(),
         {"A", "Report2", "Report3"}},
        {"title without NUL", ContentsHeader(1, 6.0f).u16(0).u16(1).raw(QByteArray(41, 'T')).data(),
         {QString(40, QLatin1Char('T'))}},
        {"title without NUL, character over byte 40",
         ContentsHeader(1, 6.0f).u16(0).u16(1).raw(gbkAcross40.data()).data(), {QString(39, QLatin1Char('A'))}},
        {"bytes after the page records", ContentsHeader(1, 6.0f).u16(0).u16(1).pageRecord("A").u32(7).data(),
         {"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDI_RptDoc doc(&m_env);
        QString error;
        ASSERT_TRUE(doc.LoadContents(c.contents, &error)) << error.toStdString();
        EXPECT_EQ(doc.GetPageTitles(), c.titles);
        EXPECT_EQ(doc.GetPageRecords().size(), static_cast<std::size_t>(doc.GetPageCount()));
    }
}

TEST_F(ReportFileTest, PolygonWithMorePointsThanItsCapacityIsReadWhole)
{
    Bytes file = ContentsHeader(1, 6.0f);
    file.u16(1).newClass("CDrawPoly").baseRecord(DocRect(0, 0, 100, 100), 0);
    file.u16(3).u16(1).i32(0).i32(0).i32(100).i32(0).i32(50).i32(100);
    file.u16(1).pageRecord("P");
    CDI_RptDoc doc(&m_env);
    ASSERT_TRUE(doc.LoadContents(file.data()));
    const auto* poly = static_cast<const CDrawPoly*>(doc.GetObjects().at(0));
    EXPECT_EQ(poly->points, (std::vector<QPoint>{{0, 0}, {100, 0}, {50, 100}}));
    EXPECT_EQ(poly->pointCapacity, 3);
}

TEST_F(ReportFileTest, EveryTruncationFailsCleanly)
{
    CDI_RptDoc sample(&m_env);
    BuildSampleReport(sample);
    const QByteArray full = sample.StoreContents();
    CDI_RptDoc doc(&m_env);
    const QByteArray before = doc.StoreContents();
    for (qsizetype n = 0; n < full.size(); ++n) {
        QString error;
        ASSERT_FALSE(doc.LoadContents(QByteArrayView(full).first(n), &error)) << n;
        ASSERT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(doc.StoreContents(), before);
    ASSERT_TRUE(doc.LoadContents(full));
    EXPECT_EQ(doc.StoreContents(), full);
}

TEST_F(ReportFileTest, ChangedBytesNeverBreakReadingDrawingOrSaving)
{
    CDI_RptDoc sample(&m_env);
    BuildSampleReport(sample);
    const QByteArray full = sample.StoreContents();
    int loaded = 0;
    for (qsizetype i = 0; i < full.size(); ++i) {
        const auto original = static_cast<std::uint8_t>(full[i]);
        for (std::uint8_t value : {std::uint8_t(0x00), std::uint8_t(0xFF), std::uint8_t(0x7F),
                                   static_cast<std::uint8_t>(original ^ 0x80)}) {
            if (value == original)
                continue;
            QByteArray mutated = full;
            mutated[i] = static_cast<char>(value);
            CDI_RptDoc doc(&m_env);
            if (!doc.LoadContents(mutated))
                continue;
            ++loaded;
            RenderSmall(doc);
            for (CDrawObj* obj : doc.GetObjects()) {
                obj->Intersects(DocRect(0, 0, 5000, -5000));
                obj->HitTest(QPoint(100, -100), nullptr, true, 0);
            }
            const QByteArray stored = doc.StoreContents();
            CDI_RptDoc again(&m_env);
            ASSERT_TRUE(again.LoadContents(stored)) << "byte " << i;
            ASSERT_EQ(again.StoreContents(), stored) << "byte " << i;
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST_F(ReportFileTest, FailedSaveKeepsTheExistingFile)
{
    CDI_RptDoc small(&m_env);
    ASSERT_TRUE(small.OnSaveDocument(Path("keep.rpt")));
    const QByteArray original = FileBytes(Path("keep.rpt"));
    ASSERT_FALSE(original.isEmpty());

    CDI_RptDoc doc(&m_env);
    BuildSampleReport(doc);
    for (int i = 0; i < 300; ++i)
        AddShape(doc, nullptr, CDrawRect::rectangle, DocRect(i, -i, i + 100, -i - 100));
    m_env.promptAnswer = Path("keep.rpt");
    m_env.messages.clear();
    {
        FileSizeLimit limit(original.size() + 512);
        EXPECT_FALSE(doc.DoSave(QString(), true)); // Save As over the existing file
        EXPECT_FALSE(doc.OnSaveDocument(Path("keep.rpt")));
    }
    EXPECT_EQ(FileBytes(Path("keep.rpt")), original);
    EXPECT_EQ(m_env.messages.size(), 2u);
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    const QStringList left = QDir(m_dir.path()).entryList(QDir::Files);
    EXPECT_EQ(left, QStringList{QStringLiteral("keep.rpt")}); // no temporary files left behind
}

TEST_F(ReportFileTest, TemplatesOpenThroughAPrivateCopyThatOnlyThisDocumentDeletes)
{
    CDI_RptDoc source(&m_env);
    BuildSampleReport(source);
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("template")));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("scratch")));
    const QString templ = Path("template/Plant.rpm");
    ASSERT_TRUE(source.OnSaveDocument(templ));
    // A user's file with the name the original gave its working copy.
    QFile user(Path("template/Plant.rp1"));
    ASSERT_TRUE(user.open(QIODevice::WriteOnly));
    user.write("mine");
    user.close();

    m_env.tempFolder = Path("scratch");
    for (const bool fromCommandLine : {false, true}) {
        SCOPED_TRACE(fromCommandLine);
        if (fromCommandLine)
            m_env.startFile = templ;
        else
            m_env.templateChoice = {true, templ};
        QString copy;
        {
            CDI_RptDoc doc(&m_env);
            ASSERT_TRUE(doc.OnNewDocument());
            copy = doc.GetWorkingCopy();
            EXPECT_TRUE(copy.startsWith(Path("scratch/")));
            EXPECT_TRUE(copy.endsWith(QStringLiteral(".rp1")));
            EXPECT_TRUE(QFile::exists(copy));
            EXPECT_EQ(doc.GetObjects().size(), 7u);
            EXPECT_TRUE(doc.GetPathName().isEmpty()); // the first save asks for a name
            // A report made from the command line is unsaved work; a
            // template chosen for a new report is not yet.
            EXPECT_EQ(doc.IsModified(), fromCommandLine);
            CDI_RptDoc other(&m_env); // another document's copy is not touched
            m_env.templateChoice = {true, templ};
            ASSERT_TRUE(other.OnNewDocument());
            EXPECT_NE(other.GetWorkingCopy(), copy);
        }
        EXPECT_FALSE(QFile::exists(copy));
        EXPECT_TRUE(QDir(Path("scratch")).entryList(QDir::Files).isEmpty());
        EXPECT_EQ(FileBytes(Path("template/Plant.rp1")), QByteArray("mine"));
        EXPECT_TRUE(QFile::exists(templ));
    }

    // A template that cannot be opened ends the new document and leaves no copy.
    ASSERT_TRUE(WriteReportFile(Path("template/Broken.rpm"), QByteArray("xx")));
    m_env.templateChoice = {true, Path("template/Broken.rpm")};
    CDI_RptDoc doc(&m_env);
    EXPECT_FALSE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetWorkingCopy().isEmpty());
    EXPECT_TRUE(QDir(Path("scratch")).entryList(QDir::Files).isEmpty());
    m_env.templateChoice = {false, QString()};
    EXPECT_FALSE(doc.OnNewDocument()); // cancelled chooser
}

TEST_F(ReportFileTest, SaveAsProposesANameFromTheTitle)
{
    CDI_RptDoc doc(&m_env);
    doc.SetTitle(QStringLiteral("Plant survey"));
    // In the folder last saved to while it can take the file, else in the
    // user's documents folder: never in the folder the program runs in.
    const QString documents = platform::DocumentsFolder(platform::FolderUse::Write);
    ASSERT_TRUE(QDir::isAbsolutePath(documents));
    const struct {
        QString savePath;
        QString proposed;
    } cases[] = {{m_dir.path(), Path("Plant.rpt")},
                 {m_dir.path() + QLatin1Char('/'), Path("Plant.rpt")},
                 {QString(), documents + QStringLiteral("/Plant.rpt")},
                 {QStringLiteral("/data/saves-gone/2024"), documents + QStringLiteral("/Plant.rpt")},
                 {QStringLiteral("/proc/sys"), documents + QStringLiteral("/Plant.rpt")}};
    for (const auto& c : cases) {
        m_env.savePath = c.savePath;
        m_env.prompted.clear();
        EXPECT_FALSE(doc.OnFileSave()); // cancelled prompt
        ASSERT_EQ(m_env.prompted.size(), 1);
        EXPECT_EQ(m_env.prompted[0], c.proposed) << c.savePath.toStdString();
    }

    m_env.promptAnswer = Path("chosen.rpt");
    ASSERT_TRUE(doc.OnFileSave());
    EXPECT_EQ(doc.GetPathName(), Path("chosen.rpt"));
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("chosen"));
    EXPECT_EQ(m_env.savePath, m_dir.path());
    m_env.prompted.clear();
    ASSERT_TRUE(doc.OnFileSave()); // has a path now: no prompt
    EXPECT_TRUE(m_env.prompted.isEmpty());
    ASSERT_TRUE(doc.OnFileSaveAs());
    EXPECT_EQ(m_env.prompted, QStringList{Path("chosen.rpt")});
}

TEST_F(ReportFileTest, SaveAsTemplateGoesToTheTemplateFolderAndMarksItsSettings)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("template")));
    m_env.programFolder = m_dir.path();
    m_env.savePath = QStringLiteral("/unchanged");
    CDI_RptDoc doc(&m_env);
    doc.SetTitle(QStringLiteral("Kiln #2"));
    platform::IniFile ini(Path("template/Kiln.ini"));
    ASSERT_TRUE(ini.writeString(u"System", u"Updated", u"1"));

    m_env.promptAnswer = Path("template/Kiln.rpm");
    ASSERT_TRUE(doc.OnSaveAsTemplate());
    EXPECT_EQ(m_env.prompted, QStringList{Path("template/Kiln.rpm")});
    EXPECT_EQ(ini.readString(u"System", u"Updated"), QStringLiteral("0"));
    EXPECT_EQ(m_env.savePath, QStringLiteral("/unchanged"));
    EXPECT_TRUE(doc.IsTemplate());

    m_env.promptAnswer = Path("template/Other.rpm"); // no settings file: none is made
    m_env.prompted.clear();
    ASSERT_TRUE(doc.OnSaveAsTemplate());
    EXPECT_FALSE(QFile::exists(Path("template/Other.ini")));
    EXPECT_EQ(m_env.prompted, QStringList{Path("template/Kiln.rpm")}); // always proposed from the title
}

TEST_F(ReportFileTest, EveryChangeOfTheSavedFileMarksTheDocumentModified)
{
    CountingView view;
    const struct {
        const char* name;
        std::function<void(CDI_RptDoc&, RecordingEnvironment&)> change;
    } cases[] = {
        {"page title", [](CDI_RptDoc& d, RecordingEnvironment&) { d.SetPageTitle(0, QStringLiteral("New")); }},
        {"stacking order", [](CDI_RptDoc& d, RecordingEnvironment&) { d.MoveToFront(d.GetObjects()[0]); }},
        {"one place back", [](CDI_RptDoc& d, RecordingEnvironment&) { d.MoveBackward(d.GetObjects()[2]); }},
        {"background colour",
         [](CDI_RptDoc& d, RecordingEnvironment& e) {
             e.colorAnswer = RGB(200, 220, 240);
             d.OnCommand(CDI_RptDoc::ID_BACKGROUND_COLOR);
         }},
        {"lock", [](CDI_RptDoc& d, RecordingEnvironment&) { d.OnCommand(CDI_RptDoc::ID_LOCK); }},
        {"show numbers", [](CDI_RptDoc& d, RecordingEnvironment&) { d.OnCommand(CDI_RptDoc::ID_SHOW_NUMBERS); }},
        {"new page", [](CDI_RptDoc& d, RecordingEnvironment&) { d.InsertPage(3, QStringLiteral("More")); }},
        {"delete page", [](CDI_RptDoc& d, RecordingEnvironment&) { d.DeleteCurrentPage(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingEnvironment env;
        CDI_RptDoc doc(&env);
        doc.SetView(&view);
        BuildSampleReport(doc);
        doc.SetModifiedFlag(false);
        const QByteArray before = doc.StoreContents();
        c.change(doc, env);
        EXPECT_NE(doc.StoreContents(), before);
        EXPECT_TRUE(doc.IsModified());
        doc.SetView(nullptr);
    }

    // A summary edit changes only the summary stream.
    RecordingEnvironment env;
    env.dialogHook = [](QDialog& dialog) {
        auto& sheet = dynamic_cast<CSummarySheet&>(dialog);
        sheet.SummaryPage()->Edit(CSummPage::kAuthor)->setText(QStringLiteral("Bo"));
        return true;
    };
    CDI_RptDoc doc(&env);
    ASSERT_TRUE(doc.OnFileSummaryInfo());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetSummaryInfo().GetAuthor(), QStringLiteral("Bo"));
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(doc.OnFileSummaryInfo()); // OK without a change
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ReportFileTest, ClosingAModifiedReportAsksToSave)
{
    CDI_RptDoc doc(&m_env);
    EXPECT_TRUE(doc.SaveModified()); // unmodified: nothing asked
    EXPECT_TRUE(m_env.messages.empty());
    doc.SetPageTitle(0, QStringLiteral("Changed"));
    doc.SetTitle(QStringLiteral("Unsaved"));

    m_env.answer = DocumentEnvironment::kAnswerCancel;
    EXPECT_FALSE(doc.SaveModified());
    ASSERT_EQ(m_env.messages.size(), 1u);
    EXPECT_TRUE(m_env.messages[0].text.contains(QStringLiteral("Unsaved")));
    m_env.answer = DocumentEnvironment::kAnswerNo;
    EXPECT_TRUE(doc.SaveModified());
    m_env.answer = DocumentEnvironment::kAnswerYes;
    m_env.promptAnswer = Path("closing.rpt");
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(QFile::exists(Path("closing.rpt")));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ReportFileTest, RptdumpPrintsAndResavesReports)
{
    CDI_RptDoc doc(&m_env);
    BuildSampleReport(doc);
    doc.OnLock();
    ASSERT_TRUE(doc.OnSaveDocument(Path("dump.rpt")));
    const QString tool = QStringLiteral(DOCUMENT_TEST_RPTDUMP);

    ProgramRun r = RunProgram(tool, {Path("dump.rpt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(json[QStringLiteral("pageCount")].toInt(), 2);
    EXPECT_EQ(json[QStringLiteral("version")].toDouble(), 6.0);
    EXPECT_EQ(json[QStringLiteral("pageSize")].toArray(), (QJsonArray{8330, 11790}));
    EXPECT_TRUE(json[QStringLiteral("flags")].toObject()[QStringLiteral("locked")].toBool());
    EXPECT_EQ(json[QStringLiteral("pageTitles")].toArray()[0].toString(), QString::fromUtf8("封面"));
    const QJsonArray objects = json[QStringLiteral("objects")].toArray();
    ASSERT_EQ(objects.size(), 7);
    const QJsonObject arrow = objects[6].toObject(); // arrows are kept at the tail
    EXPECT_EQ(arrow[QStringLiteral("class")].toString(), QStringLiteral("CDrawRect"));
    EXPECT_EQ(arrow[QStringLiteral("shape")].toInt(), 4);
    EXPECT_EQ(arrow[QStringLiteral("arrowStyle")].toInt(), 1);
    EXPECT_EQ(arrow[QStringLiteral("rect")].toArray(), (QJsonArray{1000, -6500, 4000, -6500}));
    EXPECT_EQ(objects[4].toObject()[QStringLiteral("points")].toArray().size(), 3);
    EXPECT_EQ(objects[5].toObject()[QStringLiteral("page")].toInt(), 1);

    r = RunProgram(tool, {Path("dump.rpt"), QStringLiteral("--save"), Path("again.rpt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadStream(Path("again.rpt"), QStringLiteral("Contents")),
              ReadStream(Path("dump.rpt"), QStringLiteral("Contents")));

    ASSERT_TRUE(WriteReportFile(Path("bad.rpt"), ContentsHeader(1, 9.0f).data()));
    r = RunProgram(tool, {Path("bad.rpt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("9"))) << r.err.toStdString();
    EXPECT_EQ(RunProgram(tool, {}).exitCode, 2);
}

TEST_F(ReportFileTest, NewAndOpenedReportsTakeTheLogoFromTheProgramFolder)
{
    m_env.programFolder = m_dir.path();
    CDI_RptDoc doc(&m_env);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetLogo().IsEmpty()); // none there: nothing said
    QImage logo(16, 8, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(Path("LOGO.JPG"), "JPG"));
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetLogo().GetWidth(), 16);
    EXPECT_TRUE(m_env.messages.empty());

    // The file holds no picture: a report opened again shows the same logo,
    // not the empty placeholder.
    ASSERT_TRUE(doc.OnSaveDocument(Path("logo.rpt")));
    CDI_RptDoc reopened(&m_env);
    ASSERT_TRUE(reopened.OnOpenDocument(Path("logo.rpt")));
    EXPECT_EQ(reopened.GetLogo().GetWidth(), 16);
}

TEST_F(ReportFileTest, DeleteFileIfExistsSaysWhetherAFileStaysInTheWay)
{
    EXPECT_FALSE(DeleteFileIfExists(Path("none.doc")));
    QFile f(Path("old.doc"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_FALSE(DeleteFileIfExists(Path("old.doc")));
    EXPECT_FALSE(QFile::exists(Path("old.doc")));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("busy.doc/inner")));
    EXPECT_TRUE(DeleteFileIfExists(Path("busy.doc"))); // cannot be deleted
}

// The view's output paths without a window: a page as the screen paints it,
// and every page as printing draws it, 105 units lower on its sheet.
TEST_F(ReportFileTest, RptdumpRendersAPageAndPrintsEveryPageToPdf)
{
    CDI_RptDoc doc(&m_env);
    BuildSampleReport(doc);
    doc.InsertPage(0, QStringLiteral("Third"));
    ASSERT_TRUE(doc.OnSaveDocument(Path("three.rpt")));
    const QString tool = QStringLiteral(DOCUMENT_TEST_RPTDUMP);

    ProgramRun r = RunProgram(tool, {Path("three.rpt"), QStringLiteral("--pdf"), Path("three.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunProgram(QStringLiteral("pdfinfo"), {Path("three.pdf")});
    ASSERT_EQ(r.exitCode, 0) << "pdfinfo (poppler-utils) is needed";
    EXPECT_TRUE(r.out.contains("Pages:           3")) << r.out.toStdString();
    // 8330 x 11790 units of 1/1008 inch in whole points.
    EXPECT_TRUE(r.out.contains("Page size:       595 x 842 pts")) << r.out.toStdString();

    for (const char* zoom : {"0.5", "1", "2"}) {
        r = RunProgram(tool, {Path("three.rpt"), QStringLiteral("--png"), QStringLiteral("1"), Path("page1.png"),
                              QStringLiteral("--zoom"), QString::fromLatin1(zoom)});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QImage image(Path("page1.png"));
        const double z = QByteArray(zoom).toDouble();
        EXPECT_EQ(image.size(), QSize(int(std::ceil(8330 * 96 / std::trunc(1008 / z))),
                                      int(std::ceil(11790 * 96 / std::trunc(1008 / z)))));
    }
    r = RunProgram(tool, {Path("three.rpt"), QStringLiteral("--png"), QStringLiteral("1"), Path("page1.png")});
    ASSERT_EQ(r.exitCode, 0);
    r = RunProgram(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-f"),
                                                QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                QStringLiteral("-png"), Path("three.pdf"), Path("sheet")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage screen(Path("page1.png"));
    QImage sheet(Path("sheet-1.png"));
    ASSERT_FALSE(sheet.isNull());
    ASSERT_FALSE(screen.isNull());
    // The sheet shows the page where the screen does: its top edge at the
    // sheet's top (not 105 units, 10 pixels at 96 dpi, lower).
    const int shift = 0;
    std::int64_t differ = 0;
    std::int64_t inked = 0;
    const int w = std::min(screen.width(), sheet.width());
    const int h = std::min(screen.height(), sheet.height() - shift);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QColor a = screen.pixelColor(x, y);
            const QColor b = sheet.pixelColor(x, y + shift);
            if (a != Qt::white)
                ++inked;
            if (std::abs(a.red() - b.red()) > 80 || std::abs(a.green() - b.green()) > 80 ||
                std::abs(a.blue() - b.blue()) > 80)
                ++differ;
        }
    }
    EXPECT_GT(inked, std::int64_t(w) * h / 20); // the shapes are there
    EXPECT_LT(differ, inked / 50) << differ << " of " << inked;

    // A report that does not open: its message, exit 1.
    QFile junk(Path("junk.rpt"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a report");
    junk.close();
    for (const QStringList& args : {QStringList{Path("junk.rpt"), QStringLiteral("--pdf"), Path("junk.pdf")},
                                    QStringList{Path("junk.rpt"), QStringLiteral("--png"), QStringLiteral("1"),
                                                Path("junk.png")}}) {
        r = RunProgram(tool, args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(Path("junk.pdf")));
    r = RunProgram(tool, {Path("three.rpt"), QStringLiteral("--png"), QStringLiteral("0"), Path("none.png")});
    EXPECT_EQ(r.exitCode, 2);
}

// Values a report cannot hold (coordinates far off the page, pen widths and
// roundness that overflow when drawn, a negative version) refuse the file
// with the damaged-report message and leave the document as it was; values
// at the limits read, draw, hit test and save back unchanged.
TEST_F(ReportFileTest, ExtremeValuesRefuseTheReport)
{
    constexpr std::int32_t kHuge = 1802201963;
    constexpr std::int32_t kLimit = record_values::kMaxCoordinate;
    const auto rect = [](DocRect r, std::int32_t penWidth, std::int32_t round, float version = 6.0f,
                         int pageWidth = 8330) {
        Bytes b = ContentsHeader(1, version, pageWidth);
        b.u16(1).newClass("CDrawRect").baseRecord(r, 0, 0, 0, penWidth);
        b.u16(CDrawRect::roundRectangle).i32(round).i32(round).i32(2);
        b.u16(1).pageRecord("P");
        return b.data();
    };
    const auto poly = [](QPoint p) {
        Bytes b = ContentsHeader(1, 6.0f);
        b.u16(1).newClass("CDrawPoly").baseRecord(DocRect(0, 0, 100, 100), 0);
        b.u16(2).u16(2).i32(0).i32(0).i32(p.x()).i32(p.y());
        b.u16(1).pageRecord("P");
        return b.data();
    };
    struct Case {
        const char* name;
        QByteArray contents;
    };
    const Case refused[] = {
        {"right edge past int", rect(DocRect(0, 0, 2147483647, -100), 1, 16)},
        {"top far above the page", rect(DocRect(0, kLimit + 1, 100, -100), 1, 16)},
        {"bottom far below the page", rect(DocRect(0, 0, 100, -kHuge), 1, 16)},
        {"pen width 10.5 times past int", rect(DocRect(0, 0, 100, -100), kHuge, 16)},
        {"negative pen width past int", rect(DocRect(0, 0, 100, -100), -kHuge, 16)},
        {"roundness past int", rect(DocRect(0, 0, 100, -100), 1, 2147483647)},
        {"polygon point past int", poly(QPoint(-2147483647, 5))},
        {"page width past int", rect(DocRect(0, 0, 100, -100), 1, 16, 6.0f, kHuge)},
        {"negative version", rect(DocRect(0, 0, 100, -100), 1, 16, -2.3e29f)},
    };
    CDI_RptDoc doc(&m_env);
    BuildSampleReport(doc);
    const QByteArray before = doc.StoreContents();
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(doc.LoadContents(c.contents, &error));
        EXPECT_EQ(error, m_env.LoadString(doc_string::kBadFormat));
        EXPECT_EQ(doc.StoreContents(), before);
    }

    const Case accepted[] = {
        {"edges at the limit", rect(DocRect(-kLimit, kLimit, kLimit, -kLimit), record_values::kMaxPenWidth, 16)},
        {"polygon point at the limit", poly(QPoint(-kLimit, kLimit))},
    };
    for (const Case& c : accepted) {
        SCOPED_TRACE(c.name);
        CDI_RptDoc at(&m_env);
        QString error;
        ASSERT_TRUE(at.LoadContents(c.contents, &error)) << error.toStdString();
        RenderSmall(at);
        DrawView view;
        for (CDrawObj* obj : at.GetObjects())
            obj->HitTest(QPoint(kLimit, -kLimit), &view, true, 0);
        EXPECT_EQ(at.StoreContents(), c.contents);
    }
}
