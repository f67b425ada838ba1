// The layout file beside a report template: the template's path with its
// extension replaced by ".ini". It describes the template's pages and
// objects so that the chooser, the wizard and template filling can read them
// without opening the report:
//
//     [System]        PageWidth, PageHeight (view device units), PageCount,
//                     Updated (1 once written whole, 0 after the template was
//                     saved again)
//     [DrawIR] ...    one section per object kind (kLayoutSections), each
//     [DrawRect]      with ObjCount and, per object n (from 1, in the order
//                     of the report's object list), its own keys and
//                     OBJn_Left, _Top, _Width, _Height (view device units)
//                     and _InPage (its page, from 0)
//
// Own keys: DrawIR and DrawPhoto OBJn_IRNO; DrawTable OBJn_Row, OBJn_Col and
// per cell (row r, column c from 0) OBJn_r_c_Content and OBJn_r_c_Align;
// DrawText OBJn_Content and OBJn_Align; DrawRect OBJn_Type. Texts are
// written escaped (profile_text.h); alignments are 0 centre, 1 left,
// 2 right.
//
// Device units are those of a report view at zoom 1.0 and 96 dpi, not
// scrolled (a DrawView at its defaults), so the file never depends on a
// window.
#pragma once

#include "platform/ini_document.h"

#include <QString>

#include <array>
#include <optional>

class CDI_RptDoc;
class CDrawObj;
class DrawView;

// The object kinds of the layout file in their test order: an object
// belongs to the first whose class it is a kind of (tables and charts
// before the plain rectangle they derive from).
inline constexpr int kLayoutSectionCount = 13;
extern const std::array<const char*, kLayoutSectionCount> kLayoutSections;
enum LayoutSection {
    kLayoutIR = 0,
    kLayoutPhoto,
    kLayoutLogo,
    kLayout3DMap,
    kLayoutPoly,
    kLayoutField,
    kLayoutTable,
    kLayoutResultTable,
    kLayoutProfile,
    kLayoutHistogram,
    kLayoutTimeProfile,
    kLayoutText,
    kLayoutRect,
};

// The section of an object (a LayoutSection), or -1 for a kind the file
// does not record (embedded items).
int LayoutSectionOf(const CDrawObj& object);

// template path up to its last ".", then ".ini" (the whole path when it has
// no "." in its file name).
QString LayoutFilePath(const QString& templatePath);

// Writes the layout of doc (shown in view, a DrawView at its defaults) into
// ini, over what it holds: keys of an earlier layout that are not written
// again (objects past the new counts) stay, and readers go by ObjCount.
// Updated = 1 is written last.
void WriteLayout(CDI_RptDoc& doc, DrawView& view, platform::IniDocument& ini);

// The most objects of one kind, and the most rows or columns of one table,
// a layout file may describe, and the most table cells of the whole file.
// A file that claims more (or a negative count) is damaged: its readers
// refuse it instead of looping over the claimed number.
inline constexpr int kMaxLayoutObjects = 10000;
inline constexpr qint64 kMaxLayoutCells = 1000000;

// A layout file as its readers see it. Values are read whole.
class LayoutFile {
public:
    LayoutFile() = default;
    explicit LayoutFile(platform::IniDocument ini);
    // The file at path (empty when it cannot be read).
    static LayoutFile Load(const QString& path);

    const platform::IniDocument& Document() const { return m_ini; }

    // An integer key; defaultValue only when the key is missing.
    int Int(QStringView section, const QString& key, int defaultValue) const;
    // The object count of a section (0 when missing); 0 for every section
    // of a damaged file.
    int ObjCount(int section) const;
    // The count as stored, damaged or not: for the chooser's thumbnail,
    // which draws a bounded number of objects of any file.
    int StoredObjCount(int section) const;
    // Rows and columns of table n (0 when missing; 0 in a damaged file).
    int TableRows(int n) const;
    int TableCols(int n) const;

    // True when a count, a table's rows or columns, or the file's cells are
    // negative or above the maxima above. Template conversion, the wizard
    // and its summary refuse such a file with the template-damaged message.
    bool IsDamaged() const { return m_damaged; }

    // Text object t (from 1): its text (unescaped; empty when missing) and
    // alignment (0 when missing).
    QString TextContent(int t) const;
    int TextAlign(int t) const;
    // Cell (r, c) of table n: its text (nullopt when missing) and alignment.
    std::optional<QString> CellContent(int n, int r, int c) const;
    int CellAlign(int n, int r, int c) const;

private:
    platform::IniDocument m_ini;
    bool m_damaged = false;
};

// The photo object (from 1) that belongs to image object i: the first
// whose IRNO is the image's; 0 when the template has none.
int LayoutPhotoOfImage(const LayoutFile& layout, int i);

// Key names of the layout file (n, r, c as above).
QString LayoutKey(int n, const char* name);
QString LayoutCellKey(int n, int r, int c, const char* name);
