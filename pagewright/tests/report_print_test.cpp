// The report view's output: printing and print preview to PDF, screenshots
// of the view at its zoom steps, and the in-place editor's formatting
// changes through a fake editor.
#include "every_object_report.h"
#include "view_test_support.h"

#include "resource_ids.h"

#include "content/draw_profile.h"
#include "document/draw_tool.h"
#include "document/page_dc.h"
#include "document/page_render.h"
#include "irimage/draw_ir.h"

#include "platform/summary_info.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

namespace {

QByteArray PdfInfo(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

} // namespace

TEST(ReportPrint, PrintingGivesAPdfSheetPerPageAndLeavesTheReportOnItsPage)
{
    ViewFixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("three.rpt"));
    ASSERT_TRUE(WriteShapesReport(path, 3));
    CDI_RptView* view = f.Open(path);
    ASSERT_NE(view, nullptr);
    view->OnPageCommand(CDI_RptDoc::ID_NEXT_PAGE);
    view->Select(view->GetDocument()->GetObjects()[0]);

    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    CDI_RptView::SetPrintDialogHook([&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    f.Command(res::ID_FILE_PRINT);
    CDI_RptView::SetPrintDialogHook({});
    const QByteArray info = PdfInfo(pdf);
    EXPECT_TRUE(info.contains("Pages:           3")) << info.toStdString();
    EXPECT_TRUE(info.contains("595 x 842 pts")) << info.toStdString();
    EXPECT_EQ(view->GetDocument()->GetCurPage(), 1);
    EXPECT_TRUE(view->GetSelection().empty()); // printing clears the selection
    EXPECT_NE(view->GetDocument()->GetSummaryInfo().GetFileTime(platform::pid::LastPrinted), 0u);

    // Preview draws the same pages and records no print.
    const QString previewPath = dir.filePath(QStringLiteral("other.rpt"));
    ASSERT_TRUE(WriteShapesReport(previewPath, 3));
    CDI_RptView* other = f.Open(previewPath);
    ASSERT_NE(other, nullptr);
    other->OnPageCommand(CDI_RptDoc::ID_LAST_PAGE);
    const QString previewPdf = dir.filePath(QStringLiteral("preview.pdf"));
    int painted = 0;
    CDI_RptView::SetPreviewHook([&](const std::function<void(QPrinter*)>& paint) {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewPdf);
        paint(&printer);
        ++painted;
    });
    f.Command(res::ID_FILE_PRINT_PREVIEW);
    CDI_RptView::SetPreviewHook({});
    EXPECT_EQ(painted, 1);
    EXPECT_TRUE(PdfInfo(previewPdf).contains("Pages:           3"));
    EXPECT_EQ(other->GetDocument()->GetCurPage(), 2);
    EXPECT_EQ(other->GetDocument()->GetSummaryInfo().GetFileTime(platform::pid::LastPrinted), 0u);
}

namespace {

constexpr COLORREF kCurve = RGB(255, 0, 0);
constexpr COLORREF kDashOnly = RGB(0, 0, 255); // a shown slot without a line: its legend dash alone
constexpr COLORREF kCursor = RGB(255, 0, 255);

// A line profile (grid on) of an image's line on page 1; the image on page
// 2, so that its colours stay out of the chart's page.
CDrawProfile* AddProfileOfAnImage(CDI_RptView* view)
{
    CDI_RptDoc* doc = view->GetDocument();
    doc->InsertPage(0, QStringLiteral("image"));
    EXPECT_EQ(doc->GetCurPage(), 1);
    auto image = std::make_unique<CDrawIR>(view, DocRect(600, -600, 4600, -3600));
    image->SetNumber(1);
    auto* ir = static_cast<CDrawIR*>(doc->AddNoUndo(std::move(image)));
    view->InsertIRObject(ir);
    EXPECT_TRUE(ir->LoadIRFile(QStringLiteral(PAGEWRIGHT_IR_FIXTURES "/k4_320.vni")));
    ir->m_analyses.RemoveAll();
    IRAnalysisItem line;
    line.kind = 2;
    line.number = 1;
    line.SetName(QStringLiteral("L1"));
    line.shape = {20, 120, 300, 200};
    line.emissivity = 0.95f;
    line.distance = 1.0f;
    line.background = 20.0f;
    ir->m_analyses.Add(line);
    ir->RecomputeAll();
    doc->SetCurPage(0);
    auto* profile = static_cast<CDrawProfile*>(
        doc->AddNoUndo(std::make_unique<CDrawProfile>(view, DocRect(600, -3900, 7800, -6900))));
    profile->m_clrLine[0] = kCurve;
    profile->m_lines[1].shown = 1;
    profile->m_clrLine[1] = kDashOnly;
    profile->m_clrDivider = kCursor;
    return profile;
}

// The pixels of a picture within 48 of a colour in every channel.
int CountNear(const QImage& image, COLORREF c, const QRect& area)
{
    const QColor want = PageDC::ToQColor(c);
    const QRect r = area.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor got = image.pixelColor(x, y);
            n += std::abs(got.red() - want.red()) < 48 && std::abs(got.green() - want.green()) < 48 &&
                         std::abs(got.blue() - want.blue()) < 48
                     ? 1
                     : 0;
        }
    }
    return n;
}

