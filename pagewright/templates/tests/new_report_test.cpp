// New-report mode: the report the new-report wizard asks for, built on the
// empty template, checked object by object against the layout rules
// computed here from the page size.
#include "conversion_fixture.h"

#include "batch_fixtures.h"

#include "content/draw_field.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_result_table.h"
#include "content/draw_table.h"
#include "content/text_format_ops.h"
#include "document/page_render.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include <QDate>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

using namespace convtest;

namespace {

// One expected object: its class and device rectangle (left, top, right,
// bottom).
struct Placed {
    std::string cls;
    DocRect device;
    QString text; // for texts: the plain text, when it has one
};

// The layout rules of a new report, for a page of W x H device units.
class ExpectedReport {
public:
    ExpectedReport(int w, int h) : W(w), H(h), u(h / 110), M(w / 2) {}

    void Cover(const WizardState& s)
    {
        Text(130, 150, W - 130, 150 + 5 * u, s.strWizardReportTitle);
        Text(230, 150 + 12 * u, W - 230, 150 + 16 * u, s.strWizardCompany);
        Text(230, 150 + 22 * u, W - 230, 150 + 25 * u, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        Text(100, 150 + 45 * u, W - 100, 150 + 75 * u, s.strWizardDescription);
        Logo();
    }

    // A page with (or without) an image and a picture, and the optional
    // objects that the switches ask for.
    void Page(const QString& title, bool image, bool picture, bool R = false, bool F = false, bool G = false)
    {
        Logo();
        Text(130, 60, W - 130, 60 + 5 * u, title);
        objects.push_back({"CDrawTable", DocRect(80, 60 + 6 * u, W - 80, 60 + 12 * u), {}});
        int B = 60 + 12 * u;
        const int y0 = 60 + 16 * u;
        if (image) {
            Caption(80, y0, QStringLiteral("红外图像"));
            objects.push_back({"CDrawIR", DocRect(80, y0, M, y0 + 20 * u), {}});
            B = y0 + 20 * u;
        }
        if (picture) {
            Caption(M + 6 * u, y0, QStringLiteral("可见光"));
            objects.push_back({"CDrawPhoto", DocRect(M + 6 * u, y0, W - 160, y0 + 20 * u), {}});
        }
        const bool P = picture;
        const int y1 = y0 + 24 * u;
        const int b = y0 + 44 * u;
        const auto place = [&](const char* cls, const char* caption, DocRect d) {
            Caption(d.left, d.top, QString::fromUtf8(caption));
            objects.push_back({cls, d, {}});
            B = d.bottom;
        };
        if (R)
            place("CDrawResultTable", "属性表", P ? DocRect(80, y1, M - 80, b) : DocRect(M + 6 * u, y0, W - 80, y0 + 20 * u));
        if (F)
            place("CDrawProfile", "线测温图", P && R ? DocRect(M + 3 * u, y1, W - 80, b) : DocRect(80, y1, M, b));
        if (G) {
            DocRect d(80, y1, M, b);
            if (P && R && F)
                d = DocRect(80, y1 + 24 * u, W - 80, b + 24 * u);
            else if ((P && R && !F) || (F && !(P && R)))
                d = DocRect(M + 3 * u, y1, W - 80, b);
            place("CDrawHistogram", "直方图", d);
        }
        Closing(B);
    }

    void Closing(int B)
    {
        if (H - B < 230) {
            Text(80, B + u, 250, B + 4 * u, QStringLiteral("诊断分析 处理意见"));
            Text(80, B + 4 * u, W - 80, B + 9 * u, {});
            Text(M + 10 * u, B + 10 * u, W - 80, B + 13 * u, QStringLiteral("检测人员："));
            return;
        }
        const int g = (H - B - 12 * u - 80) / 2;
        Text(80, B + u, 250, B + 4 * u, QStringLiteral("诊断分析"));
        Text(80, B + 4 * u, W - 80, B + g + 4 * u, {});
        Text(80, B + g + 5 * u, 250, B + g + 8 * u, QStringLiteral("处理意见"));
        Text(80, B + g + 8 * u, W - 80, B + 2 * g + 8 * u, {});
        Text(M + 10 * u, B + 2 * g + 9 * u, W - 80, B + 2 * g + 12 * u, QStringLiteral("检测人员："));
    }

    std::vector<Placed> objects;
    const int W, H, u, M;

private:
    void Text(int l, int t, int r, int b, const QString& text) { objects.push_back({"CDrawText", DocRect(l, t, r, b), text}); }
    void Caption(int x, int y, const QString& text) { Text(x, y - 3 * u, x + 200, y, text); }
    void Logo() { objects.push_back({"CDrawLogo", DocRect(20, 20, W / 10 + 50, W / 10), {}}); }
};

struct Built {
    CDI_RptView* view = nullptr;
    CDI_RptDoc* doc = nullptr;
};

// Wizard answers for n images of the given files and pictures.
void SetWizard(Conversion& conv, const QStringList& files, const QStringList& pictures)
{
    WizardState& s = TheWizardState();
    s.Reset();
    s.strWizardReportName = QStringLiteral("Plant survey");
    s.strWizardReportTitle = QStringLiteral("变电站红外检测报告");
    s.strWizardCompany = QStringLiteral("Kestrel Works");
    s.strWizardDescription = QStringLiteral("Yearly survey");
    s.nWizardImageCount = int(files.size());
    for (int i = 0; i < files.size(); ++i) {
        WizardState::Set(s.astrWizardIRPaths, i, files[i]);
        WizardState::Set(s.astrWizardPhotoPaths, i, pictures.value(i));
        s.SetUsePhoto(i, !pictures.value(i).isEmpty());
        WizardState::Set(s.astrWizardPageTitles, i, QStringLiteral("回路 %1").arg(i + 1));
        WizardState::Set(s.astrWizardSections, i, QStringLiteral("主变"));
        WizardState::Set(s.astrWizardDeviceNames, i, QStringLiteral("VN410"));
    }
    ASSERT_TRUE(WriteWizardFile(WizardFilePath(conv.box.ProgramFolder()), s, kNewReportWizard, LayoutFile()));
}

Built Build(Conversion& conv, const QString& templatePath)
{
    conv.app->ConvertReportTemplate(templatePath, TheWizardState().strWizardReportName, 2);
    Built b;
    b.view = conv.ActiveView();
    b.doc = b.view != nullptr ? b.view->GetDocument() : nullptr;
    return b;
}

// Compares the document's objects with the expected ones in list order.
void ExpectObjects(const CDI_RptDoc& doc, const ExpectedReport& expected)
{
    const DrawView map;
    ASSERT_EQ(doc.GetObjects().size(), expected.objects.size());
    for (std::size_t i = 0; i < expected.objects.size(); ++i) {
        CDrawObj* o = doc.GetObjects()[i];
        const Placed& e = expected.objects[i];
        EXPECT_EQ(std::string(o->GetRuntimeClass().Name()), e.cls) << i;
        const DocRect device = map.DocToClient(o->position);
        if (e.cls == "CDrawIR") {
            // The width follows from the height, in page units.
            const DocRect d = map.ClientToDoc(e.device).Normalized();
            const DocRect p = o->position.Normalized();
            EXPECT_EQ(p.left, d.left) << i;
            EXPECT_EQ(p.top, d.top) << i;
            EXPECT_EQ(p.bottom, d.bottom) << i;
            EXPECT_EQ(p.right, int(double(d.left) + double(d.bottom - d.top) * 1.33333 + 1000.0)) << i;
            continue;
        }
        if (e.cls == "CDrawTable") {
            // A table keeps its width; one lower than its rows' least
            // height (two rows of 200 units) is laid out taller.
            EXPECT_EQ(device.left, e.device.left) << i;
            EXPECT_EQ(device.right, e.device.right) << i;
            if (e.device.Normalized().Height() * 1008 / 96 >= 400) {
                EXPECT_EQ(device.top, e.device.top) << i;
                EXPECT_EQ(device.bottom, e.device.bottom) << i;
            }
            continue;
        }
        if (e.cls == "CDrawPhoto") {
            // A photo keeps its upper left corner and takes its picture's
            // proportions from its place's width or height.
            EXPECT_EQ(device.TopLeft(), e.device.TopLeft()) << i;
            EXPECT_TRUE(device.right == e.device.right || device.bottom == e.device.bottom) << i;
            continue;
        }
        EXPECT_EQ(device, e.device.Normalized()) << i << " " << e.cls << " " << e.text.toStdString();
        if (auto* text = dynamic_cast<CDrawText*>(o)) {
            QString plain;
            int align = 0;
            text->GetPlainText(nullptr, plain, align);
            EXPECT_EQ(plain, e.text) << i;
        }
    }
}

TEST(NewReport, TwoImagesGiveTheCoverAndTwoPagesLaidOutByTheRules)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const batchtest::Inputs& in = batchtest::SharedInputs();
    // Image 1 carries its own photo; image 2 has none and no picture chosen.
    SetWizard(conv, {in.a, in.b}, {});
    const QString newTemp = conv.ProgramFile(QStringLiteral("template/NewTemp.rpt"));
    ASSERT_TRUE(QFile::exists(newTemp));
    const Built b = Build(conv, newTemp);
    ASSERT_NE(b.doc, nullptr);
    CDI_RptDoc& doc = *b.doc;

