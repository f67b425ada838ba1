// Photo and logo objects: fitting the frame to a picture, the aspect-keeping
// handles, drawing rules, records, the two photo commands, context menus and
// the export pictures; the picture dialog and the image-number dialog; and
// reports holding embedded items.
#include "test_support.h"

#include "document/draw_photo.h"
#include "document/embedded_item.h"
#include "document/image_number_dlg.h"
#include "document/ir_image_object.h"
#include "document/page_dc.h"
#include "document/view_file_dlg.h"

#include "platform/archive_writer.h"
#include "skin/message_box.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace rpt_test;

namespace {

// A picture file of the given size: a red left half and a blue right half.
QString WritePicture(const QString& path, int w, int h, const char* format)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    p.fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
    p.end();
    EXPECT_TRUE(image.save(path, format));
    return path;
}

// An infrared image as the view sees it, with a photo it can write.
class FakeImage : public CDrawObj, public IRImageObject {
public:
    FakeImage(DrawView* view, int number, bool photo) : CDrawObj(view, DocRect(0, -1000, 1000, -2000)), m_number(number), m_photo(photo) {}
    int GetIRNumber() const override { return m_number; }
    void SetIRNumber(int number) override { m_number = number; }
    bool HasPicture() const override { return true; }
    QSize ImageSize() const override { return {}; }
    double PixelScaleX() const override { return 0; }
    double PixelScaleY() const override { return 0; }
    std::optional<float> PointTemperature(int, int) const override { return std::nullopt; }
    std::pair<float, float> ScaleRange() const override { return {0, 0}; }
    void AddPointAnalysis(QPoint) override {}
    void AddLineAnalysis(const DocRect&) override {}
    void AddAreaAnalysis(const DocRect&) override {}
    void AddEllipseAnalysis(const DocRect&) override {}
    void DeleteHandleOwner(int) override {}
    void SetIsothermAtPoint(int, int, int, int) override {}
    void MarkChanged() override {}
    QString WriteVisiblePhoto(const QString& folder) override
    {
        if (!m_photo)
            return {};
        written = QDir(folder).filePath(QStringLiteral("photo-%1.jpg").arg(m_number));
        return WritePicture(written, 640, 480, "JPG");
    }

    QString written;

private:
    int m_number;
    bool m_photo;
};

class PhotoTest : public ::testing::Test {
protected:
    PhotoTest() : m_doc(&m_env)
    {
        m_env.tempFolder = m_scratch.path();
        m_doc.SetView(&m_view);
        m_jpeg = WritePicture(Path("photo.jpg"), 640, 480, "JPG");
    }
    ~PhotoTest() override
    {
        m_doc.SetView(nullptr);
        SetMessageBoxHook({});
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    CDrawPhoto* AddPhoto(DocRect r)
    {
        auto* photo = static_cast<CDrawPhoto*>(m_doc.AddNoUndo(std::make_unique<CDrawPhoto>(&m_view, r)));
        m_view.Select(photo);
        return photo;
    }

    QStringList ScratchFiles() const { return QDir(m_scratch.path()).entryList(QDir::Files); }

    QTemporaryDir m_dir;
    QTemporaryDir m_scratch;
    RecordingEnvironment m_env;
    CountingView m_view;
    CDI_RptDoc m_doc;
    QString m_jpeg;
};

// Renders the current page of doc at zoom with the page's top-left corner at
// pixel (0, 0).
QImage RenderPage(CDI_RptDoc& doc, double zoom, int width = 800, int height = 600)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageMapping mapping = PageMapping::ForZoom(zoom);
    mapping.windowOrigin = QPoint(0, -105);
    PageDC dc(painter, mapping);
    doc.Draw(dc, doc.GetView());
    return image;
}

void SaveArtifact(const QImage& image, const QString& name)
{
    QDir().mkpath(QStringLiteral(DOCUMENT_TEST_ARTIFACTS));
    image.save(QStringLiteral(DOCUMENT_TEST_ARTIFACTS "/") + name);
}

} // namespace