std::vector<QImage> PdfPages(const QString& pdf, const QString& prefix, int dpi);

} // namespace

// The print preview shows the printer's pages scaled down many times: the
// line profile's curve, its cursor and its legend's dash still come out as
// lines of their full colour, not as faint traces, and the dash is there.
TEST(ReportPrint, PreviewShowsTheChartsThinLinesInFullColour)
{
    ViewFixture f;
    CDI_RptView* view = f.View();
    ASSERT_NE(AddProfileOfAnImage(view), nullptr);

    QImage shown;
    CDI_RptView::SetPreviewHook([&](const std::function<void(QPrinter*)>& paint) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat); // no print system needed
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, paint);
        preview.resize(900, 1200);
        preview.setViewMode(QPrintPreviewWidget::SinglePageView);
        preview.fitInView();
        preview.show();
        preview.updatePreview();
        QApplication::processEvents();
        shown = preview.grab().toImage();
    });
    f.Command(res::ID_FILE_PRINT_PREVIEW);
    CDI_RptView::SetPreviewHook({});
    ASSERT_FALSE(shown.isNull());
    shown.save(QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/preview-profile.png"));

    const auto count = [&shown](COLORREF c) { return CountNear(shown, c, shown.rect()); };
    // The chart is some 7 inches wide and 3 high, the page shown at about 90
    // pixels an inch, a thirteenth of the printer's: the curve spans well
    // over 100 pixels, the cursor some 20 and the 0.12-inch dash some 10.
    EXPECT_GT(count(kCurve), 100);
    EXPECT_GT(count(kCursor), 15);
    EXPECT_GE(count(kDashOnly), 5);
}

