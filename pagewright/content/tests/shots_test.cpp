// A page of text boxes and fields bound to an infrared image drawn into a
// PNG (test-artifacts/pagewright_content/text-objects.png) for a look, with
// the checks that hold whatever the image's texts are.
#include "object_test_support.h"

#include "document/page_dc.h"

#include <QDir>
#include <QImage>
#include <QPainter>

using namespace object_test;

TEST(TextObjectShots, TextBoxesAndFieldsOfAnImage)
{
    Report r;
    CDrawIR* image = r.AddImage(1, DocRect(100, -100, 4100, -3100));
    // A folder whose path holds Chinese, a backslash and braces.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("报表{a}\\b"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/k4_320.vni");
    ASSERT_TRUE(QFile::copy(QStringLiteral(CONTENT_IR_FIXTURES "/k4_320.vni"), file));
    ASSERT_TRUE(image->LoadIRFile(file));
    IRAnalysisItem spot;
    spot.kind = kAnalysisPoint;
    spot.number = 1;
    spot.shape = {160, 120, 0, 0};
    spot.emissivity = 0.95f;
    spot.distance = 1.0f;
    image->m_analyses.Add(spot);
    image->RecomputeAll();
    CDrawText* title = r.AddText(DocRect(4300, -100, 7800, -700));
    title->textStore.Assign(Rtf("\\qc\\b\\fs32 \\'ba\\'ec\\'cd\\'e2\\'b1\\'a8\\'b1\\'ed"));
    title->penOn = 0;
    CDrawText* coloured = r.AddText(DocRect(4300, -800, 7800, -1600));
    coloured->textStore.Assign(
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "{\\colortbl ;\\red200\\green0\\blue0;}\\pard\\qr\\f0\\fs21\\cf1 \\'ce\\'c2\\'b6\\'c8 right\\par}");
    coloured->brush.color = 0xE0FFFF;
    const int ids[] = {33200, 33202, 33203, 33300, 33400, 33500, 33603, 33703, 33800, -1};
    std::vector<CDrawField*> fields;
    for (int i = 0; i < 10; ++i) {
        DocRect rect(4300 + (i % 2) * 1800, -1800 - (i / 2) * 450, 6000 + (i % 2) * 1800, -2150 - (i / 2) * 450);
        if (ids[i] == 33203) // the long path: a box of its own
            rect = DocRect(100, -3300, 4100, -4400);
        CDrawField* field = r.AddField(1, 1, ids[i], rect);
        field->textStore.Assign(Rtf("\\fs18"));
        fields.push_back(field);
    }
    CDrawField* orphan = r.AddField(7, 1, 33200, DocRect(4300, -4200, 7800, -4550));
    orphan->textStore.Assign(Rtf("\\fs18"));

    QImage page(880, 560, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        for (CDrawObj* obj : r.doc.GetObjects())
            obj->Draw(dc);
    }
    QDir().mkpath(QStringLiteral(CONTENT_ARTIFACTS));
    page.save(QStringLiteral(CONTENT_ARTIFACTS "/text-objects.png"));
    EXPECT_EQ(orphan->Label(), QStringLiteral("-"));
    EXPECT_TRUE(fields[2]->Label().contains(QStringLiteral("报表{a}\\b"))) << fields[2]->Label().toStdString();
    EXPECT_TRUE(fields[5]->Label().front().isDigit()) << fields[5]->Label().toStdString();
    EXPECT_EQ(fields.back()->Label(), QStringLiteral("-"));
    for (CDrawField* field : fields) {
        EXPECT_FALSE(field->Label().isEmpty()) << field->FieldId();
        EXPECT_GT(field->DisplayStore().GetLength(), 0u) << "the display text is built when drawn";
        EXPECT_FALSE(field->textStore.ToByteArray().contains(field->Label().toUtf8()) && field->Label().size() > 3)
            << "the store keeps the format only";
    }
}