TEST_F(PhotoTest, APictureFitsTheFrameKeepingTheLeftAndUpperEdges)
{
    struct Case {
        DocRect frame;
        QSize picture;
        DocRect fitted;
    };
    // Frames as the tools make them (top the smaller y); the edge at the
    // larger y is the upper edge on the page.
    const Case cases[] = {
        {{1000, -3000, 2000, -2000}, {640, 480}, {1000, -3000, 2333, -2000}}, // too narrow: the width follows
        {{1000, -3000, 3000, -2000}, {640, 480}, {1000, -3500, 3000, -2000}}, // too flat: grows downwards
        {{3000, -2000, 1000, -3000}, {640, 480}, {1000, -3500, 3000, -2000}}, // mirrored frames are normalised
        {{1000, -2000, 2000, -2000}, {640, 480}, {1000, -2750, 2000, -2000}}, // no height: no division
        {{1000, -3000, 1000, -2000}, {480, 640}, {1000, -3000, 1750, -2000}},
    };
    for (const Case& c : cases) {
        const QString file = WritePicture(Path(QStringLiteral("p%1x%2.bmp").arg(c.picture.width()).arg(c.picture.height())),
                                          c.picture.width(), c.picture.height(), "BMP");
        CDrawPhoto photo(&m_view, c.frame);
        ASSERT_TRUE(photo.LoadPicture(file));
        EXPECT_EQ(photo.position, c.fitted) << c.frame.left << "," << c.frame.top;
        EXPECT_EQ(photo.pictureWidth, c.picture.width());
        EXPECT_EQ(photo.pictureHeight, c.picture.height());
        EXPECT_TRUE(photo.HasPicture());
    }
}

