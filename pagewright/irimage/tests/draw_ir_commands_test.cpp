// The image object's commands: sub-modes, palettes, open, saves, voice,
// the visible photo, deleting analyses, and their undo steps.
#include "command_support.h"

#include "document/draw_photo.h"
#include "irimage/ir_file_dlg.h"
#include "document/draw_tool.h"

#include "platform/ini_file.h"
#include "platform/open_refusal.h"
#include "platform/recording_voice_player.h"

#include <sys/stat.h>

using namespace irtest;

namespace {

// A report whose image shows a file, with a private program folder (palettes
// copied, its own field.ini).
struct OpenedReport : CommandReport {
    QTemporaryDir program;
    OpenedReport(const char* fixture = "k4_320.vni")
    {
        for (const QString& name : QDir(env.folder).entryList(QDir::Files))
            QFile::copy(QDir(env.folder).filePath(name), program.filePath(name));
        env.folder = program.path();
        if (fixture != nullptr) {
            EXPECT_TRUE(ir->LoadIRFile(Fixture(fixture)));
        }
    }
};

} // namespace

TEST(DrawIrCommands, SubModeCommandsSwitchTheAnalysisToolOnAndOff)
{
    CommandReport r;
    const std::pair<unsigned, int> modes[] = {{32842, kModePointAnalysis}, {32843, kModeLineAnalysis},
                                              {32844, kModeAreaAnalysis},  {32851, kModeEllipseAnalysis},
                                              {32845, kModeIsothermMark},  {32855, kModeSpotReadout},
                                              {32865, kModeScaleIsotherm}};
    for (const auto& [id, mode] : modes) {
        g_currentKind = kShapeSelect;
        g_toolMode = kModeNone;
        EXPECT_EQ(r.ir->DoCommand(id, QString(), 0), 1);
        EXPECT_EQ(g_currentKind, kShapeAnalysis);
        EXPECT_EQ(g_toolMode, mode) << id;
        r.ir->DoCommand(id, QString(), 0);
        EXPECT_EQ(g_toolMode, kModeNone) << id;
    }
    g_currentKind = kShapeSelect;
    // Unknown identifiers and the border command do nothing.
    EXPECT_EQ(r.ir->DoCommand(32846, QString(), 0), 1);
    EXPECT_EQ(r.ir->DoCommand(40000, QString(), 0), 1);
}

TEST(DrawIrCommands, PalettesStepAndWrapAsOneUndoStepEach)
{
    OpenedReport r;
    r.ir->SetPalette(9);
    const int steps = r.doc.GetUndoCount();
    // 32868 and the view's 512 are next, 32867 and 768 previous.
    EXPECT_EQ(r.ir->DoCommand(32868, QString(), 0), 1);
    EXPECT_EQ(r.ir->Image().PaletteIndex(), 0);
    r.ir->DoCommand(768, QString(), 0);
    EXPECT_EQ(r.ir->Image().PaletteIndex(), 9);
    r.ir->DoCommand(512, QString(), 0);
    r.ir->DoCommand(512, QString(), 0);
    EXPECT_EQ(r.ir->Image().PaletteIndex(), 1);
    r.ir->DoCommand(32867, QString(), 0);
    EXPECT_EQ(r.ir->Image().PaletteIndex(), 0);
    EXPECT_EQ(r.doc.GetUndoCount(), steps + 5);
    r.doc.OnEditUndo();
    CDrawIR* undone = r.Image();
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->Image().PaletteIndex(), 1);
}

