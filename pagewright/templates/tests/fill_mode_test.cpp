// Fill mode: a template opened as a new report and filled from a wizard
// file: images from two paths of three, photos from the wizard or from their
// image's own picture, texts by the "--" rule, the result untitled on disk.
#include "conversion_fixture.h"

#include "batch_fixtures.h"

#include "content/draw_table.h"
#include "content/text_format_ops.h"
#include "profile_text.h"
#include "wizard_file.h"

#include <QImage>
#include <QTextBlock>
#include <QTextDocument>

using namespace convtest;

namespace {

struct TextCase {
    const char* name;
    const char* templateText;
    std::optional<const char*> wizard; // nullopt: no entry in the wizard file
    const char* expected;
};

// Text objects of the template, in list order, with what the wizard file
// says of each and the text each must hold afterwards.
const TextCase kTexts[] = {
    {"dashes keep", "keep me", "--", "keep me"},
    {"empty clears", "clear me", "", ""},
    {"missing entry clears", "gone", std::nullopt, ""},
    {"new text", "old", "new", "new"},
    {"line breaks come back", "old", "first\nsecond \\ third", "first\nsecond \\ third"},
    // The layout holds "same" (a profile value loses its outer blanks); the
    // wizard hands it back unchanged: the object keeps its own text.
    {"equal to the layout", "same ", "same", "same "},
};

// Files of a folder but the working copies that open reports were read from.
QStringList FilesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    files.removeIf([](const QString& name) { return name.endsWith(QLatin1String(".rp1")); });
    return files;
}

