// Batch reports and pictures from camera files written by the fixture
// generator: output names, one report or BMP per good file, failures named.
#include "batch_run.h"

#include "batch_fixtures.h"

#include "document/draw_photo.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>

#include <cstring>

using namespace irtest;
using namespace batchtest;

TEST(BatchOutputName, LastExtensionReplacedInTheFolder)
{
    struct Case {
        const char* folder;
        const char* input;
        const char* ext;
        const char* expected;
    };
    const Case cases[] = {
        {"/out", "/a/IR0001.VNI", "rpt", "/out/IR0001.rpt"},
        {"/out", "/a/IR0001.VNI", "bmp", "/out/IR0001.bmp"},
        {"/out", "/a/x.jpeg", "rpt", "/out/x.rpt"},
        {"/out", "/a/x.j", "rpt", "/out/x.rpt"},
        {"/out", "/a/IR.2013.05.VNI", "rpt", "/out/IR.2013.05.rpt"},
        {"/out", "/a/noext", "rpt", "/out/noext.rpt"},
        {"/out", "/a.b/noext", "rpt", "/out/noext.rpt"},
        {"/out/", "/a/IR0001.VNI", "rpt", "/out/IR0001.rpt"},
        {"/", "/a/IR0001.VNI", "bmp", "/IR0001.bmp"},
        {"/out", "ab", "rpt", "/out/ab.rpt"},
        {"/out", "C:\\a\\IR0001.VNI", "rpt", "/out/IR0001.rpt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BatchOutputName(QString::fromUtf8(c.folder), QString::fromUtf8(c.input), QLatin1String(c.ext)),
                  QString::fromUtf8(c.expected))
            << c.input;
}

namespace {

int RunPython(const QStringList& args, QString* out = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(TEMPLATES_TEST_PYTHON), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    if (out != nullptr)
        *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

} // namespace

TEST(BatchReports, EachGoodFileGivesItsOwnReportAndFailuresAreNamed)
{
    const Inputs& in = SharedInputs();
    BatchEnvironment env;
    QTemporaryDir work;
    const QString templ = MakeTemplate(env, work.path());
    const QString out = work.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's clipboard"));

    IRAnalysisArray scratch;
    const BatchOutcome outcome =
        RunBatchReports(env, Registry(), templ, {in.a, in.corrupt, in.b, in.c}, out, scratch);
    EXPECT_TRUE(outcome.error.isEmpty());
    EXPECT_EQ(outcome.written, 3);
    EXPECT_EQ(outcome.failed, QStringList{in.corrupt});
    EXPECT_TRUE(outcome.unsaved.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(out).filePath(QStringLiteral("bad.rpt"))));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's clipboard"));
    // The scratch folder keeps no photo.
    EXPECT_TRUE(QDir(env.scratch.path()).entryList(QDir::Files).isEmpty());

    struct Expect {
        QString input;
        const char* report;
        int linkedPhotoWidth; // 50: the template's own picture
    };
    const Expect expects[] = {{in.a, "IR0001.rpt", 160}, {in.b, "IR0002.rpt", 50}, {in.c, "IR.2013.05.rpt", 240}};
    for (const Expect& e : expects) {
        const QString report = QDir(out).filePath(QLatin1String(e.report));
        CDI_RptDoc doc(&env, &Registry());
        ASSERT_TRUE(doc.OnOpenDocument(report)) << e.report;
        CDrawIR* image = nullptr;
        std::vector<CDrawPhoto*> photos;
        for (CDrawObj* obj : doc.GetObjects()) {
            if (image == nullptr)
                image = dynamic_cast<CDrawIR*>(obj);
            if (auto* photo = dynamic_cast<CDrawPhoto*>(obj))
                photos.push_back(photo);
        }
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->FileCount(), 1);
        EXPECT_EQ(image->Files()[0].bytes, ReadAll(e.input)) << e.report;
        ASSERT_EQ(photos.size(), 2u);
        EXPECT_EQ(photos[0]->Picture().GetWidth(), e.linkedPhotoWidth) << e.report;
        EXPECT_EQ(photos[1]->Picture().GetWidth(), 50) << e.report;

        QString said;
        EXPECT_EQ(RunPython({QStringLiteral(TEMPLATES_TEST_SOURCE "/pagewright/document/tests/report_check.py"),
                             report, QStringLiteral("streams=Contents,\\x05SummaryInformation")},
                            &said),
                  0)
            << said.toStdString();
    }
}