    const DrawView map;
    const QPoint page = map.DocToClient(QPoint(doc.GetPageSize().width(), doc.GetPageSize().height()));
    ExpectedReport expected(std::abs(page.x()), std::abs(page.y()));
    expected.Cover(TheWizardState());
    expected.Page(QStringLiteral("回路 1"), true, true);
    expected.Page(QStringLiteral("回路 2"), true, false);
    ExpectObjects(doc, expected);

    EXPECT_EQ(doc.GetPageTitles(), (QStringList{"Report1", "Page1", "Page2"}));
    EXPECT_EQ(doc.GetCurPage(), 0);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Plant survey"));
    EXPECT_TRUE(b.view->GetSelection().empty());

    // Objects land on their pages; images are numbered 1 and 2, scaled to
    // their height, each with one area measurement; the photo belongs to
    // image 1.
    std::vector<CDrawIR*> images;
    for (CDrawObj* o : doc.GetObjects()) {
        if (auto* image = dynamic_cast<CDrawIR*>(o))
            images.push_back(image);
        if (auto* photo = dynamic_cast<CDrawPhoto*>(o)) {
            EXPECT_EQ(photo->GetLinkedIRNumber(), 1);
            EXPECT_TRUE(photo->HasPicture());
            EXPECT_EQ(photo->page, 1u);
        }
    }
    ASSERT_EQ(images.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(images[std::size_t(i)]->GetIRNumber(), i + 1);
        EXPECT_EQ(images[std::size_t(i)]->page, std::uint32_t(i + 1));
        const DocRect r = images[std::size_t(i)]->position.Normalized();
        EXPECT_FLOAT_EQ(images[std::size_t(i)]->m_fScaleY, float(images[std::size_t(i)]->ImageHeight()) / float(r.Height()));
        EXPECT_EQ(images[std::size_t(i)]->m_analyses.GetSize(), 1u);
    }
    EXPECT_EQ(b.view->GetIRObjects().size(), 2u);