TEST(FillMode, FillsANewReportFromTheWizardFileAndLeavesTheTemplateAlone)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const batchtest::Inputs& in = batchtest::SharedInputs();
    const QString picture = conv.Path(QStringLiteral("chosen.bmp"));
    QImage chosen(30, 20, QImage::Format_RGB32);
    chosen.fill(Qt::blue);
    ASSERT_TRUE(chosen.save(picture, "BMP"));

    // Three images (the third showing a file without a photo), a photo for
    // each and one of no image, then the texts.
    const QString templatePath = conv.Path(QStringLiteral("site.rpm"));
    {
        TemplateBuilder t;
        t.Image(DocRect(100, -100, 2000, -1500), 1);
        t.Image(DocRect(2100, -100, 4000, -1500), 2);
        t.Image(DocRect(4100, -100, 6000, -1500), 3, in.b);
        for (int n : {1, 2, 3, 0})
            t.Photo(DocRect(100 + 1500 * (n), -1600, 1400 + 1500 * n, -2600), n);
        int y = -3000;
        for (const TextCase& c : kTexts) {
            CDrawText* text = t.Text(DocRect(100, y, 4000, y - 300), QString::fromUtf8(c.templateText));
            rich_text::ApplyFormatToStore(*text->GetTextStore(), t.doc.Environment(), 1, 0); // bold
            y -= 400;
        }
        t.Save(templatePath);
    }
    conv.app->ConvertReportTemplate(templatePath, QString(), 0);

    platform::IniDocument wizard;
    wizard.writeInt(u"IROBJ", u"ObjCount", 3);
    wizard.writeString(u"IROBJ", u"OBJ1_Path", in.a);
    wizard.writeString(u"IROBJ", u"OBJ2_Path", in.c);
    wizard.writeString(u"CCDOBJ", u"OBJ2_Path", picture);
    int t = 1;
    for (const TextCase& c : kTexts) {
        if (c.wizard)
            wizard.writeString(u"TEXTOBJ", LayoutKey(t, "Content"), EscapeProfileText(QString::fromUtf8(*c.wizard)));
        ++t;
    }
    ASSERT_TRUE(platform::IniFile(WizardFilePath(conv.box.ProgramFolder())).save(wizard));

    // The template is open in a window of its own: it stays as it is.
    ASSERT_TRUE(conv.app->OpenReport(templatePath));
    CDI_RptView* open = conv.ActiveView();
    ASSERT_NE(open, nullptr);
    const int windows = conv.WindowCount();
    const QString scratch = conv.app->GetDocumentEnvironment().TemporaryFolder();
    const QStringList scratchBefore = FilesIn(scratch);

    conv.app->ConvertReportTemplate(templatePath, QStringLiteral("Site report"), 1);
    EXPECT_EQ(conv.WindowCount(), windows + 1);
    CDI_RptView* view = conv.ActiveView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view, open);
    CDI_RptDoc& doc = *view->GetDocument();

    std::vector<CDrawIR*> images;
    std::vector<CDrawPhoto*> photos;
    std::vector<CDrawText*> texts;
    for (CDrawObj* o : doc.GetObjects()) {
        if (auto* i = dynamic_cast<CDrawIR*>(o))
            images.push_back(i);
        else if (auto* p = dynamic_cast<CDrawPhoto*>(o))
            photos.push_back(p);
        else if (auto* x = dynamic_cast<CDrawText*>(o))
            texts.push_back(x);
    }
    ASSERT_EQ(images.size(), 3u);
    ASSERT_EQ(photos.size(), 4u);
    ASSERT_EQ(texts.size(), std::size(kTexts));
    // Two paths for three images: the third keeps its file.
    EXPECT_EQ(images[0]->ImageWidth(), 160);
    EXPECT_EQ(images[1]->ImageWidth(), 240);
    EXPECT_EQ(images[2]->ImageWidth(), 200);
    // Photo 1: no picture chosen, its image's own photo; photo 2: the chosen
    // picture; photo 3: its image has no photo; photo 4: no image.
    // (The first file's own photo is 160 x 120, the third file's 240 x 180.)
    ASSERT_TRUE(photos[0]->HasPicture());
    EXPECT_EQ(photos[0]->Picture().GetWidth(), 160);
    EXPECT_EQ(photos[0]->Picture().GetHeight(), 120);
    ASSERT_TRUE(photos[1]->HasPicture());
    EXPECT_EQ(photos[1]->Picture().GetWidth(), 30);
    EXPECT_FALSE(photos[2]->HasPicture());
    EXPECT_FALSE(photos[3]->HasPicture());
    EXPECT_EQ(FilesIn(scratch), scratchBefore);
    EXPECT_TRUE(FilesIn(conv.box.ProgramFolder()).filter(QStringLiteral("jpg.jpg")).isEmpty());

    TemplateBuilder reference;
    for (std::size_t i = 0; i < std::size(kTexts); ++i) {
        QString text;
        int align = -1;
        texts[i]->GetPlainText(view, text, align);
        // What a text object holds after being given the expected text.
        CDrawText* same = reference.Text(DocRect(0, 0, 100, -100), QString::fromUtf8(kTexts[i].expected));
        QString expected;
        int expectedAlign = -1;
        same->GetPlainText(&reference.view, expected, expectedAlign);
        EXPECT_EQ(text, expected) << kTexts[i].name;
    }
    // The text equal to the layout was not rewritten: still bold.
    QTextDocument kept;
    rich_text::LoadStoreOrDefault(*texts[5]->GetTextStore(), doc.Environment(), kept);
    EXPECT_GE(kept.begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);

    // Untitled, not on disk, named, its undo history starting here.
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Site report"));
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.IsModified()) << "a filled report is unsaved work";
    EXPECT_EQ(conv.app->GetMainFrame()->MDIGetActive()->windowTitle(), QStringLiteral("Site report"));

    // The window that held the template saw nothing of it.
    CDI_RptDoc& original = *open->GetDocument();
    EXPECT_EQ(original.GetPathName(), templatePath);
    EXPECT_FALSE(original.IsModified());
    for (CDrawObj* o : original.GetObjects()) {
        if (auto* i = dynamic_cast<CDrawIR*>(o); i != nullptr && i->GetIRNumber() == 1) {
            EXPECT_FALSE(i->HasImage());
        }
        if (auto* p = dynamic_cast<CDrawPhoto*>(o)) {
            EXPECT_FALSE(p->HasPicture());
        }
    }
}

