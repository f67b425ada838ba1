// The field object: record, what it asks of its image, drawing without an
// image, dependents, its properties sheet, copies and export.
#include "object_test_support.h"

#include "content/field_prop.h"
#include "document/page_dc.h"
#include "document/property_sheet.h"
#include "document/word_export.h"

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>

using namespace object_test;

namespace {

void DrawOnce(CDrawObj& obj)
{
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    PageDC dc(painter, PageMapping::ForZoom(1.0));
    obj.Draw(dc);
}

bool IsRegisteredWith(const CDrawIR& image, const CDrawField* field)
{
    const auto& d = image.Dependents();
    return std::find(d.begin(), d.end(), static_cast<const IRImageDependent*>(field)) != d.end();
}

} // namespace

TEST(FieldObject, RecordEqualsTheGoldenBytesAndReadsBack)
{
    const QByteArray golden = ReadFile(QStringLiteral(CONTENT_GOLDEN "/field.bin"));
    ASSERT_FALSE(golden.isEmpty());
    platform::ArchiveReader reader(golden, Registry().ArchiveRegistry());
    CDrawField field;
    field.Serialize(reader);
    EXPECT_EQ(field.AnalysisNumber(), 3);
    EXPECT_EQ(field.ImageNumber(), 2);
    EXPECT_EQ(field.FieldId(), 33603);
    EXPECT_EQ(field.tableCell, 1u);
    EXPECT_EQ(field.penOn, 0);
    EXPECT_EQ(field.textStore.GetLength(), std::uint64_t(golden.size() - 56 - 12 - 4));
    EXPECT_EQ(RecordOf(field), golden);
    EXPECT_TRUE(field.Label().isEmpty()) << "the label is looked up at the first draw";
}

TEST(FieldObject, EachGroupAsksItsFormatterWithItsNumber)
{
    struct Case {
        int id;
        int analysis;
        FieldTextRequest expected;
    };
    const Case cases[] = {
        {33200, 4, {FieldTextRequest::Info, 0}},
        {33309, 4, {FieldTextRequest::Info, 0}},
        {33406, 4, {FieldTextRequest::Param, 0}},
        {33500, 4, {FieldTextRequest::Point, 4}},
        {33611, 2, {FieldTextRequest::Line, 2}},
        {33714, 7, {FieldTextRequest::Area, 7}},
        {33801, 2, {FieldTextRequest::Isotherm, 1}}, // the second isotherm
        {33900, 1, {}},
        {-1, 1, {}},
        {0, 1, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldTextRequestOf(c.id, c.analysis), c.expected) << c.id;
}

TEST(FieldObject, NoImageOrNoGroupShowsADash)
{
    Report r;
    CDrawField* noImage = r.AddField(5, 1, 33200);
    QString text;
    noImage->GetFieldText(text);
    EXPECT_EQ(text, QStringLiteral("-"));

    r.AddImage(1);
    CDrawField* noField = r.AddField(1, 1, -1);
    DrawOnce(*noField);
    EXPECT_EQ(noField->Label(), QStringLiteral("-"));

    CDrawField headless;
    headless.GetFieldText(text);
    EXPECT_TRUE(text.isEmpty()) << "a field without a view shows nothing";
}

TEST(FieldObject, ADestroyedFieldLeavesTheImagesDependents)
{
    Report r;
    CDrawIR* image = r.AddImage(1);
    CDrawField* field = r.AddField(1, 1, 33200);
    ASSERT_TRUE(IsRegisteredWith(*image, field));
    r.doc.Remove(field);
    delete field;
    EXPECT_TRUE(image->Dependents().empty());

    // Without a view too.
    auto lone = std::make_unique<CDrawField>();
    image->AddDependent(lone.get());
    lone.reset();
    EXPECT_TRUE(image->Dependents().empty());
}

TEST(FieldObject, PropertiesCancelKeepsTheBindingAndOkRebinds)
{
    Report r;
    CDrawIR* first = r.AddImage(1);
    CDrawIR* second = r.AddImage(2, DocRect(100, -3100, 4000, -6000));
    CDrawField* field = r.AddField(1, 1, 33500);
    r.env.onDialog = [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("对象属性"));
        return false;
    };
    field->OnEditProperties();
    EXPECT_EQ(r.env.dialogs, 1);
    EXPECT_TRUE(IsRegisteredWith(*first, field)) << "Cancel leaves the field registered";
    EXPECT_EQ(field->FieldId(), 33500);

    r.env.onDialog = [](QDialog& dialog) {
        auto* page = static_cast<PropertySheet&>(dialog).GetPage(0);
        page->GetDlgItemAs<QLineEdit>(CFieldProp::kImageNumber)->setText(QStringLiteral("2"));
        page->GetDlgItemAs<QLineEdit>(CFieldProp::kObjectNumber)->setText(QStringLiteral("3"));
        return true;
    };
    field->OnEditProperties();
    EXPECT_EQ(field->ImageNumber(), 2);
    EXPECT_EQ(field->AnalysisNumber(), 3);
    EXPECT_FALSE(IsRegisteredWith(*first, field));
    EXPECT_TRUE(IsRegisteredWith(*second, field));
    EXPECT_TRUE(r.doc.IsModified());
}

