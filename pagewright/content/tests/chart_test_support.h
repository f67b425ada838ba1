// Shared pieces of the chart tests: a report with a view, an infrared image
// loaded from a camera fixture with line and area analyses of our own, and
// drawing and sheet helpers.
#pragma once

#include "object_test_support.h"

#include "content/chart_objects.h"
#include "content/chart_pages.h"
#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "document/page_dc.h"
#include "document/property_sheet.h"

#include <QImage>
#include <QLineEdit>
#include <QPainter>

namespace chart_test {

inline const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = [] {
        DrawClassRegistry r = DrawClassRegistry::MakeBasic();
        CDrawIR::Register(r);
        RegisterTextObjects(r);
        RegisterChartObjects(r);
        return r;
    }();
    return registry;
}

inline IRAnalysisItem Analysis(int kind, int number, const char* name, IRShape shape)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.number = number;
    item.SetName(QString::fromUtf8(name));
    item.shape = shape;
    item.emissivity = 0.95f;
    item.distance = 1.0f;
    item.background = 20.0f;
    return item;
}

struct ChartReport {
    object_test::TestEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    CDrawIR* ir = nullptr;

    ChartReport() { doc.SetView(&view); }
    ~ChartReport() { doc.SetView(nullptr); }

    template <class T>
    T* Add(std::unique_ptr<T> obj)
    {
        return static_cast<T*>(doc.AddNoUndo(std::move(obj)));
    }
    // Image 1 from the 320 x 240 fixture, its own analyses replaced by ours.
    CDrawIR* AddImage(int number = 1, const char* file = "k4_320.vni",
                      const DocRect& rect = DocRect(500, -500, 4500, -3500))
    {
        auto image = std::make_unique<CDrawIR>(&view, rect);
        image->SetNumber(number);
        ir = Add(std::move(image));
        view.RebuildIRObjects();
        EXPECT_TRUE(ir->LoadIRFile(QStringLiteral(CONTENT_IR_FIXTURES "/") + QString::fromLatin1(file)));
        ir->m_analyses.RemoveAll();
        return ir;
    }
    void AddLine(int number, IRShape shape)
    {
        ir->m_analyses.Add(Analysis(2, number, QString::asprintf("线%02d", number).toUtf8().constData(), shape));
    }
    void AddArea(int number, IRShape shape, int kind = 3)
    {
        ir->m_analyses.Add(Analysis(kind, number, QString::asprintf("区域%02d", number).toUtf8().constData(), shape));
    }
    CDrawProfile* AddProfile(const DocRect& rect = DocRect(500, -4000, 5000, -6500))
    {
        return Add(std::make_unique<CDrawProfile>(&view, rect));
    }
    CDrawHistogram* AddHistogram(const DocRect& rect = DocRect(5200, -500, 8200, -3500))
    {
        return Add(std::make_unique<CDrawHistogram>(&view, rect));
    }
};

// The object drawn once into an image on a screen mapping.
inline QImage DrawOnce(CDrawObj& obj)
{
    const DocRect r = obj.position.Normalized();
    QImage image(900, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageMapping mapping = PageMapping::ForZoom(1.0);
    mapping.windowOrigin = QPoint(r.left, r.bottom);
    mapping.viewportOrigin = QPointF(20, 20);
    PageDC dc(painter, mapping);
    obj.Draw(dc);
    return image;
}

inline PropertySheet& SheetOf(QDialog& dialog) { return dynamic_cast<PropertySheet&>(dialog); }

inline void SetEdit(PropertyPage* page, int id, const QString& text)
{
    auto* edit = page->GetDlgItemAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

inline QString EditText(PropertyPage* page, int id)
{
    auto* edit = page->GetDlgItemAs<QLineEdit>(id);
    return edit != nullptr ? edit->text() : QString();
}

} // namespace chart_test
