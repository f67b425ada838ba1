// Helpers shared by the report document tests.
#pragma once

#include "document/document_environment.h"
#include "document/draw_poly.h"
#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"

#include "platform/compound_file.h"
#include "platform/storage.h"

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace rpt_test {

// An environment that records what the document asks of the program.
class RecordingEnvironment : public DocumentEnvironment {
public:
    struct Message {
        QString text;
        int type = 0;
        int stringId = 0;
    };

    int MessageBox(const QString& text, int type, int stringId) override
    {
        messages.push_back({text, type, stringId});
        return answer;
    }
    QString ProgramFolder() const override { return programFolder; }
    std::optional<QSize> DefaultPrinterPageMm() const override { return printerMm; }
    void SetPageInches(float w, float h) override { pageInches = {w, h}; }
    QString TakeStartFile() override { return std::exchange(startFile, QString()); }
    TemplateChoice ChooseTemplate() override { return templateChoice; }
    QString GetSavePath() const override { return savePath; }
    void SetSavePath(const QString& folder) override { savePath = folder; }
    QString PromptSaveFileName(const QString& proposed, bool replace, const QString& filter = {}) override
    {
        prompted.push_back(proposed);
        promptedFilters.push_back(filter);
        (void)replace;
        return promptAnswer;
    }
    std::optional<COLORREF> ChooseColor(COLORREF initial) override
    {
        (void)initial;
        return colorAnswer;
    }
    bool RunDialog(QDialog& dialog) override { return dialogHook ? dialogHook(dialog) : false; }
    void SetLockIndicator(bool locked) override { lockIndicator = locked; }
    void FillPageTitles(int count, int current) override
    {
        pageListCount = count;
        pageListCurrent = current;
    }
    QString TemporaryFolder() const override { return tempFolder.isEmpty() ? DocumentEnvironment::TemporaryFolder() : tempFolder; }

    void OpenWithDefaultApplication(const QString& path) override { openedFiles.push_back(path); }

    std::vector<Message> messages;
    QStringList promptedFilters;
    QStringList openedFiles;
    int answer = kAnswerOk;
    QString programFolder;
    std::optional<QSize> printerMm;
    std::pair<float, float> pageInches{0, 0};
    QString startFile;
    TemplateChoice templateChoice;
    QString savePath;
    QStringList prompted;
    QString promptAnswer;
    std::optional<COLORREF> colorAnswer;
    std::function<bool(QDialog&)> dialogHook;
    bool lockIndicator = false;
    int pageListCount = -1;
    int pageListCurrent = -1;
    QString tempFolder;
};

// An exporter that records the calls it gets, one line each.
class RecordingExport : public CWordExport {
public:
    void NewDocument(float w, float h) override { calls << QStringLiteral("new %1x%2").arg(w).arg(h); }
    void InsertPageBreak(int page) override { calls << QStringLiteral("break %1").arg(page); }
    void GoToPage(int page) override { calls << QStringLiteral("page %1").arg(page); }
    void ExportImage(float l, float t, float w, float h, const QImage& picture, bool border) override
    {
        calls << QStringLiteral("image %1,%2 %3x%4 %5x%6 %7")
                     .arg(l).arg(t).arg(w).arg(h).arg(picture.width()).arg(picture.height()).arg(border);
        pictures.push_back(picture);
    }
    void ExportLine(QPointF b, QPointF e, float weight, COLORREF color) override
    {
        calls << QStringLiteral("line %1,%2 %3,%4 %5 %6").arg(b.x()).arg(b.y()).arg(e.x()).arg(e.y()).arg(weight).arg(color);
    }
    void ExportArrow(QPointF b, QPointF e, float weight, COLORREF color, const ArrowHeads& h) override
    {
        calls << QStringLiteral("arrow %1,%2 %3,%4 %5 %6 %7%8%9 %10%11%12")
                     .arg(b.x()).arg(b.y()).arg(e.x()).arg(e.y()).arg(weight).arg(color)
                     .arg(h.beginStyle).arg(h.beginLength).arg(h.beginWidth)
                     .arg(h.endStyle).arg(h.endLength).arg(h.endWidth);
    }
    void ExportRectangle(float l, float t, float w, float h, float weight, COLORREF color) override
    {
        calls << QStringLiteral("rect %1,%2 %3x%4 %5 %6").arg(l).arg(t).arg(w).arg(h).arg(weight).arg(color);
    }
    QStringList calls;
    std::vector<QImage> pictures;
};

// A view that counts what it is asked to repaint.
class CountingView : public DrawView {
public:
    void InvalObj(CDrawObj* obj) override
    {
        (void)obj;
        ++invalidations;
    }
    void InvalidateAll() override { ++invalidations; }
    int invalidations = 0;
};

// Little-endian bytes built by hand, field by field.
class Bytes {
public:
    Bytes& u8(std::uint8_t v) { m_data.append(static_cast<char>(v)); return *this; }
    Bytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Bytes& f32(float v)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Bytes& raw(QByteArrayView b) { m_data.append(b); return *this; }
    Bytes& zeros(int n) { m_data.append(QByteArray(n, '\0')); return *this; }
    // A new-class tag: 0xFFFF, schema, name length, name.
    Bytes& newClass(const char* name, std::uint16_t schema = 0)
    {
        const auto n = static_cast<std::uint16_t>(std::strlen(name));
        return u16(0xFFFF).u16(schema).u16(n).raw(QByteArrayView(name, n));
    }
    // A page record: the title and zeros to 41 bytes.
    Bytes& pageRecord(const char* title)
    {
        const auto n = static_cast<int>(std::strlen(title));
        return raw(QByteArrayView(title, n)).zeros(41 - n);
    }
    // The 56-byte base record of a draw object.
    Bytes& baseRecord(DocRect r, std::uint32_t page, COLORREF penColor = 0, std::uint16_t brushOn = 0,
                      std::int32_t penWidth = 1)
    {
        i32(r.left).i32(r.top).i32(r.right).i32(r.bottom);
        u16(1).u32(PS_INSIDEFRAME).i32(penWidth).i32(penWidth).u32(penColor);
        u16(brushOn).u32(BS_SOLID).u32(0xC0C0C0).i32(0);
        return u32(page).u32(0);
    }
    const QByteArray& data() const { return m_data; }
    int size() const { return static_cast<int>(m_data.size()); }

private:
    QByteArray m_data;
};

// The Contents header of a report (the fields before the object list).
inline Bytes ContentsHeader(std::uint32_t pages, float version, int width = 8330, int height = 11790,
                            std::uint32_t locked = 0, bool withShowNumbers = true, std::uint32_t show = 1)
{
    Bytes b;
    b.u32(pages).f32(version).u32(0xFFFFFF).i32(width).i32(height).u32(locked);
    if (withShowNumbers)
        b.u32(show);
    return b;
}

// A compound file holding the given Contents (and no summary).
inline bool WriteReportFile(const QString& path, const QByteArray& contents)
{
    platform::MemoryStorage root;
    return root.writeStream(QStringLiteral("Contents"), contents) && platform::saveCompoundFile(root, path);
}

// Adds a shape with the constructor the tools use.
inline CDrawRect* AddShape(CDI_RptDoc& doc, DrawView* view, int shape, DocRect r, bool undo = false)
{
    auto obj = std::make_unique<CDrawRect>(view, r);
    obj->shape = shape;
    obj->page = static_cast<std::uint32_t>(doc.GetCurPage());
    CDrawObj* added = undo ? doc.Add(std::move(obj)) : doc.AddNoUndo(std::move(obj));
    return static_cast<CDrawRect*>(added);
}

// The two-page report of the file tests: on page 0 a rectangle, a round
// rectangle, an ellipse, a line, an arrow and a polygon; on page 1 a
// rectangle. Page titles "封面" and "Results".
inline void BuildSampleReport(CDI_RptDoc& doc, DrawView* view = nullptr)
{
    doc.InsertPage(0, QStringLiteral("Results"));
    doc.SetCurPage(0);
    doc.SetPageTitle(0, QString::fromUtf8("封面"));
    CDrawRect* rect = AddShape(doc, view, CDrawRect::rectangle, DocRect(1000, -1000, 4000, -3000));
    rect->brushOn = 1;
    rect->brush.color = RGB(255, 255, 0);
    CDrawRect* round = AddShape(doc, view, CDrawRect::roundRectangle, DocRect(4500, -1000, 7500, -3000));
    round->roundness = QPoint(600, 400);
    round->pen.color = RGB(0, 0, 255);
    round->pen.widthX = round->pen.widthY = 3;
    CDrawRect* ellipse = AddShape(doc, view, CDrawRect::ellipse, DocRect(1000, -3500, 4000, -5500));
    ellipse->brushOn = 1;
    ellipse->brush.color = RGB(0, 200, 0);
    CDrawRect* line = AddShape(doc, view, CDrawRect::line, DocRect(4500, -3500, 7500, -5500));
    line->pen.color = RGB(255, 0, 0);
    line->pen.widthX = line->pen.widthY = 2;
    CDrawRect* arrow = AddShape(doc, view, CDrawRect::arrow, DocRect(1000, -6500, 4000, -6500));
    arrow->arrowStyle = 1;
    auto poly = std::make_unique<CDrawPoly>(view, DocRect(4500, -6000, 4500, -6000));
    for (QPoint p : {QPoint(4500, -6000), QPoint(7500, -6000), QPoint(6000, -8500)})
        poly->AddPoint(p, nullptr);
    poly->pen.widthX = poly->pen.widthY = 30;
    poly->brushOn = 1;
    poly->brush.color = RGB(255, 0, 255);
    doc.AddNoUndo(std::move(poly));
    doc.SetCurPage(1);
    AddShape(doc, view, CDrawRect::rectangle, DocRect(500, -500, 2000, -2000));
    doc.SetCurPage(0);
}

// Reads one stream of a compound file.
inline QByteArray ReadStream(const QString& path, const QString& name)
{
    QByteArray out;
    std::unique_ptr<platform::Storage> root = platform::openCompoundFile(path);
    if (root != nullptr)
        root->readStream(name, out, 1u << 30);
    return out;
}

} // namespace rpt_test