// Printed to PDF and rendered at 96 dpi, a page is the page the screen
// shows at 100 %: objects in the same places (the page's top edge at the
// sheet's top), the line profile's curve and cursor in their full colour
// and as wide as on screen (not printer-pixel hairlines), and the chart's
// grid dotted as on screen (not a grey line of printer-pixel dots).
TEST(ReportPrint, APrintedPageMatchesTheScreenAtOneHundredPercent)
{
    ViewFixture f;
    CDI_RptView* view = f.View();
    CDrawProfile* profile = AddProfileOfAnImage(view);
    ASSERT_NE(profile, nullptr);
    CDI_RptDoc* doc = view->GetDocument();
    const QImage screen = RenderPageImage(*doc, 0, 1.0).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(screen.isNull());

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        ASSERT_TRUE(PrintPages(*doc, printer, false, view, 0, 0));
    }
    const std::vector<QImage> pages = PdfPages(pdf, dir.filePath(QStringLiteral("page")), 96);
    ASSERT_EQ(pages.size(), 1u);
    const QImage& printed = pages[0];
    const QString out = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/print-vs-screen");
    QDir().mkpath(out);
    screen.save(out + QStringLiteral("/screen-100.png"));
    printed.save(out + QStringLiteral("/printed-96dpi.png"));
    ASSERT_EQ(printed.size(), screen.size());

    // The chart's place: the first and last rows and columns that are not
    // white.
    const auto ink = [](const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 200)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect onScreen = ink(screen);
    const QRect onPaper = ink(printed);
    ASSERT_TRUE(onScreen.isValid());
    EXPECT_LE(std::abs(onPaper.top() - onScreen.top()), 1) << onPaper.top() << " " << onScreen.top();
    EXPECT_LE(std::abs(onPaper.bottom() - onScreen.bottom()), 1) << onPaper.bottom() << " " << onScreen.bottom();
    EXPECT_LE(std::abs(onPaper.left() - onScreen.left()), 1) << onPaper.left() << " " << onScreen.left();

    // The curve and the cursor as strong on paper as on screen.
    for (COLORREF c : {kCurve, kCursor}) {
        const int shown = CountNear(screen, c, screen.rect());
        ASSERT_GT(shown, 20);
        EXPECT_GT(CountNear(printed, c, printed.rect()), shown * 3 / 4) << std::hex << c;
    }

    // A grid line: the screen's row with the most grid-grey pixels, dots
    // and gaps along it; on paper the same row (or one beside it) has dots
    // and gaps too, about as many.
    constexpr COLORREF kGrid = 0x606060;
    int gridRow = -1;
    int most = 0;
    for (int y = onScreen.top(); y <= onScreen.bottom(); ++y) {
        const int n = CountNear(screen, kGrid, QRect(onScreen.left(), y, onScreen.width(), 1));
        if (n > most) {
            most = n;
            gridRow = y;
        }
    }
    ASSERT_GT(most, 50);
    const auto dots = [](const QImage& image, int y, int from, int to) {
        int changes = 0;
        bool dark = false;
        for (int x = from; x < to; ++x) {
            const bool d = qGray(image.pixel(x, y)) < 160;
            changes += d != dark ? 1 : 0;
            dark = d;
        }
        return changes / 2;
    };
    const int from = onScreen.left() + onScreen.width() / 4;
    const int to = onScreen.right() - onScreen.width() / 4;
    const int screenDots = dots(screen, gridRow, from, to);
    ASSERT_GT(screenDots, 20);
    int paperDots = 0;
    for (int y = gridRow - 1; y <= gridRow + 1; ++y)
        paperDots = std::max(paperDots, dots(printed, y, from, to));
    EXPECT_GT(paperDots, screenDots * 3 / 4) << "row " << gridRow;
}

// Screenshots of the two-page shapes report at 50, 100 and 200 %, with and
// without guides, in a window narrower and wider than the page, kept in the
// build tree; the guides are where they belong.
TEST(ReportPrint, ScreenshotsAtTheZoomStepsWithAndWithoutGuides)
{
    ViewFixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shapes.rpt"));
    ASSERT_TRUE(WriteShapesReport(path, 2));
    CDI_RptView* view = f.Open(path);
    ASSERT_NE(view, nullptr);
    const QString folder = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/view-shots");
    QDir().mkpath(folder);
    struct Zoom {
        int id;
        const char* name;
    };
    for (int frameWidth : {600, 1500}) {
        f.Frame()->resize(frameWidth, 900);
        QApplication::processEvents();
        for (const Zoom& z : {Zoom{32935, "50"}, Zoom{32933, "100"}, Zoom{32931, "200"}}) {
            f.Command(z.id);
            for (bool grid : {true, false}) {
                if (view->m_bGrid != grid)
                    f.Command(res::ID_GRID);
                const QImage shot = view->grab().toImage();
                const QString name = QStringLiteral("%1/zoom%2-%3-%4.png")
                                         .arg(folder, QString::fromLatin1(z.name),
                                              grid ? QStringLiteral("grid") : QStringLiteral("plain"),
                                              frameWidth < 1000 ? QStringLiteral("narrow") : QStringLiteral("wide"));
                EXPECT_TRUE(shot.save(name));
                if (z.id != 32933)
                    continue;
                // The first guide: 700 units below the page top, from 700
                // units in from the left edge.
                const QPoint guide = view->DocToClient(QPoint(view->m_xOffset + 1500, -105 - 700));
                bool found = false;
                for (int dy = -1; dy <= 1; ++dy)
                    found = found || shot.pixelColor(guide + QPoint(0, dy)) == QColor(0xC4, 0xC4, 0xC4);
                EXPECT_EQ(found, grid) << frameWidth;
            }
        }
    }
}