TEST_F(PhotoTest, APictureThatDoesNotLoadChangesNothing)
{
    CDrawPhoto photo(&m_view, DocRect(1000, -3000, 2000, -2000));
    ASSERT_TRUE(photo.LoadPicture(m_jpeg));
    const DocRect fitted = photo.position;
    QFile bad(Path("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM this is no picture");
    bad.close();
    // A zero-width BMP: a recognised picture without area.
    QByteArray empty(54, '\0');
    empty[0] = 'B', empty[1] = 'M', empty[10] = 54, empty[14] = 40, empty[22] = 1, empty[26] = 1, empty[28] = 24;
    QFile zero(Path("zero.bmp"));
    ASSERT_TRUE(zero.open(QIODevice::WriteOnly));
    zero.write(empty);
    zero.close();
    for (const QString& path : {Path("bad.bmp"), Path("zero.bmp"), Path("missing.jpg"), m_dir.path()}) {
        EXPECT_FALSE(photo.LoadPicture(path)) << path.toStdString();
        EXPECT_EQ(photo.position, fitted);
        EXPECT_EQ(photo.pictureWidth, 640);
        EXPECT_EQ(photo.pictureHeight, 480);
        EXPECT_FLOAT_EQ(photo.widthPerHeight, 640.0f / 480.0f);
        EXPECT_TRUE(photo.HasPicture());
        EXPECT_EQ(photo.Picture().GetWidth(), 640);
    }
}

TEST_F(PhotoTest, HandlesKeepTheAspectAndRefuseMovesWithinFiftyUnits)
{
    struct Case {
        int handle;
        QPoint to;
        DocRect expected;
    };
    // The fitted frame: left 1000, lower -3000, right 2333, upper -2000.
    const DocRect start(1000, -3000, 2333, -2000);
    const Case cases[] = {
        {1, {0, -4000}, {-333, -4000, 2333, -2000}},
        {1, {-2000, -3100}, {-2000, -5249, 2333, -2000}}, // wide: the lower edge follows the width
        {2, {0, -3500}, {1000, -3500, 3000, -2000}},
        {3, {3000, -3100}, {1000, -3500, 3000, -2000}},
        {4, {3000, 0}, {1000, -3500, 3000, -2000}},
        {5, {3000, -1000}, {1000, -3000, 3666, -1000}},
        {6, {0, -1500}, {1000, -3000, 3000, -1500}},
        {7, {0, -1500}, {0, -3000, 2333, -1251}},
        {8, {0, 0}, {0, -3749, 2333, -2000}},
        // Within 50 units of the opposite edge: nothing moves.
        {1, {2300, -4000}, start},
        {1, {0, -2049}, start},
        {2, {0, -2049}, start},
        {3, {1049, -4000}, start},
        {4, {1049, 0}, start},
        {5, {3000, -2951}, start},
        {6, {0, -2951}, start},
        {7, {2284, -1000}, start},
        {8, {2284, 0}, start},
        {9, {5000, 5000}, start},
    };
    for (const Case& c : cases) {
        CDrawPhoto photo(&m_view, DocRect(1000, -3000, 2000, -2000));
        ASSERT_TRUE(photo.LoadPicture(m_jpeg));
        ASSERT_EQ(photo.position, start);
        photo.MoveHandleTo(c.handle, c.to, CDrawObj::kMoveNoUndo, &m_view);
        EXPECT_EQ(photo.position, c.expected) << "handle " << c.handle;
    }
    // Without a picture the handles move freely.
    CDrawPhoto empty(&m_view, start);
    empty.MoveHandleTo(4, QPoint(1010, 0), CDrawObj::kMoveNoUndo, &m_view);
    EXPECT_EQ(empty.position, DocRect(1000, -3000, 1010, -2000));
}

TEST_F(PhotoTest, SmallFramesAreEnlargedWhenDrawnAndNumbersShowAtLeastOne)
{
    CDrawPhoto* photo = AddPhoto(DocRect(1000, -1300, 1100, -1200));
    auto* logo = static_cast<CDrawLogo*>(m_doc.AddNoUndo(std::make_unique<CDrawLogo>(&m_view, DocRect(3000, -1200, 2900, -1300))));
    RenderPage(m_doc, 1.0);
    EXPECT_EQ(photo->position, DocRect(1000, -1600, 1400, -1200));
    EXPECT_EQ(logo->position, DocRect(2900, -1400, 3100, -1200));

    // Number 0 shows as 1 and stays 1, only with a picture and the switch on.
    photo->imageNumber = 0;
    RenderPage(m_doc, 1.0);
    EXPECT_EQ(photo->imageNumber, 0); // no picture: no number
    ASSERT_TRUE(photo->LoadPicture(m_jpeg));
    m_doc.SetShowNumbers(false);
    RenderPage(m_doc, 1.0);
    EXPECT_EQ(photo->imageNumber, 0);
    m_doc.SetShowNumbers(true);
    RenderPage(m_doc, 1.0);
    EXPECT_EQ(photo->imageNumber, 1);
    RenderPage(m_doc, 1.0);
    EXPECT_EQ(photo->imageNumber, 1);
    // A frame as large as stored values go is drawn without a giant copy.
    CDrawPhoto* huge = AddPhoto(DocRect(-2000000000, -2000000000, 2000000000, 2000000000));
    ASSERT_TRUE(huge->LoadPicture(m_jpeg));
    RenderPage(m_doc, 1.0);
    EXPECT_TRUE(huge->ExportPicture().isNull());
    m_doc.Remove(huge);
    huge->Remove();
    // A repaint of the photo covers its number right of the upper corner.
    const DocRect painted = m_view.PaintedArea(photo);
    EXPECT_GE(painted.right, photo->position.Normalized().right + 4 * 128);
    EXPECT_GE(painted.bottom, photo->position.Normalized().bottom);
}

TEST_F(PhotoTest, RecordsSaveAndReloadByteForByteKeepingThePictureFile)
{
    QFile original(m_jpeg);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray jpegBytes = original.readAll();
    CDrawPhoto* photo = AddPhoto(DocRect(1000, -3000, 2000, -2000));
    ASSERT_TRUE(photo->LoadPicture(m_jpeg));
    photo->imageNumber = 7;
    CDrawPhoto* bmpPhoto = AddPhoto(DocRect(3000, -3000, 4000, -2000));
    ASSERT_TRUE(bmpPhoto->LoadPicture(WritePicture(Path("wide.bmp"), 1700, 10, "BMP")));
    AddPhoto(DocRect(5000, -3000, 6000, -2000)); // empty
    m_doc.AddNoUndo(std::make_unique<CDrawLogo>(&m_view, DocRect(100, -200, 300, -400)));
    const QByteArray first = m_doc.StoreContents();
    EXPECT_TRUE(first.contains(jpegBytes)); // the file's own bytes, not a re-encoding

    CDI_RptDoc copy(&m_env);
    QString error;
    ASSERT_TRUE(copy.LoadContents(first, &error)) << error.toStdString();
    ASSERT_EQ(copy.GetObjects().size(), 4u);
    const auto* read = dynamic_cast<const CDrawPhoto*>(copy.GetObjects()[0]);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->imageNumber, 7);
    EXPECT_EQ(read->pictureWidth, 640);
    EXPECT_EQ(read->pictureHeight, 480);
    EXPECT_TRUE(read->HasPicture());
    EXPECT_EQ(read->Picture().GetOriginalBytes(), jpegBytes);
    EXPECT_FALSE(dynamic_cast<const CDrawPhoto*>(copy.GetObjects()[2])->HasPicture());
    EXPECT_NE(dynamic_cast<const CDrawLogo*>(copy.GetObjects()[3]), nullptr);
    EXPECT_EQ(copy.StoreContents(), first);

    // The dump tool prints the photo's fields and re-saves it unchanged.
    ASSERT_TRUE(m_doc.OnSaveDocument(Path("photos.rpt")));
    QProcess dump;
    dump.start(QStringLiteral(DOCUMENT_TEST_RPTDUMP), {Path("photos.rpt")});
    ASSERT_TRUE(dump.waitForFinished(60000));
    const QJsonObject photoJson =
        QJsonDocument::fromJson(dump.readAllStandardOutput()).object()[QStringLiteral("objects")].toArray()[0].toObject();
    EXPECT_EQ(photoJson[QStringLiteral("class")].toString(), QStringLiteral("CDrawPhoto"));
    EXPECT_EQ(photoJson[QStringLiteral("imageNumber")].toInt(), 7);
    EXPECT_EQ(photoJson[QStringLiteral("pictureSize")].toArray(), (QJsonArray{640, 480}));
    dump.start(QStringLiteral(DOCUMENT_TEST_RPTDUMP), {Path("photos.rpt"), QStringLiteral("--save"), Path("again.rpt")});
    ASSERT_TRUE(dump.waitForFinished(60000));
    EXPECT_EQ(ReadStream(Path("again.rpt"), QStringLiteral("Contents")), first);
}