TEST(FieldObject, CloneCopiesTheBindingButNotTheText)
{
    Report r;
    CDrawField* field = r.AddField(3, 2, 33601);
    field->textStore.Assign(Rtf("\\b x"));
    field->brush.color = 0x123456;
    auto* copy = static_cast<CDrawField*>(field->Clone(nullptr));
    EXPECT_EQ(copy->ImageNumber(), 3);
    EXPECT_EQ(copy->AnalysisNumber(), 2);
    EXPECT_EQ(copy->FieldId(), 33601);
    EXPECT_EQ(copy->brush.color, 0x123456u);
    EXPECT_EQ(copy->textStore.GetLength(), 0u);
    EXPECT_EQ(copy->GetFillColor(), 0x123456u ^ 0xFFFFFFu);
    delete copy;
}

TEST(FieldObject, ExportsItsLabelEvenWhenNeverDrawn)
{
    Report r;
    CDrawField* field = r.AddField(9, 1, 33200); // no image 9: "-"
    field->textStore.Assign("{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\pard\\f0\\fs24\\par}");
    RecordingExporter exporter;
    field->ExportToWord(exporter);
    ASSERT_EQ(exporter.boxes.size(), 1u);
    EXPECT_EQ(exporter.boxes[0].text, QStringLiteral("-"));
    EXPECT_EQ(exporter.boxes[0].fontName, QStringLiteral("Arial"));
    QString all;
    for (const TextRun& run : exporter.texts[0].runs)
        all += run.text;
    EXPECT_TRUE(all.contains(QLatin1Char('-'))) << all.toStdString();
}

// The export looks the label up afresh: the image may have changed since
// the field was last drawn (the export draws no page).
TEST(FieldObject, ExportsTheLabelOfNowNotOfItsLastDraw)
{
    Report r;
    CDrawIR* image = r.AddImage(2);
    CDrawField* field = r.AddField(2, 1, 33202); // the file name
    field->textStore.Assign("{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\pard\\f0\\fs24\\par}");
    DrawOnce(*field);
    ASSERT_GT(field->DisplayStore().GetLength(), 0u);
    const QString drawn = field->Label();
    ASSERT_TRUE(image->LoadIRFile(QStringLiteral(CONTENT_IR_FIXTURES "/k4_320.vni")));
    QString now;
    field->GetFieldText(now);
    ASSERT_EQ(now, QStringLiteral("k4_320.vni"));
    ASSERT_NE(now, drawn);
    RecordingExporter exporter;
    field->ExportToWord(exporter);
    ASSERT_EQ(exporter.boxes.size(), 1u);
    EXPECT_EQ(exporter.boxes[0].text, now);
    QString all;
    for (const TextRun& run : exporter.texts[0].runs)
        all += run.text;
    EXPECT_TRUE(all.contains(now)) << all.toStdString();
}

TEST(FieldObject, HiddenEditingFormatsTheWholeFieldAndStoresOnlyTheFormat)
{
    Report r;
    r.AddImage(1);
    CDrawField* field = r.AddField(1, 1, 33200);
    r.view.Select(field); // begin edit: the editor holds the default text, all selected
    EXPECT_FALSE(r.editor->IsVisible());
    r.editor->OnCommand(CTextEditView::kBold);
    EXPECT_EQ(field->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("1"), 0), 1);
    const QByteArray stored = field->textStore.ToByteArray();
    EXPECT_TRUE(stored.contains("\\b")) << stored.constData();
    EXPECT_FALSE(stored.contains("-")) << "the label is never stored";
    field->EndEdit(&r.view);
    EXPECT_FALSE(field->IsEditing());
    // Key 17 inverts the text colour.
    r.view.Select(field);
    field->DoCommand(CDrawObj::kFormatCommand, QStringLiteral("17"), 0);
    EXPECT_TRUE(field->textStore.ToByteArray().contains("\\red255\\green255\\blue255"));
}
