// A three-page report with shapes, a photo, a logo and an infrared image through
// rptdump --docx: opened by python-docx, converted by LibreOffice (one
// headless conversion), its pages rendered by pdftoppm and left in the build
// tree to be looked at.
#include "test_support.h"

#include "irimage/draw_ir.h"

#include "document/docx_export.h"
#include "document/draw_photo.h"
#include "document/draw_rect.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace irtest;

namespace {

CDrawRect* AddShape(CDI_RptDoc& doc, int page, int shape, DocRect r)
{
    auto obj = std::make_unique<CDrawRect>(nullptr, r);
    obj->shape = shape;
    obj->page = std::uint32_t(page);
    return static_cast<CDrawRect*>(doc.AddNoUndo(std::move(obj)));
}

// Points from the page corner of a report point.
QString At(double x, double y)
{
    return QStringLiteral("%1,%2").arg(50 + DocxExport::LeftPoints(x)).arg(50 + DocxExport::TopPoints(y));
}

} // namespace

TEST(ReportExport, ThreePagesConvertWithEachObjectOnItsPage)
{
    ReportWithView r;
    r.doc.InsertPage(0, QStringLiteral("2"));
    r.doc.InsertPage(0, QStringLiteral("3"));
    AddShape(r.doc, 0, CDrawRect::rectangle, DocRect(600, -650, 2600, -2650));
    AddShape(r.doc, 0, CDrawRect::line, DocRect(3500, -1500, 6000, -4000));
    for (int style = 1; style <= 3; ++style)
        AddShape(r.doc, 1, CDrawRect::arrow, DocRect(1000, -1000 * style, 5000, -1000 * style))->arrowStyle = style;
    QTemporaryDir dir;
    const QString pictureFile = dir.filePath(QStringLiteral("photo.bmp"));
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 160));
    ASSERT_TRUE(picture.save(pictureFile, "BMP"));
    auto* photo = static_cast<CDrawPhoto*>(
        r.doc.AddNoUndo(std::make_unique<CDrawPhoto>(nullptr, DocRect(1000, -3500, 4000, -5750))));
    ASSERT_TRUE(photo->LoadPicture(pictureFile));
    photo->page = 1;
    r.doc.AddNoUndo(std::make_unique<CDrawLogo>(nullptr, DocRect(6500, -1000, 7500, -2000)))->page = 0;
    CDrawIR* ir = r.AddImage(1);
    ASSERT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
    ir->position = DocRect(1000, -5000, 5199, -7400);
    ir->page = 2;
    ir->SetView(nullptr);

    const QString report = dir.filePath(QStringLiteral("three.rpt"));
    ASSERT_TRUE(r.doc.SaveToPath(report));
    const QString docx = dir.filePath(QStringLiteral("three.docx"));
    QProcess dump;
    dump.start(QStringLiteral(IRIMAGE_TEST_RPTDUMP), {report, QStringLiteral("--docx"), docx});
    ASSERT_TRUE(dump.waitForFinished(60000));
    ASSERT_EQ(dump.exitCode(), 0) << dump.readAllStandardError().toStdString();

    const QString out = QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/three-page-docx");
    QDir(out).removeRecursively();
    // Probes: the rectangle's corner, the line's middle, each arrow's middle,
    // the middle of the image, the middle of the photo, the logo's corner.
    QProcess check;
    check.start(QStringLiteral(IRIMAGE_TEST_PYTHON),
                {QStringLiteral(IRIMAGE_DOCX_SCRIPTS "/docx_render_check.py"), docx, out, At(600, -650),
                 At(4750, -2750), At(3000, -1000), At(3000, -2000), At(3000, -3000), At(2000, -6200),
                 At(2500, -4625), At(6500, -1000)});
    ASSERT_TRUE(check.waitForFinished(180000));
    if (check.exitCode() == 77)
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
    const QJsonObject result = QJsonDocument::fromJson(check.readAllStandardOutput()).object();
    EXPECT_EQ(result["pages"].toInt(), 3);
    EXPECT_NEAR(result["size"].toArray()[0].toDouble(), 8330.0 / 1008.0 * 72.0, 1.0);
    EXPECT_NEAR(result["size"].toArray()[1].toDouble(), 11790.0 / 1008.0 * 72.0, 1.0);
    const QJsonArray pages = result["rendered"].toArray();
    ASSERT_EQ(pages.size(), 3);
    // The rectangle at (600, -650) starts at the margin corner within a point.
    const QJsonArray ink0 = pages[0].toObject()["ink"].toArray();
    ASSERT_EQ(ink0.size(), 4);
    EXPECT_NEAR(ink0[0].toDouble(), 50.0, 1.0);
    EXPECT_NEAR(ink0[1].toDouble(), 50.0, 1.0);
    // The image fills its place on the last page (its frame is its edge).
    const QJsonArray ink2 = pages[2].toObject()["ink"].toArray();
    ASSERT_EQ(ink2.size(), 4);
    EXPECT_NEAR(ink2[0].toDouble(), 50 + DocxExport::LeftPoints(1000), 1.5);
    EXPECT_NEAR(ink2[1].toDouble(), 50 + DocxExport::TopPoints(-5000), 1.5);
    EXPECT_NEAR(ink2[2].toDouble(), 50 + DocxExport::LeftPoints(5199), 1.5);
    EXPECT_NEAR(ink2[3].toDouble(), 50 + DocxExport::TopPoints(-7400), 1.5);
    const std::vector<std::vector<bool>> expected{{true, true, false, false, false, false, false, true},
                                                  {false, false, true, true, true, false, true, false},
                                                  {false, false, false, false, false, true, false, false}};
    for (int p = 0; p < 3; ++p) {
        const QJsonArray probes = pages[p].toObject()["probes"].toArray();
        ASSERT_EQ(probes.size(), 8);
        for (int i = 0; i < probes.size(); ++i)
            EXPECT_EQ(probes[i].toBool(), expected[std::size_t(p)][std::size_t(i)]) << "page " << p << " probe " << i;
    }
}