TEST(BatchReports, SharedOutputNamesAreListedAndTheLaterInputWins)
{
    const Inputs& in = SharedInputs();
    BatchEnvironment env;
    QTemporaryDir work;
    const QString templ = MakeTemplate(env, work.path());
    IRAnalysisArray scratch;
    const BatchOutcome outcome = RunBatchReports(env, Registry(), templ, {in.a, in.twin}, work.path(), scratch);
    EXPECT_EQ(outcome.written, 2);
    const QString shared = QDir(work.path()).filePath(QStringLiteral("IR0001.rpt"));
    EXPECT_EQ(outcome.sharedNames, QStringList{shared});
    CDI_RptDoc doc(&env, &Registry());
    ASSERT_TRUE(doc.OnOpenDocument(shared));
    auto* image = dynamic_cast<CDrawIR*>(doc.GetObjects().front());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Files()[0].bytes, ReadAll(in.twin));
    // The finishing message names it.
    EXPECT_TRUE(BatchSummary(QStringLiteral("done"), outcome, {}, {}, QStringLiteral("shared:")).contains(shared));
}

TEST(BatchReports, ATemplateThatCannotServeGeneratesNothing)
{
    const Inputs& in = SharedInputs();
    BatchEnvironment env;
    QTemporaryDir work;
    IRAnalysisArray scratch;
    // Not a report at all.
    const QString junk = work.filePath(QStringLiteral("junk.rpm"));
    ASSERT_TRUE(WriteAll(junk, QByteArray("not a report")));
    BatchOutcome outcome = RunBatchReports(env, Registry(), junk, {in.a}, work.path(), scratch);
    EXPECT_EQ(outcome.error, QStringLiteral("cannot-open"));
    // A report without an image.
    const QString empty = work.filePath(QStringLiteral("empty.rpm"));
    {
        CDI_RptDoc doc(&env, &Registry());
        doc.OnNewDocument();
        ASSERT_TRUE(doc.SaveToPath(empty));
    }
    outcome = RunBatchReports(env, Registry(), empty, {in.a}, work.path(), scratch);
    EXPECT_EQ(outcome.error, QStringLiteral("no-image"));
    EXPECT_EQ(outcome.written, 0);
    EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("IR0001.rpt"))));
}

