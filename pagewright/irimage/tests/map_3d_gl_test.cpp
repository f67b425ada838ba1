// The 3D map's OpenGL window and dialog with a real context (Mesa's
// software renderer under an X server): rendering, snapshots, mouse and
// wheel, and a confirmed dialog storing its snapshot in the map.
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"
#include "irimage/gl_map_wnd.h"
#include "irimage/map_prop_dlg.h"
#include "test_support.h"

#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include "platform/dib.h"
#include "platform/dib_image.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace irtest;

namespace {

// Data of w x h points, column by column: temperatures rising with x (a
// ramp) and colours red in the lowest row, green above it.
struct Surface {
    int w;
    int h;
    std::vector<float> temps;
    std::vector<std::uint8_t> colors;
    Surface(int width, int height, bool flat) : w(width), h(height)
    {
        temps.resize(std::size_t(w * h));
        for (int i = 0; i < w; ++i)
            for (int j = 0; j < h; ++j)
                temps[std::size_t(i * h + j)] = flat ? 25.0f : 20.0f + float(i);
        colors.resize(std::size_t(w * h * 3));
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                std::uint8_t* p = &colors[std::size_t(3 * (r * w + c))];
                const bool lowest = r < h / 2;
                p[0] = flat ? 0 : std::uint8_t(255 * c / w); // blue rising along x
                p[1] = lowest ? 0 : 255;
                p[2] = lowest ? 255 : 0;
            }
        }
    }
};

// A shown window with a context; the tests skip when none can be made.
struct Window {
    CGLMapWnd wnd;
    Window(int w, int h)
    {
        wnd.resize(w, h);
        wnd.show();
        for (int i = 0; i < 20 && !wnd.HasContext(); ++i)
            QCoreApplication::processEvents();
    }
};

QString Artifacts()
{
    const QString dir = QStringLiteral(IRIMAGE_TEST_ARTIFACTS);
    QDir().mkpath(dir);
    return dir;
}

void SendMouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void SendWheel(QWidget& w, int delta)
{
    QWheelEvent e(QPointF(10, 10), w.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
}

// A report with image 1 (k4_320, a 40 x 20 rectangle analysis 1) and a
// 3000 x 3000 map, on a view.
struct MapReport {
    CDI_RptDoc doc;
    DrawView view;
    CDrawIR* image = nullptr;
    CDraw3DMap* map = nullptr;

    explicit MapReport(DocumentEnvironment& env) : doc(&env, &RegistryWithMaps())
    {
        doc.SetView(&view);
        auto ir = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000));
        ir->SetNumber(1);
        EXPECT_TRUE(ir->LoadIRFile(Fixture("k4_320.vni")));
        IRAnalysisItem rect;
        rect.kind = kAnalysisRect;
        rect.number = 1;
        rect.shape = {50, 60, 90, 80};
        rect.emissivity = 0.95f;
        rect.distance = 1.0f;
        ir->m_analyses.Add(rect);
        image = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(ir)));
        map = static_cast<CDraw3DMap*>(doc.AddNoUndo(std::make_unique<CDraw3DMap>(&view, DocRect(0, 0, 3000, -3000))));
        view.RebuildIRObjects();
    }
    ~MapReport() { doc.SetView(nullptr); }
};

#define REQUIRE_CONTEXT(window)                                                                                    \
    if (!(window).wnd.HasContext())                                                                                \
    GTEST_SKIP() << "no OpenGL context on this display"

} // namespace

TEST(Map3DWindow, AGradientRendersAsASurface)
{
    Window win(400, 300);
    REQUIRE_CONTEXT(win);
    Surface s(64, 48, false);
    win.wnd.SetData(QSize(s.w, s.h), s.colors.data(), s.temps.data());
    win.wnd.SetBackColor(0xFFFFFF);
    win.wnd.SetRotationX(-40);
    win.wnd.SetRotationY(20);
    const QImage shot = win.wnd.grabFramebuffer();
    ASSERT_FALSE(shot.isNull());
    shot.save(Artifacts() + QStringLiteral("/map3d-gradient.png"));
    EXPECT_TRUE(win.wnd.IsListValid());
    EXPECT_EQ(shot.pixel(2, 2), qRgb(255, 255, 255)) << "background in the corner";
    int red = 0, green = 0;
    for (int y = 0; y < shot.height(); y += 4) {
        for (int x = 0; x < shot.width(); x += 4) {
            const QRgb c = shot.pixel(x, y);
            red += qRed(c) > 200 && qGreen(c) < 60;
            green += qGreen(c) > 200 && qRed(c) < 60;
        }
    }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
}