TEST_F(PhotoTest, ChoosingAPictureIsOneUndoStepBackToTheEmptyPhoto)
{
    CDrawPhoto* photo = AddPhoto(DocRect(1000, -3000, 2000, -2000));
    QString offered;
    m_env.dialogHook = [&](QDialog& d) {
        auto* dlg = dynamic_cast<CViewFileDlg*>(&d);
        EXPECT_NE(dlg, nullptr);
        if (dlg == nullptr)
            return false;
        offered = dlg->windowTitle();
        dlg->selectFile(m_jpeg);
        return true;
    };
    photo->OnEditProperties();
    EXPECT_EQ(offered, QStringLiteral("Picture select"));
    ASSERT_TRUE(photo->HasPicture());
    EXPECT_EQ(photo->position, DocRect(1000, -3000, 2333, -2000));
    EXPECT_EQ(m_doc.GetUndoCount(), 1);

    m_doc.OnEditUndo();
    ASSERT_EQ(m_doc.GetObjects().size(), 1u);
    photo = dynamic_cast<CDrawPhoto*>(m_doc.GetObjects()[0]);
    ASSERT_NE(photo, nullptr);
    EXPECT_FALSE(photo->HasPicture());
    EXPECT_TRUE(photo->Picture().IsEmpty());
    EXPECT_EQ(photo->position, DocRect(1000, -3000, 2000, -2000));
    m_doc.OnEditRedo();
    photo = dynamic_cast<CDrawPhoto*>(m_doc.GetObjects()[0]);
    EXPECT_TRUE(photo->HasPicture());
    EXPECT_EQ(photo->position, DocRect(1000, -3000, 2333, -2000));

    // Cancelled, or a file that is no picture: no step.
    m_view.Select(photo);
    const int steps = m_doc.GetUndoCount();
    m_env.dialogHook = [](QDialog&) { return false; };
    photo->DoCommand(CDrawPhoto::kChoosePicture, QString(), 0);
    m_env.dialogHook = [&](QDialog& d) {
        static_cast<CViewFileDlg&>(d).selectFile(m_dir.path() + QStringLiteral("/nothing.jpg"));
        return true;
    };
    photo->DoCommand(CDrawPhoto::kChoosePicture, QString(), 0);
    EXPECT_EQ(m_doc.GetUndoCount(), steps);
    EXPECT_TRUE(photo->HasPicture());
}

