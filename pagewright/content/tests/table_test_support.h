// Shared pieces of the table tests: a table made in a report, pixels of a
// drawn object, and a text cell that records the commands it is given.
#pragma once

#include "object_test_support.h"

#include "content/draw_result_table.h"
#include "content/draw_table.h"
#include "document/page_dc.h"

#include <QImage>
#include <QPainter>

namespace table_test {

using namespace object_test;

inline QPoint CenterOf(const DocRect& r)
{
    const DocRect n = r.Normalized();
    return QPoint(n.left + (n.right - n.left) / 2, n.top + (n.bottom - n.top) / 2);
}

// A table added to the report (no undo), laid out.
inline CDrawTable* AddTable(Report& r, int columns, int rows, const DocRect& rect = DocRect(1000, -3000, 4000, -1000))
{
    auto* t = r.Add(std::make_unique<CDrawTable>(&r.view, rect, columns, rows));
    t->RecalcLayout();
    r.view.Select(t, false); // undo records the selection
    return t;
}

inline void DrawOnce(CDrawObj& obj, QImage* out = nullptr)
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PageDC dc(painter, PageMapping::ForZoom(1.0));
        obj.Draw(dc);
    }
    if (out != nullptr)
        *out = image;
}

// Reads a table record into a new table.
inline std::unique_ptr<CDrawTable> ReadTable(const QByteArray& bytes, const platform::ArchiveClassRegistry& registry,
                                             DrawView* view = nullptr)
{
    platform::ArchiveReader reader(bytes, registry);
    auto table = std::make_unique<CDrawTable>();
    table->SetView(view);
    table->Serialize(reader);
    return table;
}

// A text cell that keeps the format keys it receives.
class SpyCell : public CDrawText {
public:
    static const DrawClass kClass;
    const DrawClass& GetRuntimeClass() const override { return kClass; }
    int DoCommand(unsigned id, const QString& key, int value) override
    {
        keys << key;
        (void)id, (void)value;
        return 1;
    }
    QStringList keys;
};
inline const DrawClass SpyCell::kClass{{"CSpyCell1", 0, &platform::createArchiveObject<SpyCell>}, &CDrawText::kClass};

// The registry of the tests plus the spy cell.
inline const DrawClassRegistry& SpyRegistry()
{
    static const DrawClassRegistry registry = [] {
        DrawClassRegistry r = DrawClassRegistry::MakeBasic();
        CDrawIR::Register(r);
        RegisterTextObjects(r);
        RegisterTableObjects(r);
        r.Add(SpyCell::kClass);
        return r;
    }();
    return registry;
}

// A table whose text cells are spies: the record of a new table with the
// class name swapped (same length).
inline std::unique_ptr<CDrawTable> SpyTable(Report& r, int columns, int rows)
{
    CDrawTable made(&r.view, DocRect(1000, -3000, 4000, -1000), columns, rows);
    made.RecalcLayout();
    QByteArray bytes = RecordOf(made);
    bytes.replace("CDrawText", "CSpyCell1");
    auto table = ReadTable(bytes, SpyRegistry().ArchiveRegistry(), &r.view);
    table->SetDocument(&r.doc);
    return table;
}

} // namespace table_test