TEST(Map3DWindow, ASnapshotIsAPaddedBottomUpDibThatOpensAsBmp)
{
    Window win(301, 200);
    REQUIRE_CONTEXT(win);
    Surface s(64, 48, true);
    win.wnd.SetData(QSize(s.w, s.h), s.colors.data(), s.temps.data());
    win.wnd.SetBackColor(0xFF0000); // blue
    platform::CDibImage picture;
    EXPECT_FALSE(win.wnd.SnapshotToDib(nullptr));
    ASSERT_TRUE(win.wnd.SnapshotToDib(&picture));
    EXPECT_EQ(CGLMapWnd::SnapshotRowBytes(301), 904);
    const QByteArrayView dib = picture.GetDib();
    platform::DibInfoHeader header{};
    ASSERT_TRUE(platform::GetDIBInfoHeader(dib, &header));
    EXPECT_EQ(header.biWidth, 301);
    EXPECT_EQ(header.biHeight, 200);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biSizeImage, 904u * 200u);
    EXPECT_EQ(header.biXPelsPerMeter, 300);
    EXPECT_EQ(header.biYPelsPerMeter, 300);
    EXPECT_EQ(dib.size(), 40 + 904 * 200);
    EXPECT_EQ(picture.GetHandle().left(2), QByteArray("BM")) << "a real file header";

    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("snapshot.bmp"));
    ASSERT_TRUE(picture.Save(bmp, platform::CDibImage::kTypeBmp));
    picture.ToImage().save(Artifacts() + QStringLiteral("/map3d-snapshot-301.png"));
    // The surface (256 x 192 units, 1200 away: about 51 x 39 pixels) stands in the middle; its lowest
    // half red, its upper half green; the corners show the background.
    QProcess probe;
    probe.start(QStringLiteral(IRIMAGE_TEST_PYTHON),
                {QStringLiteral(IRIMAGE_TEST_SCRIPTS "/bmp_colour_probe.py"), bmp, QStringLiteral("1,1"),
                 QStringLiteral("299,198"), QStringLiteral("150,90"), QStringLiteral("150,110")});
    ASSERT_TRUE(probe.waitForFinished(30000));
    const QStringList lines = QString::fromLatin1(probe.readAllStandardOutput()).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5) << probe.readAllStandardError().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("301 200"));
    EXPECT_EQ(lines[1], QStringLiteral("1,1 0 0 255"));
    EXPECT_EQ(lines[2], QStringLiteral("299,198 0 0 255"));
    EXPECT_EQ(lines[3], QStringLiteral("150,90 0 255 0")) << "upper half green";
    EXPECT_EQ(lines[4], QStringLiteral("150,110 255 0 0")) << "lower half red";
}