TEST_F(PhotoTest, ImageNumberTakesAnExistingImageAndItsPhotoThroughAScratchFile)
{
    // Images numbered 2 and 5: 5 is above the count and valid, 1 and 3 are
    // missing.
    auto* withPhoto = static_cast<FakeImage*>(m_doc.AddNoUndo(std::make_unique<FakeImage>(&m_view, 5, true)));
    m_doc.AddNoUndo(std::make_unique<FakeImage>(&m_view, 2, false));
    m_view.RebuildIRObjects();
    CDrawPhoto* photo = AddPhoto(DocRect(1000, -3000, 2000, -2000));
    int offered = 0;
    const auto answer = [&](int number) {
        m_env.dialogHook = [&offered, number](QDialog& d) {
            auto& dlg = dynamic_cast<CImageNumberDlg&>(d);
            offered = dlg.m_number;
            dlg.m_number = number;
            return true;
        };
    };

    answer(3);
    photo->DoCommand(CDrawPhoto::kImageNumber, QString(), 0);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(photo->imageNumber, 1);
    EXPECT_EQ(m_doc.GetUndoCount(), 0);

    answer(5);
    photo->DoCommand(CDrawPhoto::kImageNumber, QString(), 0);
    EXPECT_EQ(photo->imageNumber, 5);
    EXPECT_TRUE(photo->HasPicture());
    EXPECT_EQ(photo->pictureWidth, 640);
    EXPECT_EQ(photo->position, DocRect(1000, -3000, 2333, -2000));
    EXPECT_TRUE(withPhoto->written.startsWith(m_scratch.path()));
    EXPECT_TRUE(ScratchFiles().isEmpty());
    EXPECT_EQ(m_doc.GetUndoCount(), 1);

    // An image without a photo: the number changes, the picture stays.
    answer(2);
    photo->DoCommand(CDrawPhoto::kImageNumber, QString(), 0);
    EXPECT_EQ(photo->imageNumber, 2);
    EXPECT_TRUE(photo->HasPicture());
    EXPECT_EQ(m_doc.GetUndoCount(), 2);

    m_env.dialogHook = [](QDialog&) { return false; };
    photo->DoCommand(CDrawPhoto::kImageNumber, QString(), 0);
    EXPECT_EQ(photo->imageNumber, 2);
    EXPECT_EQ(m_doc.GetUndoCount(), 2);
    m_doc.OnEditUndo();
    EXPECT_EQ(dynamic_cast<CDrawPhoto*>(m_doc.GetObjects().back())->imageNumber, 5);
}

TEST_F(PhotoTest, ContextMenusOnlyWithAtMostOneObjectSelected)
{
    CDrawPhoto* photo = AddPhoto(DocRect(1000, -3000, 2000, -2000));
    auto* logo = static_cast<CDrawLogo*>(m_doc.AddNoUndo(std::make_unique<CDrawLogo>(&m_view, DocRect(0, -200, 200, -400))));
    m_view.ClearSelection();
    EXPECT_EQ(photo->GetPopupMenuIndex(), 6);
    EXPECT_EQ(logo->GetPopupMenuIndex(), 7);
    m_view.Select(photo);
    EXPECT_EQ(photo->GetPopupMenuIndex(), 6);
    m_view.Select(logo, true);
    EXPECT_EQ(photo->GetPopupMenuIndex(), 0);
    EXPECT_EQ(logo->GetPopupMenuIndex(), 0);
    // Other commands do nothing and record nothing.
    EXPECT_EQ(logo->DoCommand(CDrawPhoto::kChoosePicture, QString(), 0), 1);
    EXPECT_EQ(photo->DoCommand(12345, QString(), 0), 1);
    EXPECT_EQ(m_doc.GetUndoCount(), 0);
}