bool FirstRunBold(const CRtfMemFile& store, const DocumentEnvironment& env)
{
    QTextDocument doc;
    rich_text::LoadStoreOrDefault(store, env, doc);
    return doc.begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold;
}

TEST(FillMode, CellsAreWrittenUnlessKeptOrEqualToTheTemplates)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const QString templatePath = conv.Path(QStringLiteral("cells.rpm"));
    {
        TemplateBuilder t;
        auto* table = t.Add(std::make_unique<CDrawTable>(&t.view, DocRect(100, -100, 4000, -1500), 3, 2));
        table->RecalcLayout();
        table->SetCellText(&t.view, 0, 0, QStringLiteral("keep"), 0);
        table->SetCellText(&t.view, 0, 1, QStringLiteral("equal"), 2);
        table->SetCellText(&t.view, 0, 2, QStringLiteral("old"), 2);
        table->SetCellText(&t.view, 1, 0, QStringLiteral("old"), 1);
        table->MakeFieldCell(4, 1, 33200);
        for (int c = 0; c < 2; ++c)
            rich_text::ApplyFormatToStore(*table->Cell(0, c)->GetTextStore(), t.doc.Environment(), 1, 0); // bold
        t.Save(templatePath);
    }
    conv.app->ConvertReportTemplate(templatePath, QString(), 0);
    platform::IniDocument wizard;
    // Rows and columns of the template; the wizard hands the field cell's
    // "--" back.
    const char* cells[2][3] = {{"--", "equal", "新\\n值"}, {"", "--", "x"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            wizard.writeString(u"TABLEOBJ", LayoutCellKey(1, r, c, "Content"), QString::fromUtf8(cells[r][c]));
    ASSERT_TRUE(platform::IniFile(WizardFilePath(conv.box.ProgramFolder())).save(wizard));

    conv.app->ConvertReportTemplate(templatePath, QStringLiteral("Cells"), 1);
    CDI_RptView* view = conv.ActiveView();
    ASSERT_NE(view, nullptr);
    auto* table = dynamic_cast<CDrawTable*>(view->GetDocument()->GetObjects().at(0));
    ASSERT_NE(table, nullptr);
    const auto cell = [&](int r, int c) {
        QString text;
        int align = -1;
        table->GetCellText(view, r, c, text, align);
        return std::make_pair(text, align);
    };
    const DocumentEnvironment& env = view->GetDocument()->Environment();
    EXPECT_EQ(cell(0, 0).first, QStringLiteral("keep"));
    EXPECT_TRUE(FirstRunBold(*table->Cell(0, 0)->GetTextStore(), env));
    // Equal to the template's own text: not rewritten, still bold.
    EXPECT_EQ(cell(0, 1), std::make_pair(QStringLiteral("equal"), 2));
    EXPECT_TRUE(FirstRunBold(*table->Cell(0, 1)->GetTextStore(), env));
    // Written with the layout's alignment, its line break intact.
    EXPECT_EQ(cell(0, 2).second, 2);
    EXPECT_EQ(cell(0, 2).first.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(cell(0, 2).first.startsWith(QStringLiteral("新")));
    EXPECT_EQ(cell(1, 0).first, QString()); // empty clears
    EXPECT_EQ(cell(1, 0).second, 1);
    EXPECT_TRUE(table->Cell(1, 1)->IsKindOf(CDrawField::kClass));
    EXPECT_EQ(cell(1, 2).first, QStringLiteral("x"));
}

TEST(FillMode, ATemplateThatDoesNotOpenLeavesNothingOpen)
{
    Conversion conv;
    ASSERT_NE(conv.app, nullptr);
    const int windows = conv.WindowCount();
    conv.app->ConvertReportTemplate(conv.Path(QStringLiteral("missing.rpm")), QStringLiteral("x"), 1);
    EXPECT_EQ(conv.WindowCount(), windows);
}

} // namespace