namespace {

// A text object as the view sees it: the class name is what counts.
class FakeText : public CDrawRect {
public:
    static const DrawClass kClass;
    using CDrawRect::CDrawRect;
    const DrawClass& GetRuntimeClass() const override { return kClass; }
    int DoCommand(unsigned id, const QString& text, int value) override
    {
        commands.push_back({id, text, value});
        return CDrawRect::DoCommand(id, text, value);
    }
    struct Command {
        unsigned id;
        QString text;
        int value;
    };
    std::vector<Command> commands;
};
const DrawClass FakeText::kClass{{"CDrawText", 0, &platform::createArchiveObject<FakeText>}, &CDrawRect::kClass,
                                 &CreateDrawObjForUndo<FakeText>};

// Records what the view asks of the editor; streams out "<text>+<code>".
class FakeEditor : public InPlaceTextEditor {
public:
    bool IsVisible() const override { return visible; }
    void Hide() override { visible = false; }
    void StreamIn(const CRtfMemFile& text) override { current = text.Data().toByteArray(); }
    void StreamOut(CRtfMemFile& text) override { text.Write(current); }
    void SetSel(int start, int end) override { selectedAll = start == 0 && end == -1; }
    void ApplyFormat(int code, std::intptr_t value) override
    {
        if (selectedAll)
            current += "+" + QByteArray::number(code) + ":" + QByteArray::number(qint64(value));
    }
    bool visible = false;
    bool selectedAll = false;
    QByteArray current;
};

} // namespace

TEST(ReportPrint, FormattingChangesOfTheEditorReachTheSelectedTexts)
{
    ViewFixture f;
    f.box.WriteProgramFile(QStringLiteral("wenben.dat"), "DEFAULT");
    CDI_RptView* view = f.View();
    FakeEditor editor;
    view->SetTextEditor(&editor);
    CDI_RptDoc* doc = view->GetDocument();
    auto* full = static_cast<FakeText*>(doc->AddNoUndo(std::make_unique<FakeText>(view, DocRect(0, 0, 100, -100))));
    full->GetTextStore()->Write(QByteArrayView("TEXT"));
    auto* empty = static_cast<FakeText*>(doc->AddNoUndo(std::make_unique<FakeText>(view, DocRect(0, 0, 100, -100))));
    CDrawRect* rect = f.AddRect({200, -200, 300, -300});

    // Several selected: every text is formatted through the editor, the
    // rest is skipped; one step.
    for (CDrawObj* o : {static_cast<CDrawObj*>(full), static_cast<CDrawObj*>(empty), static_cast<CDrawObj*>(rect)})
        view->Select(o, true);
    view->OnTextFormatChange(1, 0);
    EXPECT_EQ(full->GetTextStore()->Data(), QByteArrayView("TEXT+1:0"));
    EXPECT_EQ(empty->GetTextStore()->Data(), QByteArrayView("DEFAULT+1:0"));
    EXPECT_EQ(rect->GetTextStore()->GetLength(), 0u);
    EXPECT_EQ(doc->GetUndoCount(), 1);
    view->OnTextFormatChange(8, 0); // no such change
    EXPECT_EQ(full->GetTextStore()->Data(), QByteArrayView("TEXT+1:0"));

    // One text: only while the editor shows, as a command of the object.
    view->Select(full, false);
    view->OnTextFormatChange(3, 7);
    EXPECT_TRUE(full->commands.empty());
    editor.visible = true;
    view->OnTextFormatChange(3, 7);
    ASSERT_EQ(full->commands.size(), 1u);
    EXPECT_EQ(full->commands[0].text, QStringLiteral("3"));
    EXPECT_EQ(full->commands[0].value, 0);
    EXPECT_EQ(full->formatValue, 7);

    // Another object: a step of its own with the value.
    const int steps = doc->GetUndoCount();
    view->Select(rect, false);
    view->OnTextFormatChange(7, 0x0000FF);
    EXPECT_EQ(rect->formatValue, 0x0000FF);
    EXPECT_EQ(doc->GetUndoCount(), steps + 1);
    view->SetTextEditor(nullptr);
}