TEST(DrawIrCommands, OpenAppendsOrReplacesAndRemembersTheFilter)
{
    OpenedReport r;
    QTemporaryDir folder;
    QStringList three;
    for (int i = 1; i <= 3; ++i)
        three << CopyFixture(folder, "k4_320.vni", QStringLiteral("IR%1.VNI").arg(i));

    // The open dialog lists the infrared kinds and starts at FileType.
    platform::IniFile(r.program.filePath(QStringLiteral("field.ini"))).writeString(u"SysSet", u"FileType", u"3");
    r.view.m_bAppendFrames = true;
    r.env.choose = three;
    r.env.filter = 2;
    const int steps = r.doc.GetUndoCount();
    EXPECT_EQ(r.ir->DoCommand(32840, QString(), 0), 1);
    EXPECT_EQ(r.env.seenFilters.size(), 4);
    EXPECT_EQ(r.env.seenFilter, r.env.seenFilters.value(2));
    EXPECT_EQ(r.ir->FileCount(), 4);
    EXPECT_EQ(r.ir->Files()[std::size_t(r.ir->FileIndex())].path, three.back());
    EXPECT_EQ(r.env.picPaths.back(), three.back());
    EXPECT_EQ(platform::IniFile(r.program.filePath(QStringLiteral("field.ini"))).readInt(u"SysSet", u"FileType", 0), 2);
    EXPECT_EQ(r.doc.GetUndoCount(), steps + 1);

    // Without append the current entry is replaced.
    r.view.m_bAppendFrames = false;
    const QString other = CopyFixture(folder, "k8_160.vni", QStringLiteral("OTHER.VNI"));
    r.env.choose = {other};
    r.view.wholeRepaints = 0;
    EXPECT_EQ(r.ir->DoCommand(32840, QString(), 0), 1);
    EXPECT_EQ(r.ir->FileCount(), 4);
    EXPECT_EQ(r.ir->ImageWidth(), 160);
    // The tables and charts showing the image's values are drawn again too.
    EXPECT_GE(r.view.wholeRepaints, 1);

    // Cancel changes nothing.
    r.env.choose.clear();
    EXPECT_EQ(r.ir->DoCommand(32840, QString(), 0), 1);
    EXPECT_EQ(r.ir->FileCount(), 4);
}

TEST(DrawIrCommands, ADoubleClickOpensOneFileIntoTheImage)
{
    OpenedReport r;
    QTemporaryDir folder;
    const QString other = CopyFixture(folder, "k8_160.vni", QStringLiteral("OTHER.VNI"));
    r.view.m_bAppendFrames = true; // left so by the add-frames command
    r.env.choose = {other};
    r.ir->OnOpen(&r.view);
    EXPECT_FALSE(r.view.m_bAppendFrames);
    EXPECT_EQ(r.ir->FileCount(), 1);
    EXPECT_EQ(r.ir->ImageWidth(), 160);
    EXPECT_EQ(r.env.picPaths.back(), other);
}

// The image's own Open (not the play bar's "+") takes one file: several
// names chosen at once load none of them and say that one file is taken,
// rather than showing the last of them.
TEST(DrawIrCommands, OpenWithSeveralNamesSaysOneFileAndLoadsNone)
{
    OpenedReport r;
    QTemporaryDir folder;
    const QString a = CopyFixture(folder, "k8_160.vni", QStringLiteral("A.VNI"));
    const QString b = CopyFixture(folder, "k8_160.vni", QStringLiteral("B.VNI"));
    r.view.m_bAppendFrames = false;
    r.env.choose = {a, b};
    const int steps = r.doc.GetUndoCount();
    EXPECT_EQ(r.ir->DoCommand(32840, QString(), 0), 1);
    EXPECT_EQ(r.env.messageTexts, QStringList{QString::fromUtf8(CIRFileDlg::kOneFileOnly)});
    EXPECT_EQ(r.ir->FileCount(), 1);
    EXPECT_EQ(r.ir->ImageWidth(), 320);
    EXPECT_EQ(r.doc.GetUndoCount(), steps);

    // One name is taken as before.
    r.env.messageTexts.clear();
    r.env.choose = {b};
    EXPECT_EQ(r.ir->DoCommand(32840, QString(), 0), 1);
    EXPECT_TRUE(r.env.messageTexts.isEmpty());
    EXPECT_EQ(r.ir->ImageWidth(), 160);
    EXPECT_EQ(r.ir->Files()[std::size_t(r.ir->FileIndex())].path, b);
}

TEST(DrawIrCommands, AnUnreadableChosenFileLeavesTheListAndNamesTheFile)
{
    OpenedReport r;
    QTemporaryDir folder;
    const QString good = CopyFixture(folder, "k4_320.vni", QStringLiteral("GOOD.VNI"));
    const QString bad = folder.filePath(QStringLiteral("BAD.VNI"));
    ASSERT_TRUE(WriteAll(bad, QByteArray(100, 'x')));
    const int steps = r.doc.GetUndoCount();
    EXPECT_EQ(r.ir->OpenFiles({good, bad}, true), -1);
    EXPECT_EQ(r.ir->FileCount(), 1);
    EXPECT_EQ(r.doc.GetUndoCount(), steps);
    ASSERT_FALSE(r.env.messageTexts.isEmpty());
    EXPECT_TRUE(r.env.messageTexts.back().contains(QStringLiteral("BAD.VNI")));
    // At most 600 entries (a small file, many times).
    const QStringList many(610, CopyFixture(folder, "k4.vni", QStringLiteral("SMALL.VNI")));
    EXPECT_EQ(r.ir->OpenFiles(many, true), 1);
    EXPECT_EQ(r.ir->FileCount(), 600);
}

