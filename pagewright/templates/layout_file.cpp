#include "layout_file.h"

#include "profile_text.h"

#include "content/draw_table.h"
#include "content/draw_text.h"
#include "document/draw_class.h"
#include "document/draw_photo.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/ir_image_object.h"
#include "document/rpt_doc.h"
#include "platform/ini_file.h"

#include <algorithm>
#include <cstdlib>

// The sections follow the order of the class tests; each is named after its
// class without the leading "C".
const std::array<const char*, kLayoutSectionCount> kLayoutSections = {
    "DrawIR",  "DrawPhoto",   "DrawLogo",        "Draw3DMap",       "DrawPoly", "DrawField", "DrawTable",
    "DrawResultTable", "DrawProfile", "DrawHistogram", "DrawTimeProfile", "DrawText", "DrawRect"};

namespace {

const QString kSystem = QStringLiteral("System");

QString Section(int index) { return QLatin1String(kLayoutSections[std::size_t(index)]); }

} // namespace

int LayoutSectionOf(const CDrawObj& object)
{
    // The undo codes test the same classes in the same order, from 1.
    const int code = object.UndoTypeCode();
    return code >= 1 && code <= kLayoutSectionCount ? code - 1 : -1;
}

QString LayoutFilePath(const QString& templatePath)
{
    const qsizetype dot = templatePath.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = std::max(templatePath.lastIndexOf(QLatin1Char('/')), templatePath.lastIndexOf(QLatin1Char('\\')));
    if (dot < 0 || dot < slash)
        return templatePath + QStringLiteral(".ini");
    return templatePath.left(dot) + QStringLiteral(".ini");
}

QString LayoutKey(int n, const char* name) { return QStringLiteral("OBJ%1_%2").arg(n).arg(QLatin1String(name)); }

QString LayoutCellKey(int n, int r, int c, const char* name)
{
    return QStringLiteral("OBJ%1_%2_%3_%4").arg(n).arg(r).arg(c).arg(QLatin1String(name));
}

void WriteLayout(CDI_RptDoc& doc, DrawView& view, platform::IniDocument& ini)
{
    const QPoint page = view.DocToClient(QPoint(doc.GetPageSize().width(), doc.GetPageSize().height()));
    ini.writeInt(kSystem, QStringLiteral("PageWidth"), std::abs(page.x()));
    ini.writeInt(kSystem, QStringLiteral("PageHeight"), std::abs(page.y()));
    ini.writeInt(kSystem, QStringLiteral("PageCount"), doc.GetPageCount());

    std::array<int, kLayoutSectionCount> counts{};
    for (CDrawObj* object : doc.GetObjects()) {
        const int kind = LayoutSectionOf(*object);
        if (kind < 0)
            continue;
        const int n = ++counts[std::size_t(kind)];
        const QString section = Section(kind);
        switch (kind) {
        case kLayoutIR:
            if (const IRImageObject* image = AsIRImage(object))
                ini.writeInt(section, LayoutKey(n, "IRNO"), image->GetIRNumber());
            break;
        case kLayoutPhoto:
            ini.writeInt(section, LayoutKey(n, "IRNO"), static_cast<CDrawPhoto*>(object)->GetLinkedIRNumber());
            break;
        case kLayoutTable: {
            auto* table = static_cast<CDrawTable*>(object);
            ini.writeInt(section, LayoutKey(n, "Row"), table->GetRowCount());
            ini.writeInt(section, LayoutKey(n, "Col"), table->GetColumnCount());
            for (int r = 0; r < table->GetRowCount(); ++r) {
                for (int c = 0; c < table->GetColumnCount(); ++c) {
                    QString text;
                    int alignment = 0;
                    table->GetCellText(&view, r, c, text, alignment);
                    ini.writeString(section, LayoutCellKey(n, r, c, "Content"), EscapeProfileText(text));
                    ini.writeInt(section, LayoutCellKey(n, r, c, "Align"), alignment);
                }
            }
            break;
        }
        case kLayoutText: {
            QString text;
            int alignment = 1; // an empty text is the default text, left-aligned
            static_cast<CDrawText*>(object)->GetPlainText(&view, text, alignment);
            ini.writeString(section, LayoutKey(n, "Content"), EscapeProfileText(text));
            ini.writeInt(section, LayoutKey(n, "Align"), alignment);
            break;
        }
        case kLayoutRect:
            ini.writeInt(section, LayoutKey(n, "Type"), static_cast<CDrawRect*>(object)->shape);
            break;
        default:
            break;
        }
        const DocRect r = view.DocToClient(object->position);
        ini.writeInt(section, LayoutKey(n, "Left"), r.left);
        ini.writeInt(section, LayoutKey(n, "Top"), r.top);
        ini.writeInt(section, LayoutKey(n, "Width"), r.right - r.left);
        ini.writeInt(section, LayoutKey(n, "Height"), r.bottom - r.top);
        ini.writeInt(section, LayoutKey(n, "InPage"), static_cast<int>(object->page));
    }
    for (int kind = 0; kind < kLayoutSectionCount; ++kind)
        ini.writeInt(Section(kind), QStringLiteral("ObjCount"), counts[std::size_t(kind)]);
    ini.writeInt(kSystem, QStringLiteral("Updated"), 1);
}