namespace {

// The pages of a PDF as pictures at dpi; empty when pdftoppm failed.
std::vector<QImage> PdfPages(const QString& pdf, const QString& prefix, int dpi)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf, prefix});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    std::vector<QImage> pages;
    const QFileInfo base(prefix);
    const QStringList files =
        QDir(base.absolutePath()).entryList({base.fileName() + QStringLiteral("-*.png")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        pages.push_back(QImage(base.absolutePath() + QLatin1Char('/') + f).convertToFormat(QImage::Format_RGB32));
    return pages;
}

// Share of pixels whose colour differs by more than 48 in a channel.
double DifferentShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    qint64 different = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (std::abs(qRed(pa[x]) - qRed(pb[x])) > 48 || std::abs(qGreen(pa[x]) - qGreen(pb[x])) > 48 ||
                std::abs(qBlue(pa[x]) - qBlue(pb[x])) > 48)
                ++different;
        }
    }
    return double(different) / (double(a.width()) * a.height());
}

// Share of the pixels whose colour differs by more than 48 in a channel,
// over the part of two page pictures inside an object's rectangle: page
// units, 1008 an inch, dpi pixels an inch, the page's y = topUnits at the
// picture's top row and y growing upwards.
double DifferentShareIn(const QImage& a, const QImage& b, const DocRect& area, double dpi, int topUnits)
{
    const DocRect n = area.Normalized();
    const auto pixels = [dpi](int units) { return int(std::lround(double(units) * dpi / 1008.0)); };
    const QRect box = QRect(QPoint(pixels(n.left), pixels(topUnits - n.bottom)),
                            QPoint(pixels(n.right), pixels(topUnits - n.top)))
                          .normalized()
                          .intersected(a.rect());
    if (box.isEmpty())
        return 0.0;
    return DifferentShare(a.copy(box), b.copy(box));
}

// The program's pictures of the pages against rptdump's: under 0.1 % of a
// page's pixels, and under 0.1 % of those inside each object's rectangle,
// may differ. Per object, so that a small fault shows: the line profile's
// curve alone is some 0.2 % of its chart, an image in grey, an empty table
// or chart far more. Both sets are kept in the build tree under name.
void ExpectSamePages(CDI_RptDoc& doc, const std::vector<QImage>& program, const std::vector<QImage>& tool,
                     double dpi, int topUnits, const QString& name)
{
    ASSERT_EQ(int(program.size()), doc.GetPageCount());
    ASSERT_EQ(tool.size(), program.size());
    const QString out = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/rptdump-vs-program");
    QDir().mkpath(out);
    for (std::size_t i = 0; i < program.size(); ++i) {
        program[i].save(QStringLiteral("%1/%2-program-%3.png").arg(out, name).arg(i + 1));
        tool[i].save(QStringLiteral("%1/%2-rptdump-%3.png").arg(out, name).arg(i + 1));
        EXPECT_LT(DifferentShare(program[i], tool[i]), 0.001) << "page " << i + 1;
    }
    for (CDrawObj* obj : doc.GetObjects()) {
        const std::size_t page = obj->page;
        ASSERT_LT(page, program.size());
        EXPECT_LT(DifferentShareIn(program[page], tool[page], obj->position, dpi, topUnits), 0.001)
            << obj->GetRuntimeClass().Name() << " on page " << page + 1;
    }
}