TEST(DrawIrCommands, SaveAsWritesBitmapsAndInfraredFilesByExtensionOrFilter)
{
    OpenedReport r;
    QTemporaryDir out;
    // A name without extension saved with the bitmap filter gets .bmp.
    r.env.choose = {out.filePath(QStringLiteral("plain"))};
    r.env.filter = 1;
    EXPECT_EQ(r.ir->DoCommand(32848, QString(), 0), 1);
    const QByteArray bmp = ReadAll(out.filePath(QStringLiteral("plain.bmp")));
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(bmp.size(), 14 + r.ir->Dib().size());

    // .VNI writes an infrared file with the same temperatures.
    r.env.choose = {out.filePath(QStringLiteral("copy.VNI"))};
    EXPECT_EQ(r.ir->DoCommand(32848, QString(), 0), 1);
    CIrImage reopened(&r.env);
    ASSERT_EQ(reopened.Open(out.filePath(QStringLiteral("copy.VNI")), nullptr), 1);
    for (const QPoint p : {QPoint(0, 0), QPoint(100, 50), QPoint(319, 239)}) {
        float a = 0, b = 0;
        r.ir->Image().GetPointTemp(p.x(), p.y(), 0.95f, 1.0f, 20.0f, &a);
        reopened.GetPointTemp(p.x(), p.y(), 0.95f, 1.0f, 20.0f, &b);
        EXPECT_EQ(a, b);
    }
    // Without extension and the infrared filter: ".VNI".
    r.env.choose = {out.filePath(QStringLiteral("second"))};
    r.env.filter = 2;
    r.ir->DoCommand(32848, QString(), 0);
    EXPECT_TRUE(QFileInfo::exists(out.filePath(QStringLiteral("second.VNI"))));

    // With colour bar and analyses: the whole object, .bmp appended.
    r.env.filter = 0;
    r.env.choose = {out.filePath(QStringLiteral("whole"))};
    EXPECT_EQ(r.ir->DoCommand(32856, QString(), 0), 1);
    EXPECT_EQ(ReadAll(out.filePath(QStringLiteral("whole.bmp"))).left(2), QByteArray("BM"));

    // Cancelled, and without an image: 0.
    r.env.choose.clear();
    EXPECT_EQ(r.ir->DoCommand(32848, QString(), 0), 0);
    CommandReport empty;
    EXPECT_EQ(empty.ir->DoCommand(32848, QString(), 0), 0);
    EXPECT_EQ(empty.ir->DoCommand(32856, QString(), 0), 0);
    EXPECT_EQ(empty.env.dialogs, 0);
}

TEST(DrawIrCommands, VoicePlaysThroughThePlayerAndSavesAsWav)
{
    OpenedReport r(nullptr);
    ASSERT_TRUE(r.ir->LoadIRFile(ExtractFixture("x_pcm.vni")));
    platform::RecordingVoicePlayer player;
    EXPECT_EQ(r.ir->DoCommand(32850, QString(), 0), 1);
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_EQ(player.played.front().bytes.left(4), QByteArray("RIFF"));
    EXPECT_TRUE(player.played.front().path.startsWith(r.env.scratch.path()));

    QTemporaryDir out;
    r.env.choose = {out.filePath(QStringLiteral("note"))};
    EXPECT_EQ(r.ir->DoCommand(32857, QString(), 0), 1);
    EXPECT_EQ(ReadAll(out.filePath(QStringLiteral("note.wav"))), player.played.front().bytes);

    // No note: nothing plays, nothing is asked.
    OpenedReport silent("k4_320.vni");
    silent.ir->DoCommand(32850, QString(), 0);
    EXPECT_EQ(player.played.size(), 1u);
    EXPECT_EQ(silent.ir->DoCommand(32857, QString(), 0), 0);
    EXPECT_EQ(silent.env.dialogs, 0);
}

