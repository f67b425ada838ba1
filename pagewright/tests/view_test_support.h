// The report view in a started program: a fixture with the blank report of
// the start, mouse scripts in page units, and a fake infrared image.
#pragma once

#include "test_support.h"

#include "main_frame.h"
#include "rpt_view.h"

#include "document/draw_rect.h"
#include "document/ir_image_object.h"
#include "document/rpt_doc.h"

#include <QProcessEnvironment>
#include <QtTest/QTest>

#include <memory>

// An infrared image as the view and tools see it: a rectangle with a
// number, a 100 x 80 picture whose temperature is its column, and a record
// of the analyses asked of it.
class FakeIRImage : public CDrawRect, public IRImageObject {
public:
    static const DrawClass kClass;
    using CDrawRect::CDrawRect;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;

    int GetIRNumber() const override { return number; }
    void SetIRNumber(int n) override { number = n; }
    bool HasPicture() const override { return true; }
    QSize ImageSize() const override { return {100, 80}; }
    double PixelScaleX() const override { return 100.0 / double(position.Normalized().Width()); }
    double PixelScaleY() const override { return 80.0 / double(position.Normalized().Height()); }
    std::optional<float> PointTemperature(int px, int py) const override
    {
        (void)py;
        return float(px);
    }
    std::pair<float, float> ScaleRange() const override { return {0.0f, 100.0f}; }
    void AddPointAnalysis(QPoint p) override { analyses.push_back(DocRect(p, p)); }
    void AddLineAnalysis(const DocRect& r) override { analyses.push_back(r); }
    void AddAreaAnalysis(const DocRect& r) override { analyses.push_back(r); }
    void AddEllipseAnalysis(const DocRect& r) override { analyses.push_back(r); }
    void DeleteHandleOwner(int) override {}
    void SetIsothermAtPoint(int, int, int, int) override {}
    void MarkChanged() override {}

    int number = 0;
    std::vector<DocRect> analyses;
};

// Registers the fake image's class and a factory of the image tool while
// it lives.
// Puts the fake image in the standard registry and the image tool for its
// lifetime; the registry is restored afterwards, so a later test in the same
// process reads real images again.
class FakeIRRegistration {
public:
    FakeIRRegistration();
    ~FakeIRRegistration();

private:
    DrawClassRegistry m_saved;
};

class ViewFixture {
public:
    ViewFixture();
    ~ViewFixture();

    CDI_RptView* View() const;
    CDI_RptDoc* Doc() const { return View()->GetDocument(); }
    CMainFrame* Frame() const { return app->GetMainFrame(); }
    // Opens a report file in a child frame of its own; the new view.
    CDI_RptView* Open(const QString& path);

    // The client point of a page point (page offset applied).
    QPoint Client(QPoint doc) const;
    void Click(QPoint doc, Qt::KeyboardModifiers keys = {});
    void Drag(QPoint fromDoc, QPoint toDoc, int steps = 4);
    // A drag in client pixels from a page point.
    void DragPixels(QPoint fromDoc, QPoint byPixels, int steps = 4);
    void Command(int id);
    CDrawRect* AddRect(DocRect r, int page = -1);

    StartupSandbox box;
    std::unique_ptr<CDI_RptApp> app;
};

// A report file of pages pages, each with a yellow rectangle whose left edge
// is 1000 + 100 * page and a red line; the first page also has a round
// rectangle, an ellipse and a polygon.
bool WriteShapesReport(const QString& path, int pages);

// The environment a tool started by a test (rptdump) runs in: the program
// folder and settings of the fixture's program, and a runtime folder of its
// own under dir, so that Qt has nothing to say either.
QProcessEnvironment ToolEnvironment(const ViewFixture& f, const QString& dir);