TEST_F(PhotoTest, PagesAndExportPicturesShowThePlaceholdersPicturesAndNumbers)
{
    ASSERT_TRUE(m_doc.GetLogo().Load(WritePicture(Path("logo.bmp"), 200, 100, "BMP")));
    AddPhoto(DocRect(500, -2500, 2500, -1000));
    CDrawPhoto* filled = AddPhoto(DocRect(3000, -2500, 5000, -1000));
    ASSERT_TRUE(filled->LoadPicture(m_jpeg));
    filled->imageNumber = 3;
    auto* logo = static_cast<CDrawLogo*>(
        m_doc.AddNoUndo(std::make_unique<CDrawLogo>(&m_view, DocRect(500, -4500, 2500, -3000))));
    m_view.ClearSelection();
    const QImage page = RenderPage(m_doc, 1.0);
    SaveArtifact(page, QStringLiteral("photo-logo-page.png"));
    // The filled photo's halves: red left, blue right; the logo's too.
    const auto at = [&page](int x, int y) {
        const QPointF d = [&] {
            PageMapping m = PageMapping::ForZoom(1.0);
            m.windowOrigin = QPoint(0, -105);
            return m.ToDevice(x, y);
        }();
        return page.pixelColor(int(d.x()), int(d.y()));
    };
    EXPECT_EQ(at(3300, -1800).red() > 200 && at(3300, -1800).blue() < 60, true);
    EXPECT_EQ(at(4700, -1800).blue() > 200 && at(4700, -1800).red() < 60, true);
    EXPECT_EQ(at(1000, -3700).red() > 200, true);

    m_view.m_fZoom = 2.0f;
    const QImage exported = filled->ExportPicture();
    EXPECT_EQ(exported.size(), QSize(381, 286)); // 2000 x 1500 units at 200 %
    EXPECT_EQ(exported.pixelColor(20, exported.height() / 2).red() > 200, true);
    EXPECT_EQ(exported.pixelColor(exported.width() - 20, exported.height() / 2).blue() > 200, true);
    SaveArtifact(exported, QStringLiteral("photo-export.png"));
    m_view.m_fZoom = 1.0f;
    const QImage logoPicture = logo->ExportPicture();
    EXPECT_EQ(logoPicture.size(), QSize(190, 143));
    SaveArtifact(logoPicture, QStringLiteral("logo-export.png"));
    const QImage empty = dynamic_cast<CDrawPhoto*>(m_doc.GetObjects()[0])->ExportPicture();
    SaveArtifact(empty, QStringLiteral("photo-empty-export.png"));
    EXPECT_EQ(empty.pixelColor(empty.width() / 2, 10), QColor(0xC0, 0xC0, 0xC0)); // the object's brush
}