TEST(DrawIrCommands, VisiblePhotoBecomesAPhotoBoundToTheImage)
{
    OpenedReport r("k4_full.vni");
    r.ir->SetNumber(3);
    const std::size_t before = r.doc.GetObjects().size();
    EXPECT_EQ(r.ir->DoCommand(32866, QString(), 0), 1);
    ASSERT_EQ(r.doc.GetObjects().size(), before + 1);
    auto* photo = dynamic_cast<CDrawPhoto*>(r.doc.GetObjects().back());
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->imageNumber, 3);
    EXPECT_TRUE(photo->HasPicture());
    EXPECT_EQ(photo->position.left, std::max(r.ir->position.left, r.ir->position.right));
    // Its scratch file is gone, and the add is one undo step.
    EXPECT_TRUE(QDir(r.env.scratch.path()).entryList(QDir::Files).isEmpty());
    r.doc.OnEditUndo();
    EXPECT_EQ(r.doc.GetObjects().size(), before);
}

// The photo goes beside the image as far as the page allows: an image at
// the page's right edge gets its photo below it, on the page and clear of
// the image (never pulled back over it); a photo larger than the page (a low
// zoom makes its pixels many page units) is shrunk to fit with its shape
// kept (the fixture's photo is small).
TEST(DrawIrCommands, TheVisiblePhotoStaysOnThePage)
{
    OpenedReport r("k4_full.vni");
    const DocRect page = r.doc.PageArea();
    ASSERT_FALSE(page.IsEmpty());
    r.ir->position = DocRect(page.right - 3000, -300, page.right, -2500);
    const auto photoOf = [&] {
        const std::size_t before = r.doc.GetObjects().size();
        EXPECT_EQ(r.ir->DoCommand(32866, QString(), 0), 1);
        EXPECT_EQ(r.doc.GetObjects().size(), before + 1);
        auto* photo = dynamic_cast<CDrawPhoto*>(r.doc.GetObjects().back());
        EXPECT_NE(photo, nullptr);
        return photo;
    };
    const auto inside = [&](const DocRect& rect) {
        const DocRect n = rect.Normalized();
        return n.left >= page.left && n.right <= page.right && n.top >= page.top && n.bottom <= page.bottom;
    };
    CDrawPhoto* photo = photoOf();
    ASSERT_TRUE(photo != nullptr && photo->HasPicture());
    DocRect n = photo->position.Normalized();
    EXPECT_TRUE(inside(n));
    const DocRect image = r.ir->position.Normalized();
    EXPECT_FALSE(n.left < image.right && image.left < n.right && n.top < image.bottom && image.top < n.bottom)
        << "the image stays in view";
    EXPECT_EQ(n.bottom, -2500) << "just below the image";
    EXPECT_EQ(n.left, std::min<std::int64_t>(image.left, std::int64_t(page.right) - n.Width())) << "under its left edge as far as the page allows";
    EXPECT_NEAR(double(n.Width()) / double(n.Height()),
                double(photo->pictureWidth) / double(photo->pictureHeight), 0.01);

    r.view.m_fZoom = 0.005f;
    photo = photoOf();
    ASSERT_TRUE(photo != nullptr && photo->HasPicture());
    n = photo->position.Normalized();
    EXPECT_TRUE(inside(n));
    EXPECT_TRUE(n.Width() == page.Width() || n.Height() == page.Height())
        << "as large as the page allows: " << n.Width() << " x " << n.Height() << " in " << page.Width() << " x "
        << page.Height();
    EXPECT_NEAR(double(n.Width()) / double(n.Height()),
                double(photo->pictureWidth) / double(photo->pictureHeight), 0.01);
}

TEST(DrawIrCommands, DeleteAnalysesRemovesEveryAnalysisAndBandInOneStep)
{
    OpenedReport r;
    r.ir->m_analyses.Add(Shape(kAnalysisPoint, {10, 10, 10, 10}));
    r.ir->m_analyses.Add(Shape(kAnalysisRect, {20, 20, 60, 60}));
    for (int i = 1; i < CDrawIR::kIsotherms; ++i) {
        r.ir->m_isotherms[std::size_t(i)].enabled = 1;
        r.ir->m_isotherms[std::size_t(i)].centre = 20.0f + float(i);
        r.ir->m_isotherms[std::size_t(i)].width = 1.0f;
    }
    const int steps = r.doc.GetUndoCount();
    EXPECT_EQ(r.ir->DoCommand(32863, QString(), 0), 1);
    EXPECT_EQ(r.ir->m_analyses.GetSize(), 0u);
    for (const IRIsotherm& iso : r.ir->m_isotherms)
        EXPECT_EQ(iso.enabled, 0u);
    EXPECT_EQ(r.doc.GetUndoCount(), steps + 1);
    r.doc.OnEditUndo();
    CDrawIR* undone = r.Image();
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->m_analyses.GetSize(), 2u);
    EXPECT_EQ(undone->m_isotherms[9].enabled, 1u);
}