    // Sizes and colours of the cover's texts.
    auto* title = static_cast<CDrawText*>(doc.GetObjects()[0]);
    QTextDocument rich;
    rich_text::LoadStoreOrDefault(*title->GetTextStore(), doc.Environment(), rich);
    EXPECT_DOUBLE_EQ(rich.begin().begin().fragment().charFormat().fontPointSize(), 24.0);
    EXPECT_EQ(title->brushOn, 0);
    EXPECT_EQ(title->penOn, 0);
    const auto* company = static_cast<CDrawText*>(doc.GetObjects()[1]);
    EXPECT_EQ(company->brushOn, 0);
    EXPECT_EQ(company->penOn, 1);
    EXPECT_EQ(company->GetLogPen().color, 0xFFFFFFu);
    // The logo is the program's logo.jpg.
    EXPECT_FALSE(doc.GetLogo().IsEmpty());

    // The pages as the view paints them, to look at.
    QDir().mkpath(QStringLiteral(TEMPLATES_TEST_SHOTS));
    for (int p = 0; p < doc.GetPageCount(); ++p) {
        const QImage shot = RenderPageImage(doc, p, 1.0);
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(QStringLiteral(TEMPLATES_TEST_SHOTS "/new_report_page%1.png").arg(p + 1)));
    }
}

