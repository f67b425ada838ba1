// CDrawField: one data field of an infrared image of the same report (a
// date, a camera value, a spot, line or area measurement, an isotherm),
// shown as rich text.
//
// It names its image by number, its analysis by the number the analysis
// carries (an isotherm by its 1-based index) and the field by its string id
// (33200 + 100 x group + index). The text is looked up at every draw. The
// store holds the formatting only (font, size, colour, alignment); the label
// is appended to a copy of it for drawing (the display store, not saved).
// It is edited with the view's editor hidden, its whole text selected.
//
// Record (after the base record): u32 analysis number, u32 image number,
// u32 field id, the store (u32 n, n bytes).
#pragma once

#include "content/rich_text_draw.h"
#include "document/draw_obj.h"
#include "document/rtf_mem_file.h"
#include "irimage/ir_dependent.h"

#include <QString>

class CDrawIR;
class CTextEditView;
class DocumentEnvironment;

// Which text of the image a field asks for: the formatter (by the field's
// group) and the number it passes (the analysis number; for an isotherm the
// 0-based isotherm index).
struct FieldTextRequest {
    enum Source { None, Info, Param, Point, Line, Area, Isotherm };
    Source source = None;
    int number = 0;
    bool operator==(const FieldTextRequest&) const = default;
};
FieldTextRequest FieldTextRequestOf(int fieldId, int analysisNumber);

class CDrawField : public CDrawObj, public IRImageDependent {
public:
    static const DrawClass kClass;

    CDrawField();
    CDrawField(DrawView* view, const DocRect& rect);
    ~CDrawField() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;

    void Draw(PageDC& dc) override;
    // The properties sheet (one field page); OK rebinds, Cancel changes
    // nothing.
    void OnEditProperties() override;
    CDrawObj* Clone(CDI_RptDoc* document) override;
    void BeginEdit(DrawView* view, int mode) override;
    void EndEdit(DrawView* view) override;
    int DoCommand(unsigned id, const QString& key, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    // The text colour that contrasts with the fill.
    COLORREF GetFillColor() const override { return brush.color ^ 0xFFFFFF; }
    void StopEditing(DrawView* view) override;
    void StartEditing(DrawView* view) override;
    // 9 (the result table's and field's menu) while at most one object is
    // selected.
    int GetPopupMenuIndex() const override;

    // IRImageDependent
    void OnIRImageChanged(CDrawIR& image) override;
    bool IsBoundToImage(int number) const override { return m_nImageNumber == number; }

    // The field's text from its image ("-" without the image or for an
    // unknown group; empty without a view).
    void GetFieldText(QString& text) const;

    int ImageNumber() const { return m_nImageNumber; }
    int AnalysisNumber() const { return m_nAnalysisNumber; }
    int FieldId() const { return m_nFieldId; }
    // Sets the binding and registers with the image of that number.
    void SetBinding(int imageNumber, int analysisNumber, int fieldId);
    const QString& Label() const { return m_strLabel; }
    const CRtfMemFile& DisplayStore() const { return m_displayStore; }
    bool IsEditing() const { return m_bEditing != 0; }

    // Registers with the image of its number in view (leaving any other).
    void Register(DrawView* view);
    void Unregister();

    static void AfterUndoRead(CDrawObj& object, DrawView* view, bool recreated);

private:
    CTextEditView* EditorOf(DrawView* view) const;
    CDrawIR* FindImage(DrawView* view) const;
    DocumentEnvironment& Environment() const;
    // The label as drawn, looked up now.
    void RefreshLabel();

    int m_nImageNumber = 1;
    int m_nAnalysisNumber = 1;
    int m_nFieldId = -1;
    QString m_strLabel;
    CRtfMemFile m_displayStore;
    CTextEditView* m_pEditor = nullptr;
    int m_bEditing = 0;
    RichTextCache m_cache;
};