TEST(DrawIrCommands, DeleteAnalysesTakesTheBandsOutOneByOneSoTheirColoursMoveRound)
{
    // Band i has colour i; the bands on are taken out from the first, each
    // leaving its colour in the last place.
    struct Case {
        std::vector<int> on;
        std::array<COLORREF, CDrawIR::kIsotherms> colours;
    };
    const Case cases[] = {
        {{}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {{0, 1, 2}, {3, 4, 5, 6, 7, 8, 9, 0, 1, 2}},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {{0, 2}, {1, 3, 4, 5, 6, 7, 8, 9, 0, 2}}, // a band off between two on
        {{4}, {0, 1, 2, 3, 5, 6, 7, 8, 9, 4}},
    };
    for (const Case& c : cases) {
        OpenedReport r;
        for (int i = 0; i < CDrawIR::kIsotherms; ++i)
            r.ir->m_isotherms[std::size_t(i)] = IRIsotherm{20.0f + float(i), 1.0f, 0, COLORREF(i)};
        for (int i : c.on)
            r.ir->m_isotherms[std::size_t(i)].enabled = 1;
        r.ir->DoCommand(32863, QString(), 0);
        std::array<COLORREF, CDrawIR::kIsotherms> colours{};
        for (std::size_t i = 0; i < colours.size(); ++i) {
            EXPECT_EQ(r.ir->m_isotherms[i].enabled, 0u);
            colours[i] = r.ir->m_isotherms[i].color;
        }
        EXPECT_EQ(colours, c.colours) << c.on.size() << " on";
    }
}

TEST(DrawIrCommands, ScaleTextColourKeyAndRerender)
{
    OpenedReport r;
    r.ir->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("7"), 0x0000FF);
    EXPECT_EQ(r.ir->m_clrScaleText, 0x0000FFu);
    r.ir->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("6"), 0x00FF00);
    EXPECT_EQ(r.ir->m_clrScaleText, 0x0000FFu);
    // A narrower range renders a different picture.
    const QByteArray before = r.ir->Dib();
    r.ir->m_fLimits[4] = r.ir->m_fLimits[5] + 0.5f;
    EXPECT_EQ(r.ir->DoCommand(32864, QString(), 0), 1);
    EXPECT_NE(r.ir->Dib(), before);
    EXPECT_FLOAT_EQ(r.ir->Image().SetRangeHigh(), r.ir->m_fLimits[4]);
}

// The open command's refusals say the cause, in the words the image browser
// uses for the same file (platform/open_refusal.h).
TEST(DrawIrCommands, ARefusedFileNamesItsCauseInTheBrowsersWords)
{
    OpenedReport r;
    QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("PIPE.VNI"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString text = folder.filePath(QStringLiteral("NOTES.VNI"));
    ASSERT_TRUE(WriteAll(text, QByteArray("not a camera file\n")));
    const QString line = CopyFixture(folder, "k4_line_oversize.vni", QStringLiteral("IR_0611_07.VNI"));
    const QString photo = CopyFixture(folder, "k4_photo_oversize.vni", QStringLiteral("IR_0611_08.VNI"));
    const struct {
        QString path;
        platform::OpenRefusal why;
    } cases[] = {{fifo, platform::OpenRefusal::NotRegularFile},
                 {text, platform::OpenRefusal::NotCameraFile},
                 {line, platform::OpenRefusal::Damaged},
                 {photo, platform::OpenRefusal::Damaged}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const qsizetype before = r.env.messageTexts.size();
        EXPECT_EQ(r.ir->OpenFiles({c.path}, false), -1);
        ASSERT_EQ(r.env.messageTexts.size(), before + 1);
        EXPECT_EQ(r.env.messageTexts.back(), platform::OpenRefusalText(c.why, c.path));
    }
}