TEST(NewReport, OptionalObjectsTakeTheirPlacesForEachSwitchAndPicture)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const batchtest::Inputs& in = batchtest::SharedInputs();
    const QString newTemp = conv.ProgramFile(QStringLiteral("template/NewTemp.rpt"));
    // Page 1: an image with its own photo; page 2: an image without one.
    SetWizard(conv, {in.a, in.b}, {});
    for (int mask = 0; mask < 8; ++mask) {
        const bool R = mask & 1, F = mask & 2, G = mask & 4;
        WizardState& s = TheWizardState();
        s.bWizardAttributeTable = R;
        s.bWizardLineProfile = F;
        s.bWizardHistogram = G;
        const Built b = Build(conv, newTemp);
        ASSERT_NE(b.doc, nullptr);
        const DrawView map;
        const QPoint page = map.DocToClient(QPoint(b.doc->GetPageSize().width(), b.doc->GetPageSize().height()));
        ExpectedReport expected(std::abs(page.x()), std::abs(page.y()));
        expected.Cover(s);
        expected.Page(QStringLiteral("回路 1"), true, true, R, F, G);
        expected.Page(QStringLiteral("回路 2"), true, false, R, F, G);
        SCOPED_TRACE(mask);
        ExpectObjects(*b.doc, expected);
        // Every chart and result table shows its page's image; the
        // histogram the area measurement added over it.
        for (CDrawObj* o : b.doc->GetObjects()) {
            const int image = int(o->page);
            if (auto* r = dynamic_cast<CDrawResultTable*>(o)) {
                EXPECT_EQ(r->GetIRNumber(), image);
                EXPECT_EQ(r->FieldIds(), (std::vector<std::uint32_t>{33400, 33401, 33402, 33700}));
                EXPECT_EQ(r->RowCount(), 6);
                EXPECT_EQ(r->RowHeight(), 238.0f);
            }
            if (auto* p = dynamic_cast<CDrawProfile*>(o)) {
                EXPECT_EQ(p->GetLinkedIRNumber(), image);
            }
            if (auto* h = dynamic_cast<CDrawHistogram*>(o)) {
                EXPECT_EQ(h->GetLinkedIRNumber(), image);
                EXPECT_EQ(h->m_bLineMode, 0);
            }
        }
        conv.app->GetMainFrame()->GetMdiClient()->closeAllSubWindows();
    }
}

