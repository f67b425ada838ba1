// The program started in private folders for template conversion, with
// every object class a template may hold, and a small template builder.
#pragma once

#include "test_support.h"

#include "app_environment.h"
#include "layout_file.h"
#include "main_frame.h"
#include "rpt_view.h"
#include "split_frame.h"

#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/chart_objects.h"
#include "content/table_objects.h"
#include "content/text_objects.h"
#include "document/draw_photo.h"
#include "document/draw_poly.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"
#include "platform/ini_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace convtest {

inline void RegisterObjectClasses()
{
    CDrawIR::Register(DrawClassRegistry::Standard());
    RegisterTextObjects(DrawClassRegistry::Standard());
    RegisterTableObjects(DrawClassRegistry::Standard());
    RegisterChartObjects(DrawClassRegistry::Standard());
    CDraw3DMap::Register(DrawClassRegistry::Standard());
}

// A page point in the device units of a view at its defaults: 96 dpi,
// 1008 units per inch, a 10-unit margin, y downwards.
inline int DeviceX(int x) { return int(std::lround((x + 10) * 96.0 / 1008.0)); }
inline int DeviceY(int y) { return int(std::lround((10 - y) * 96.0 / 1008.0)); }

struct Conversion {
    Conversion()
    {
        RegisterObjectClasses();
        app = box.Start();
    }
    QString Path(const QString& name) const { return box.Path(name); }
    QString ProgramFile(const QString& name) const { return box.ProgramFolder() + QLatin1Char('/') + name; }
    int WindowCount() const { return int(app->GetMainFrame()->GetMdiClient()->subWindowList().size()); }
    CDI_RptView* ActiveView() const
    {
        CSplitFrame* child = app->GetMainFrame()->MDIGetActive();
        return child != nullptr ? qobject_cast<CDI_RptView*>(child->GetActiveView()) : nullptr;
    }

    StartupSandbox box;
    std::unique_ptr<CDI_RptApp> app;
};

// A template made headless, object by object.
class TemplateBuilder {
public:
    TemplateBuilder()
    {
        RegisterObjectClasses();
        doc.SetView(&view);
    }
    ~TemplateBuilder() { doc.SetView(nullptr); }

    template <class T>
    T* Add(std::unique_ptr<T> object, int page = 0)
    {
        object->page = std::uint32_t(page);
        return static_cast<T*>(doc.AddNoUndo(std::move(object)));
    }
    CDrawText* Text(const DocRect& r, const QString& text, int align = 1, int page = 0)
    {
        auto* t = Add(std::make_unique<CDrawText>(&view, r), page);
        t->SetPlainText(&view, text, align, nullptr);
        return t;
    }
    CDrawIR* Image(const DocRect& r, int number, const QString& file = {}, int page = 0)
    {
        auto* image = Add(std::make_unique<CDrawIR>(&view, r), page);
        image->SetNumber(number);
        if (!file.isEmpty()) {
            EXPECT_TRUE(image->LoadIRFile(file)) << file.toStdString();
        }
        return image;
    }
    CDrawPhoto* Photo(const DocRect& r, int imageNumber, int page = 0)
    {
        auto* photo = Add(std::make_unique<CDrawPhoto>(&view, r), page);
        photo->SetLinkedIRNumber(imageNumber);
        return photo;
    }
    void Pages(int count)
    {
        while (doc.GetPageCount() < count)
            doc.InsertPage(0, QStringLiteral("P%1").arg(doc.GetPageCount() + 1));
        doc.SetCurPage(0);
    }
    QString Save(const QString& path)
    {
        EXPECT_TRUE(doc.SaveToPath(path)) << doc.GetLastError().toStdString();
        return path;
    }

    CDI_RptDoc doc;
    DrawView view;
};

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace convtest