TEST(PictureDialog, PreviewShowsTheSizeDateAndTimeAndKeepsThemForNonPictures)
{
    QTemporaryDir dir;
    const QString file = WritePicture(dir.filePath(QStringLiteral("visible.bmp")), 640, 480, "BMP");
    const QDateTime when(QDate(2024, 5, 17), QTime(14, 3, 9));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    QFileInfo info(file);
    const QDateTime shown = info.birthTime().isValid() ? info.birthTime() : when;

    CViewFileDlg dlg(true, QString(), QString(), QString::fromLatin1(CDrawPhoto::kPictureFilter));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Picture select"));
    EXPECT_EQ(dlg.nameFilters().front(),
              QStringLiteral("(*.bmp *.BMP *.gif *.GIF *.jpg *.JPG *.pcx *.PCX *.tga *.TGA *.tif *.TIF)"));
    const auto text = [&dlg](int id) { return static_cast<QLabel*>(dlg.GetDlgItem(id))->text(); };
    ASSERT_NE(dlg.GetDlgItem(CViewFileDlg::kPlayVoice), nullptr);
    EXPECT_FALSE(dlg.GetDlgItem(CViewFileDlg::kPlayVoice)->isEnabled());

    dlg.setDirectory(dir.path());
    dlg.RefreshPreview(file);
    EXPECT_EQ(text(CViewFileDlg::kSize), QStringLiteral("640 * 480"));
    EXPECT_EQ(text(CViewFileDlg::kDate), shown.toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(text(CViewFileDlg::kTime), shown.toString(QStringLiteral("HH:mm:ss")));
    EXPECT_EQ(dlg.PreviewPicture().GetWidth(), 640);
    dlg.resize(900, 500);
    dlg.show();
    QApplication::processEvents();
    QDir().mkpath(QStringLiteral(DOCUMENT_TEST_ARTIFACTS));
    dlg.grab().save(QStringLiteral(DOCUMENT_TEST_ARTIFACTS "/picture-dialog.png"));

    // A folder or a file that is no picture: everything stays.
    QFile other(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("text");
    other.close();
    for (const QString& path : {dir.path(), other.fileName()}) {
        dlg.RefreshPreview(path);
        EXPECT_EQ(dlg.PreviewPicture().GetWidth(), 640) << path.toStdString();
        EXPECT_EQ(text(CViewFileDlg::kSize), QStringLiteral("640 * 480"));
    }
    EXPECT_EQ(text(CViewFileDlg::kDate), shown.toString(QStringLiteral("yyyy-MM-dd")));
    // A recognised picture that does not load: no picture, the size kept.
    QFile broken(dir.filePath(QStringLiteral("broken.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray("BM") + QByteArray(60, '\x7f'));
    broken.close();
    dlg.RefreshPreview(broken.fileName());
    EXPECT_TRUE(dlg.PreviewPicture().IsEmpty());
    EXPECT_EQ(text(CViewFileDlg::kSize), QStringLiteral("640 * 480"));
    // A name typed into the file-name box is previewed too.
    auto* nameEdit = dlg.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameEdit, nullptr);
    nameEdit->setText(QStringLiteral("visible.bmp"));
    EXPECT_EQ(dlg.PreviewPicture().GetWidth(), 640);
    dlg.hide();
}

TEST(ImageNumberDialog, NumbersOutsideOneToAThousandAreRefused)
{
    std::vector<QString> shown;
    SetMessageBoxHook([&shown](const MessageBoxRequest& r) {
        shown.push_back(r.text);
        return IDOK_ANSWER;
    });
    struct Case {
        const char* typed;
        bool accepted;
        int number;
    };
    for (const Case c : {Case{"0", false, 7}, Case{"1001", false, 7}, Case{"abc", false, 7}, Case{"1", true, 1},
                         Case{"1000", true, 1000}, Case{" 42 ", true, 42}}) {
        CImageNumberDlg dlg;
        dlg.m_number = 7;
        dlg.show();
        auto* edit = dlg.GetDlgItemAs<QLineEdit>(CImageNumberDlg::kNumberEdit);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), QStringLiteral("7"));
        edit->setText(QString::fromLatin1(c.typed));
        shown.clear();
        dlg.ClickButton(CDialog::kIdOk);
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dlg.isVisible(), !c.accepted) << c.typed;
        EXPECT_EQ(shown.size(), c.accepted ? 0u : 1u) << c.typed;
        EXPECT_EQ(dlg.m_number, c.number);
        dlg.hide();
    }
    SetMessageBoxHook({});
}

TEST(EmbeddedItems, AReportHoldingOneIsRefusedWithItsOwnMessage)
{
    RecordingEnvironment env;
    CDI_RptDoc doc(&env);
    AddShape(doc, nullptr, CDrawRect::rectangle, DocRect(0, 0, 100, -100));
    const QByteArray before = doc.StoreContents();

    CDI_RptDoc writerDoc(&env);
    for (const DrawClass* cls : {&CDrawOleObj::kClass, &CDrawItem::kClass}) {
        platform::ArchiveWriter ar(&writerDoc);
        const Bytes header = ContentsHeader(1, 6.0f);
        ar.writeBytes(header.data());
        std::unique_ptr<CDrawObj> item = cls == &CDrawOleObj::kClass ? std::unique_ptr<CDrawObj>(new CDrawOleObj)
                                                                     : std::unique_ptr<CDrawObj>(new CDrawItem);
        const CDrawObj* list[] = {item.get()};
        ar.writeObjectList(list);
        ar.writeI32(2540);
        ar.writeI32(2540);
        ar.writeU16(0); // no item: a reader could not step over a real one
        ar.writeCount(1);
        ar.writeBytes(Bytes().pageRecord("Report1").data());
        QString error;
        EXPECT_FALSE(doc.LoadContents(ar.data(), &error));
        EXPECT_EQ(error, QString::fromUtf8("报表中含有嵌入对象，本平台不能打开。"));
        EXPECT_EQ(doc.StoreContents(), before);
        // The clipboard form refuses it too, quietly.
        std::vector<std::unique_ptr<CDrawObj>> pasted;
        platform::ArchiveWriter clip(&writerDoc);
        clip.writeObjectList(list);
        EXPECT_FALSE(doc.ReadArchivedObjects(clip.data(), pasted));
        EXPECT_TRUE(pasted.empty());
    }
}