TEST(NewReport, TheInformationTableShowsThePagesOwnImage)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const batchtest::Inputs& in = batchtest::SharedInputs();
    // A file whose name has two-byte characters, on page 2; page 1 has no
    // image.
    const QString named = conv.Path(QStringLiteral("检测0001.VNI"));
    ASSERT_TRUE(QFile::copy(in.a, named));
    SetWizard(conv, {QString(), named}, {});
    const Built b = Build(conv, conv.ProgramFile(QStringLiteral("template/NewTemp.rpt")));
    ASSERT_NE(b.doc, nullptr);
    std::vector<CDrawTable*> tables;
    for (CDrawObj* o : b.doc->GetObjects()) {
        if (auto* t = dynamic_cast<CDrawTable*>(o))
            tables.push_back(t);
    }
    ASSERT_EQ(tables.size(), 2u);
    const auto texts = [&](CDrawTable* t) {
        QStringList out;
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 4; ++c) {
                QString text;
                int align = -1;
                t->GetCellText(b.view, r, c, text, align);
                out << text;
                if (r == 0 || c < 2) {
                    EXPECT_EQ(align, 0) << r << c; // centred
                }
            }
        }
        return out;
    };
    EXPECT_EQ(texts(tables[0]), (QStringList{"检测地点", "摄像机型号", "创建日期", "创建时间", "主变", "VN410", "--", "--"}));
    // Page 1 has no image: its fields are bound to none and show "-"; page
    // 2's show image 1, the only one.
    auto* unbound = dynamic_cast<CDrawField*>(tables[0]->CellAt(6));
    auto* bound = dynamic_cast<CDrawField*>(tables[1]->CellAt(7));
    ASSERT_NE(unbound, nullptr);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(unbound->ImageNumber(), 0);
    EXPECT_EQ(bound->ImageNumber(), 1);
    EXPECT_EQ(bound->FieldId(), 33201);
    QString text;
    unbound->GetFieldText(text);
    EXPECT_EQ(text, QStringLiteral("-"));

    // The field builds its own display: a label with two-byte characters
    // (the file name) comes out of its rich text through another reader.
    bound->SetBinding(1, 1, 33202);
    ASSERT_FALSE(RenderPageImage(*b.doc, 2, 1.0).isNull());
    ASSERT_GT(bound->DisplayStore().GetLength(), 0u);
    QTemporaryDir dir;
    QFile rtf(dir.filePath(QStringLiteral("field.rtf")));
    ASSERT_TRUE(rtf.open(QIODevice::WriteOnly));
    rtf.write(bound->DisplayStore().ToByteArray());
    rtf.close();
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), rtf.fileName()});
    ASSERT_TRUE(unrtf.waitForFinished(30000));
    QTextDocument html;
    html.setHtml(QString::fromUtf8(unrtf.readAllStandardOutput()));
    // (unrtf breaks the line where the font changes.)
    const QString plain = html.toPlainText().remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(plain.contains(QStringLiteral("检测0001.VNI"))) << plain.toStdString();
}

TEST(NewReport, APageWithoutImageOrRoomUsesTheCompactClosingTexts)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    // A wide, low page: 210 x 60 mm.
    class LowPage : public DocumentEnvironment {
    public:
        std::optional<QSize> DefaultPrinterPageMm() const override { return QSize(210, 60); }
    } low;
    const QString path = conv.Path(QStringLiteral("low.rpt"));
    {
        CDI_RptDoc doc(&low);
        doc.DeleteContents();
        ASSERT_TRUE(doc.SaveToPath(path));
    }
    SetWizard(conv, {QString()}, {});
    const Built b = Build(conv, path);
    ASSERT_NE(b.doc, nullptr);
    const DrawView map;
    const QPoint page = map.DocToClient(QPoint(b.doc->GetPageSize().width(), b.doc->GetPageSize().height()));
    ExpectedReport expected(std::abs(page.x()), std::abs(page.y()));
    ASSERT_LT(expected.H - (60 + 12 * expected.u), 230);
    expected.Cover(TheWizardState());
    expected.Page(QStringLiteral("回路 1"), false, false);
    ExpectObjects(*b.doc, expected);
    EXPECT_TRUE(b.view->GetIRObjects().empty());
}

TEST(NewReport, NoImagesGiveTheCoverOnly)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    SetWizard(conv, {}, {});
    const Built b = Build(conv, conv.ProgramFile(QStringLiteral("template/NewTemp.rpt")));
    ASSERT_NE(b.doc, nullptr);
    EXPECT_EQ(b.doc->GetPageCount(), 1);
    EXPECT_EQ(b.doc->GetObjects().size(), 5u);
}

} // namespace
