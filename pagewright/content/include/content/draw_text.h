// CDrawText: the rich-text box of a report page, and the text cell of a
// table.
//
// Its text is RTF in the object's store; it is drawn by the rich-text
// drawing routine and edited in place with the report view's editor
// (CTextEditView), which it moves over itself while it is edited.
//
// Record (after the base record): the store (u32 n, n bytes), then the plain
// text as an archive string.
#pragma once

#include "content/rich_text_draw.h"
#include "document/draw_obj.h"
#include "document/word_export.h"

#include <QRect>
#include <QString>

class CTextEditView;
class DocumentEnvironment;

class CDrawText : public CDrawObj {
public:
    static const DrawClass kClass;

    CDrawText();
    CDrawText(DrawView* view, const DocRect& rect);
    ~CDrawText() override;

    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override;
    void Serialize(platform::ArchiveReader& ar) override;
    void Dump(QJsonObject& out) const override;

    void PlaceEditor(DrawView* view) override;
    // Frame (at least 200 x 200, light grey when the pen is off), then the
    // text unless the open editor shows it.
    void Draw(PageDC& dc) override;
    void DrawTracker(PageDC& dc, TrackerState state) override;
    // 9 (text: edit) deeper than 50 units inside the frame, 0 in the 20
    // units before, the base result outside; 0 while selected for editing
    // only.
    int HitTest(QPoint point, DrawView* view, bool selected, int flag) override;
    void OnEditProperties() override;
    CDrawObj* Clone(CDI_RptDoc* document) override;
    // mode 1: select only (editor attached, not loaded); else load the text
    // into the editor over the object.
    void BeginEdit(DrawView* view, int mode) override;
    void EndEdit(DrawView* view) override;
    // 1024: a format key. Keys "30" answer 1; others record the change.
    int DoCommand(unsigned id, const QString& key, int value) override;
    void ExportToWord(CWordExport& exporter) override;
    void SetLineWidth(int width) override;
    void StopEditing(DrawView* view) override { EndEdit(view); }
    void StartEditing(DrawView* view) override { BeginEdit(view, 0); }
    void CommitEditText() override;
    // A new colour table goes between the braces of the text's first "}}",
    // inside the font table's group, as text objects have always stored it.
    void InvertColorTable() override;
    int GetPopupMenuIndex() const override { return 2; }

    // The plain text and alignment code (0 centre, 1 left, 2 right) of the
    // stored text; an empty store gives an empty text, alignment untouched.
    void GetPlainText(DrawView* view, QString& text, int& alignment);
    // Replaces the text (keeping the format at its start) and sets the
    // alignment; with source, this object takes a copy of source's text
    // first (nothing of a longer old text stays). Ends editing.
    void SetPlainText(DrawView* view, const QString& text, int alignment, CDrawText* source);

    const QString& PlainText() const { return m_strPlain; }
    bool IsEditing() const { return m_bEditing != 0; }
    int EditMode() const { return m_nEditMode; }
    CTextEditView* AttachedEditor() const { return m_pEditor; }
    // The editor's rectangle over the object and where its text lies
    // (client pixels of view).
    QRect EditorRect(DrawView* view) const;
    QRectF EditorTextRect(DrawView* view) const;

    // Undo read a record into the object: editing ends without storing.
    static void AfterUndoRead(CDrawObj& object, DrawView* view, bool recreated);

private:
    CTextEditView* EditorOf(DrawView* view) const;
    void DetachEditor();
    DocumentEnvironment& Environment() const;

    QString m_strPlain;
    int m_bEditStarted = 0;
    CTextEditView* m_pEditor = nullptr;
    int m_bEditing = 0;
    int m_nEditMode = 0;
    RichTextCache m_cache;
};

// Shared by text and field boxes: the box frame of Draw (steps before and
// after the text), the editor placement and the export's font.
namespace text_box {
// Brush and pen as a text box selects them; false (nothing selected) when
// either cannot be made. Enlarges the object to 200 x 200 and draws it.
bool DrawFrame(PageDC& dc, CDrawObj& object);
// The frame again over the text, with no fill.
void DrawFrameOver(PageDC& dc, CDrawObj& object);
// Font name and size of the export from the first run.
void ExportFont(const TextRunList& runs, QString& name, float& size);
CWordExport::TextBox ExportBox(const CDrawObj& object);
} // namespace text_box
