#include "view_test_support.h"

#include "split_frame.h"

#include "document/draw_poly.h"
#include "document/draw_tool.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

const DrawClass FakeIRImage::kClass{{"CDrawIR", 0, &platform::createArchiveObject<FakeIRImage>},
                                    &CDrawRect::kClass,
                                    &CreateDrawObjForUndo<FakeIRImage>};

void FakeIRImage::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawRect::Serialize(ar);
    ar.writeI32(number);
}

void FakeIRImage::Serialize(platform::ArchiveReader& ar)
{
    CDrawRect::Serialize(ar);
    number = ar.readI32();
}

FakeIRRegistration::FakeIRRegistration() : m_saved(DrawClassRegistry::Standard())
{
    DrawClassRegistry& registry = DrawClassRegistry::Standard();
    if (registry.Find("CDrawIR") == nullptr)
        registry.Add(FakeIRImage::kClass);
    SetToolObjectFactory(kShapeIRImage, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<FakeIRImage>(&view, rect);
    });
}

FakeIRRegistration::~FakeIRRegistration()
{
    SetToolObjectFactory(kShapeIRImage, {});
    DrawClassRegistry::Standard() = m_saved;
}

ViewFixture::ViewFixture()
{
    app = box.Start();
    if (app == nullptr)
        return;
    CMainFrame* frame = app->GetMainFrame();
    frame->resize(1200, 900);
    frame->show();
    QApplication::processEvents();
    g_currentKind = kShapeSelect;
    g_toolMode = kModeNone;
}

ViewFixture::~ViewFixture()
{
    g_currentKind = kShapeSelect;
    g_toolMode = kModeNone;
    if (app != nullptr && app->GetMainFrame() != nullptr) {
        // Nothing is saved on the way out.
        for (QMdiSubWindow* w : app->GetMainFrame()->GetMdiClient()->subWindowList()) {
            auto* frame = qobject_cast<CSplitFrame*>(w);
            if (auto* view = frame != nullptr ? qobject_cast<CDI_RptView*>(frame->GetActiveView()) : nullptr)
                view->GetDocument()->SetModifiedFlag(false);
        }
        app->GetMainFrame()->GetMdiClient()->closeAllSubWindows();
        QApplication::processEvents();
    }
}

CDI_RptView* ViewFixture::View() const
{
    CSplitFrame* child = app->GetMainFrame()->MDIGetActive();
    return child != nullptr ? qobject_cast<CDI_RptView*>(child->GetActiveView()) : nullptr;
}

CDI_RptView* ViewFixture::Open(const QString& path)
{
    if (!app->OpenReport(path))
        return nullptr;
    QApplication::processEvents();
    return View();
}

QPoint ViewFixture::Client(QPoint doc) const
{
    const CDI_RptView* view = View();
    return view->DocToClient(QPoint(doc.x() + view->m_xOffset, doc.y()));
}

void ViewFixture::Click(QPoint doc, Qt::KeyboardModifiers keys)
{
    const QPoint p = Client(doc);
    QTest::mouseMove(View(), p);
    QTest::mouseClick(View(), Qt::LeftButton, keys, p);
}

void ViewFixture::Drag(QPoint fromDoc, QPoint toDoc, int steps)
{
    const QPoint a = Client(fromDoc);
    const QPoint b = Client(toDoc);
    DragPixels(fromDoc, b - a, steps);
}

void ViewFixture::DragPixels(QPoint fromDoc, QPoint byPixels, int steps)
{
    CDI_RptView* view = View();
    const QPoint a = Client(fromDoc);
    QTest::mouseMove(view, a);
    QTest::mousePress(view, Qt::LeftButton, {}, a);
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(view, a + byPixels * i / steps);
    QTest::mouseRelease(view, Qt::LeftButton, {}, a + byPixels);
}

void ViewFixture::Command(int id)
{
    app->GetMainFrame()->ExecuteCommand(id);
    QApplication::processEvents();
}

CDrawRect* ViewFixture::AddRect(DocRect r, int page)
{
    CDI_RptDoc* doc = Doc();
    auto obj = std::make_unique<CDrawRect>(View(), r);
    obj->page = static_cast<std::uint32_t>(page < 0 ? doc->GetCurPage() : page);
    return static_cast<CDrawRect*>(doc->AddNoUndo(std::move(obj)));
}

bool WriteShapesReport(const QString& path, int pages)
{
    CDI_RptDoc doc;
    for (int i = 1; i < pages; ++i)
        doc.InsertPage(0, QStringLiteral("Page%1").arg(i + 1));
    for (int page = 0; page < pages; ++page) {
        auto rect = std::make_unique<CDrawRect>(nullptr, DocRect(1000 + 100 * page, -1000, 4000, -3000));
        rect->page = static_cast<std::uint32_t>(page);
        rect->brushOn = 1;
        rect->brush.color = RGB(255, 255, 0);
        doc.AddNoUndo(std::move(rect));
        auto line = std::make_unique<CDrawRect>(nullptr, DocRect(1000, -4000, 7000, -6000));
        line->shape = CDrawRect::arrow;
        line->page = static_cast<std::uint32_t>(page);
        line->pen.color = RGB(255, 0, 0);
        line->pen.widthX = line->pen.widthY = 3;
        doc.AddNoUndo(std::move(line));
    }
    // The first page also has the other shapes.
    const auto add = [&doc](int shape, DocRect r, COLORREF fill) {
        auto obj = std::make_unique<CDrawRect>(nullptr, r);
        obj->shape = shape;
        obj->page = 0;
        obj->brushOn = fill != 0xFFFFFFFF ? 1 : 0;
        obj->brush.color = fill;
        obj->roundness = QPoint(600, 400);
        doc.AddNoUndo(std::move(obj));
    };
    add(CDrawRect::roundRectangle, DocRect(4500, -1000, 7500, -3000), 0xFFFFFFFF);
    add(CDrawRect::ellipse, DocRect(1000, -6500, 4000, -8500), RGB(0, 200, 0));
    auto poly = std::make_unique<CDrawPoly>(nullptr, DocRect());
    for (QPoint p : {QPoint(4500, -6500), QPoint(7500, -6500), QPoint(6000, -9000)})
        poly->AddPoint(p, nullptr);
    poly->page = 0;
    poly->pen.widthX = poly->pen.widthY = 30;
    poly->brushOn = 1;
    poly->brush.color = RGB(255, 0, 255);
    doc.AddNoUndo(std::move(poly));
    doc.SetCurPage(0);
    return doc.SaveToPath(path);
}

QProcessEnvironment ToolEnvironment(const ViewFixture& f, const QString& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTRELWORKS_PROGRAM_DIR"), f.box.ProgramFolder());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), f.box.ConfigFolder());
    const QString runtime = QDir(dir).filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}