LayoutFile::LayoutFile(platform::IniDocument ini) : m_ini(std::move(ini))
{
    for (int section = 0; section < kLayoutSectionCount && !m_damaged; ++section) {
        const int count = StoredObjCount(section);
        m_damaged = count < 0 || count > kMaxLayoutObjects;
    }
    qint64 cells = 0;
    const int tables = m_damaged ? 0 : StoredObjCount(kLayoutTable);
    for (int t = 1; t <= tables && !m_damaged; ++t) {
        const int rows = Int(Section(kLayoutTable), LayoutKey(t, "Row"), 0);
        const int cols = Int(Section(kLayoutTable), LayoutKey(t, "Col"), 0);
        m_damaged = rows < 0 || cols < 0 || rows > kMaxLayoutObjects || cols > kMaxLayoutObjects;
        cells += qint64(rows) * cols;
        m_damaged = m_damaged || cells > kMaxLayoutCells;
    }
}

int LayoutFile::StoredObjCount(int section) const
{
    return Int(Section(section), QStringLiteral("ObjCount"), 0);
}

int LayoutFile::ObjCount(int section) const { return m_damaged ? 0 : StoredObjCount(section); }

int LayoutFile::TableRows(int n) const { return m_damaged ? 0 : Int(Section(kLayoutTable), LayoutKey(n, "Row"), 0); }

int LayoutFile::TableCols(int n) const { return m_damaged ? 0 : Int(Section(kLayoutTable), LayoutKey(n, "Col"), 0); }

LayoutFile LayoutFile::Load(const QString& path) { return LayoutFile(platform::IniFile(path).load()); }

int LayoutFile::Int(QStringView section, const QString& key, int defaultValue) const
{
    const std::optional<QString> value = m_ini.value(section, key);
    if (!value)
        return defaultValue;
    // A key that is there but empty reads as 0.
    return platform::ParseProfileInt(value->toLatin1(), 0);
}

QString LayoutFile::TextContent(int t) const
{
    return UnescapeProfileText(m_ini.value(Section(kLayoutText), LayoutKey(t, "Content")).value_or(QString()));
}

int LayoutFile::TextAlign(int t) const { return Int(Section(kLayoutText), LayoutKey(t, "Align"), 0); }

std::optional<QString> LayoutFile::CellContent(int n, int r, int c) const
{
    const std::optional<QString> value = m_ini.value(Section(kLayoutTable), LayoutCellKey(n, r, c, "Content"));
    if (!value)
        return std::nullopt;
    return UnescapeProfileText(*value);
}

int LayoutFile::CellAlign(int n, int r, int c) const
{
    return Int(Section(kLayoutTable), LayoutCellKey(n, r, c, "Align"), 0);
}

int LayoutPhotoOfImage(const LayoutFile& layout, int i)
{
    const int irno = layout.Int(u"DrawIR", LayoutKey(i, "IRNO"), -1);
    const int photos = layout.ObjCount(kLayoutPhoto);
    for (int j = 1; j <= photos; ++j) {
        if (layout.Int(u"DrawPhoto", LayoutKey(j, "IRNO"), -2) == irno)
            return j;
    }
    return 0;
}