// rptdump with args in the fixture's program folder and settings; true when
// it ends with status 0 and, as for a fine report, says nothing.
bool RunRptdump(ViewFixture& f, const QTemporaryDir& dir, const QStringList& args)
{
    QProcess dump;
    dump.setProcessEnvironment(ToolEnvironment(f, dir.path()));
    dump.start(QStringLiteral(PAGEWRIGHT_RPTDUMP), args);
    if (!dump.waitForFinished(120000)) {
        ADD_FAILURE() << "rptdump did not finish";
        return false;
    }
    const QByteArray said = dump.readAllStandardError();
    EXPECT_EQ(dump.exitCode(), 0) << said.toStdString();
    EXPECT_EQ(said, QByteArray());
    return dump.exitCode() == 0 && said.isEmpty();
}

// The every-class report, saved and opened again in a view of its own.
struct OpenedEveryObjectReport {
    ViewFixture f;
    QTemporaryDir dir;
    EveryObjectReport report{f, dir};
    CDI_RptView* view = f.Open(report.path);
};

} // namespace

// The report with an object of every class the program prints (three pages:
// infrared image with analyses, result table, table, fields; line profile,
// histogram, time profile, text, 3D map; photo, logo, shapes and polygon),
// opened from its file as a user opens it and printed, against rptdump
// --pdf of the same file. Both draw at the printer's resolution, so the
// pages at 100 dpi are alike (ExpectSamePages).
TEST(ReportPrint, RptdumpPdfEqualsTheProgramsPrintPageForPage)
{
    OpenedEveryObjectReport opened;
    ViewFixture& f = opened.f;
    const QTemporaryDir& dir = opened.dir;
    const EveryObjectReport& report = opened.report;
    CDI_RptView* view = opened.view;
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->GetDocument()->GetPageCount(), report.pages);

    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    CDI_RptView::SetPrintDialogHook([&printed](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    });
    f.Command(res::ID_FILE_PRINT);
    CDI_RptView::SetPrintDialogHook({});

    const QString dumped = dir.filePath(QStringLiteral("dumped.pdf"));
    ASSERT_TRUE(RunRptdump(f, dir, {report.path, QStringLiteral("--pdf"), dumped}));

    constexpr int kDpi = 100;
    const std::vector<QImage> program = PdfPages(printed, dir.filePath(QStringLiteral("program")), kDpi);
    const std::vector<QImage> tool = PdfPages(dumped, dir.filePath(QStringLiteral("tool")), kDpi);
    ExpectSamePages(*view->GetDocument(), program, tool, kDpi, -105, QStringLiteral("pdf"));
    const QString kept = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR "/rptdump-vs-program/every.rpt");
    QFile::remove(kept);
    QFile::copy(report.path, kept); // to be looked at with the tool
}

// The same report's pages from rptdump --png against the pages as the
// program draws them in its view (at zoom 1, without selection or guides).
TEST(ReportPrint, RptdumpPngEqualsThePagesAsTheProgramDrawsThem)
{
    OpenedEveryObjectReport opened;
    ASSERT_NE(opened.view, nullptr);
    CDI_RptDoc* doc = opened.view->GetDocument();
    std::vector<QImage> program;
    std::vector<QImage> tool;
    for (int page = 1; page <= doc->GetPageCount(); ++page) {
        const QString out = opened.dir.filePath(QStringLiteral("page%1.png").arg(page));
        ASSERT_TRUE(
            RunRptdump(opened.f, opened.dir, {opened.report.path, QStringLiteral("--png"), QString::number(page), out}));
        tool.push_back(QImage(out).convertToFormat(QImage::Format_RGB32));
        program.push_back(RenderPageImage(*doc, page - 1, 1.0).convertToFormat(QImage::Format_RGB32));
    }
    // 96 pixels an inch at zoom 1; the picture's top row is the page's top.
    ExpectSamePages(*doc, program, tool, 96.0, -105, QStringLiteral("png"));
}