TEST(Map3DWindow, DragRotatesAndTheWheelAndKeypadZoom)
{
    Window win(200, 150);
    std::vector<std::pair<int, float>> told;
    QObject::connect(&win.wnd, &CGLMapWnd::viewChanged, [&told](int kind, float v) { told.emplace_back(kind, v); });

    SendMouse(win.wnd, QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    SendMouse(win.wnd, QEvent::MouseMove, {60, 50}, Qt::LeftButton);
    EXPECT_EQ(win.wnd.RotationY(), 10.0f);
    EXPECT_EQ(win.wnd.RotationX(), 0.0f);
    SendMouse(win.wnd, QEvent::MouseMove, {60, 45}, Qt::LeftButton);
    EXPECT_EQ(win.wnd.RotationX(), -5.0f);
    SendMouse(win.wnd, QEvent::MouseButtonRelease, {60, 45}, Qt::NoButton);
    SendMouse(win.wnd, QEvent::MouseMove, {90, 90}, Qt::NoButton);
    EXPECT_EQ(win.wnd.RotationY(), 10.0f) << "no drag after the release";
    const std::vector<std::pair<int, float>> rotations{{0, 0.0f}, {1, 10.0f}, {0, -5.0f}, {1, 10.0f}};
    EXPECT_EQ(told, rotations);

    told.clear();
    for (int i = 0; i < 3; ++i)
        SendWheel(win.wnd, 120);
    const float three = 1.0f * 1.1f * 1.1f * 1.1f;
    EXPECT_EQ(win.wnd.Scale(), three);
    SendWheel(win.wnd, -120);
    QKeyEvent minus(QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, QStringLiteral("-"));
    QCoreApplication::sendEvent(&win.wnd, &minus);
    EXPECT_FLOAT_EQ(win.wnd.Scale(), three * 0.9090909f * 0.9090909f);
    ASSERT_EQ(told.size(), 5u);
    EXPECT_EQ(told[2], std::make_pair(3, three));
}

TEST(Map3DWindow, ConfirmingTheDialogStoresThePreviewInTheMap)
{
    TestEnvironment env;
    MapReport r(env);
    CDraw3DMap* map = r.map;
    C3DMapPropDlg dlg;
    dlg.SetMapObject(map);
    dlg.show();
    for (int i = 0; i < 20 && !dlg.Preview()->HasContext(); ++i)
        QCoreApplication::processEvents();
    if (!dlg.Preview()->HasContext())
        GTEST_SKIP() << "no OpenGL context on this display";
    dlg.OnPreviewChanged(CGLMapWnd::kRotationX, -30.0f);
    dlg.grab().save(Artifacts() + QStringLiteral("/map3d-dialog.png"));
    dlg.ClickButton(CDialog::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(map->m_bHasSnapshot, 1);
    EXPECT_EQ(map->m_snapshot.GetWidth(), dlg.Preview()->width());
    EXPECT_EQ(map->m_snapshot.GetHeight(), dlg.Preview()->height());
    EXPECT_EQ(map->m_fRotX, -30.0f);
    EXPECT_EQ(map->m_nDataWidth, 318);
    map->m_snapshot.ToImage().save(Artifacts() + QStringLiteral("/map3d-snapshot.png"));
}

namespace {

// Runs the properties dialog as a user would: the area of 40 x 20 chosen,
// then OK.
class ConfirmingEnvironment : public TestEnvironment {
public:
    bool RunDialog(QDialog& dialog) override
    {
        auto& dlg = static_cast<C3DMapPropDlg&>(dialog);
        dlg.show();
        for (int i = 0; i < 20 && !dlg.Preview()->HasContext(); ++i)
            QCoreApplication::processEvents();
        hadContext = dlg.Preview()->HasContext();
        auto* areas = dlg.GetDlgItemAs<QComboBox>(C3DMapPropDlg::kIdAreaCombo);
        areas->setCurrentIndex(0);
        emit areas->activated(0);
        dlg.ClickButton(CDialog::kIdOk);
        return dlg.result() == QDialog::Accepted;
    }
    bool hadContext = false;
};

} // namespace

TEST(Map3DWindow, ThePropertiesCommandFitsTheFrameToTheSnapshotInOneUndoStep)
{
    ConfirmingEnvironment env;
    MapReport r(env);
    CDraw3DMap* map = r.map;
    r.view.Select(map); // the command reaches the selected object

    EXPECT_EQ(map->DoCommand(CDraw3DMap::kCmdSettings, QString(), 0), 1);
    if (!env.hadContext)
        GTEST_SKIP() << "no OpenGL context on this display";
    ASSERT_EQ(map->m_bHasSnapshot, 1);
    EXPECT_EQ(map->m_fZoom, 64.0f);
    // 3000 x 3000 is narrower than the snapshot's 4:3: the width follows.
    const double aspect = map->SnapshotAspect();
    EXPECT_EQ(map->position, DocRect(0, -3000, int(3000 * aspect), 0));
    ASSERT_TRUE(r.doc.CanUndo());
    r.doc.OnEditUndo();
    map = nullptr;
    for (CDrawObj* o : r.doc.GetObjects())
        if (auto* m = dynamic_cast<CDraw3DMap*>(o))
            map = m;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->m_bHasSnapshot, 0);
    EXPECT_EQ(map->m_bLinked, 0);
    EXPECT_EQ(map->position, DocRect(0, 0, 3000, -3000));
}