// Every report carries the template's measurements measured on its own
// file: a file reads the same whatever file the batch took before it, here
// a smaller one that cannot hold the measurements' pixels.
TEST(BatchReports, AFileReadsTheSameWhateverCameBeforeIt)
{
    struct Case {
        const char* family;
        const char* a;
        const char* b;
    };
    const Case cases[] = {
        {"own model (K4)", "k4_320.vni", "k8_160.vni"},
        {"radiometric model (K8)", "k8_640.vni", "k4_320.vni"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        BatchEnvironment env;
        QTemporaryDir work;
        // A template showing A with a point, a line, a rectangle and an
        // ellipse on odd pixels.
        const QString templ = work.filePath(QStringLiteral("template.rpm"));
        std::vector<IRAnalysisItem> expected;
        {
            CDI_RptDoc doc(&env, &Registry());
            DrawView view;
            doc.SetView(&view);
            auto* image = static_cast<CDrawIR*>(
                doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000))));
            image->SetNumber(1);
            ASSERT_TRUE(image->LoadIRFile(Fixture(c.a)));
            image->m_analyses.RemoveAll();
            const int w = image->ImageWidth();
            const auto at = [w](int part) { return (w * part / 320) | 1; };
            image->m_analyses.Add(Shape(1, {at(101), at(77), at(101), at(77)}));
            image->m_analyses.Add(Shape(2, {at(33), at(41), at(211), at(157)}));
            image->m_analyses.Add(Shape(3, {at(41), at(31), at(187), at(143)}));
            image->m_analyses.Add(Shape(4, {at(61), at(51), at(161), at(151)}));
            // Shown again, the measurements take the file's scene.
            ASSERT_TRUE(image->LoadIRFile(Fixture(c.a)));
            expected.assign(image->m_analyses.begin(), image->m_analyses.end());
            ASSERT_TRUE(doc.SaveToPath(templ)) << doc.GetLastError().toStdString();
            doc.SetView(nullptr);
        }
        QStringList inputs;
        for (const auto& [name, fixture] : {std::pair{"A1.vni", c.a}, std::pair{"B.vni", c.b}, std::pair{"A2.vni", c.a}}) {
            inputs << work.filePath(QLatin1String(name));
            ASSERT_TRUE(QFile::copy(Fixture(fixture), inputs.back()));
        }
        const QString out = work.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        IRAnalysisArray scratch;
        ASSERT_EQ(RunBatchReports(env, Registry(), templ, inputs, out, scratch).written, 3);
        for (const char* report : {"A1.rpt", "A2.rpt"}) {
            SCOPED_TRACE(report);
            CDI_RptDoc doc(&env, &Registry());
            ASSERT_TRUE(doc.OnOpenDocument(QDir(out).filePath(QLatin1String(report))));
            CDrawIR* image = nullptr;
            for (CDrawObj* obj : doc.GetObjects())
                image = image != nullptr ? image : dynamic_cast<CDrawIR*>(obj);
            ASSERT_NE(image, nullptr);
            ASSERT_EQ(image->m_analyses.GetSize(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const IRAnalysisItem& got = image->m_analyses[i];
                EXPECT_EQ(std::memcmp(&got, &expected[i], sizeof got), 0)
                    << "kind " << got.kind << ": left " << got.shape.left << " / " << expected[i].shape.left
                    << ", max " << got.maximum << " / " << expected[i].maximum << ", average " << got.average
                    << " / " << expected[i].average;
            }
        }
    }
}

TEST(BatchPictures, BmpsOpenInPilAndWithoutTheBarHoldOnlyPaletteColours)
{
    const Inputs& in = SharedInputs();
    BatchEnvironment env;
    for (const bool bar : {true, false}) {
        QTemporaryDir out;
        const int palette = 2;
        const BatchOutcome outcome =
            RunBatchPictures(env, Registry(), {in.a, in.corrupt, in.c}, out.path(), bar, palette);
        EXPECT_EQ(outcome.written, 2);
        EXPECT_EQ(outcome.failed, QStringList{in.corrupt});
        for (const char* name : {"IR0001.bmp", "IR.2013.05.bmp"}) {
            const QString bmp = out.filePath(QLatin1String(name));
            QString said;
            // PIL opens it; without the bar every pixel is a colour of the palette.
            const QString script = QStringLiteral(
                "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]); im.load()\n"
                "pal = open(sys.argv[2], 'rb').read()[54:54 + 768]\n"
                "colours = {(pal[3*k+2], pal[3*k+1], pal[3*k]) for k in range(256)}\n"
                "print(im.size)\n"
                "if sys.argv[3] == '0':\n"
                "    bad = [p for p in im.convert('RGB').getdata() if p not in colours]\n"
                "    sys.exit(1 if bad else 0)\n");
            EXPECT_EQ(RunPython({QStringLiteral("-c"), script, bmp,
                                 QDir(env.folder).filePath(QStringLiteral("nruler%1.bmp").arg(palette + 1)),
                                 bar ? QStringLiteral("1") : QStringLiteral("0")},
                                &said),
                      0)
                << name << " bar " << bar << ": " << said.toStdString();
        }
    }
}
