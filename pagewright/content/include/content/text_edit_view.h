// CTextEditView: the report view's one in-place rich-text editor.
//
// A QGraphicsView over one editable QGraphicsTextItem, placed by the text
// objects over the object they edit. The text is laid out as the page draws
// it (96-dpi layout pixels, the host's defaults) and scaled by the view's
// zoom, so it wraps and grows exactly where the drawn text was. Fields use
// it hidden, with their whole text selected.
//
// Loading (StreamIn, LoadStore) parses a store, or the program's default
// text when the store is empty. The store step (StreamOut, StoreInto)
// writes the editor's document as RTF when it changed since it was loaded
// or when the default text was loaded; otherwise the store keeps its bytes.
//
// Commands: 104 bold, 108 italic, 111 underline, 117 left, 119 centre,
// 121 right, 114 font colour (the colour of the main frame's button 114),
// 57637 paste (plain text at the caret; the clipboard is left alone),
// 57632 delete (the next character when nothing is selected). Each
// formatting command stores pending typing into the selected object first
// (one undo step), applies the format, clears the modified flag and emits
// textEditChanged(code, value).
#pragma once

#include "document/draw_view.h"
#include "platform/char_format.h"
#include "skin/format_bar_receiver.h"

#include <QGraphicsView>

#include <functional>

class CRtfMemFile;
class DocumentEnvironment;
class QGraphicsTextItem;
class QMenu;
class QTextCursor;
class QTextDocument;

class CTextEditView : public QGraphicsView, public InPlaceTextEditor, public FormatBarReceiver {
    Q_OBJECT
public:
    // Command ids handled by the editor.
    enum Command {
        kBold = 104,
        kItalic = 108,
        kUnderline = 111,
        kFontColor = 114,
        kAlignLeft = 117,
        kAlignCenter = 119,
        kAlignRight = 121,
        kEditClear = 57632,
        kEditPaste = 57637,
    };
    // Notifications of the format bar (its apply and query).
    static constexpr int kFormatApply = 0x1000;
    static constexpr int kFormatQuery = 0x1001;

    // view: the report view whose objects are edited; parent: its window
    // (null for a headless editor).
    CTextEditView(DrawView& view, QWidget* parent = nullptr);
    ~CTextEditView() override;

    DrawView& ReportView() const { return m_view; }
    QGraphicsTextItem* TextItem() const { return m_item; }
    QTextDocument* Document() const;
    QTextCursor Cursor() const;
    void SetCursor(const QTextCursor& cursor);

    // The colour of the main frame's toolbar button of a command (-1: none).
    void SetColorButtonSource(std::function<long(int commandId)> source) { m_colorSource = std::move(source); }

    // The edit control's modified flag: set by any change of the text or its
    // format, cleared by SetModify(false) and by loading.
    bool GetModify() const { return m_modified; }
    void SetModify(bool modified) { m_modified = modified; }
    // The plain text ("window text").
    QString GetWindowText() const;

    // Loads a store (empty: the default text of env); true when the default
    // was taken. The store is rewound.
    bool LoadStore(const CRtfMemFile& store, const DocumentEnvironment& env);
    // The store step.
    void StoreInto(CRtfMemFile& store);

    void Show();
    // Moves the editor over client (device pixels of the report view) with
    // its text laid out in text (same pixels), where the page draws it.
    void PlaceOver(const QRect& client, const QRectF& text);

    // Format bar: apply a character format to the selection (with the
    // formatting command's steps; reported as code 0) or read the
    // selection's format. Both answer 1.
    int OnFormatApply(const platform::CHARFORMAT& format);
    int OnFormatQuery(platform::CHARFORMAT& format) const;
    // The format bar's notifications: apply, query, return (focus here).
    void OnFormatBarNotify(int barId, std::uint32_t code, platform::CHARFORMAT* format) override;
    // The format last applied from the format bar (code 0).
    const platform::CHARFORMAT& LastAppliedFormat() const { return m_lastApplied; }

    // The two context menus: the edit menu and the cell menu ("单元格":
    // cut, copy, paste, cell properties, add row/column); null when none
    // shows. The cell menu shows for a selected table, and without "add
    // row/column" for a selection of other than one object.
    QMenu* MakeEditMenu(QWidget* parent) const;
    QMenu* MakeCellMenu(QWidget* parent) const;
    // The menu the right button shows in the editor: the cell menu where it
    // shows (a table cell is being edited), else the edit menu.
    QMenu* MakeContextMenu(QWidget* parent) const;

    // InPlaceTextEditor
    bool IsVisible() const override { return !isHidden(); }
    void Hide() override;
    void Place(const QRect& client) override;
    bool CanUndo() const override;
    void Undo() override;
    void SetBackground(COLORREF color) override;
    void SetZoom(float zoom) override;
    float Zoom() const { return m_zoom; }
    void SetSel(int start, int end) override;
    void ReplaceSel(const QString& text) override;
    void StreamIn(const CRtfMemFile& text) override;
    void StreamOut(CRtfMemFile& text) override;
    void ApplyFormat(int code, std::intptr_t value) override;
    bool OnCommand(int id) override;
    bool UpdateCommand(int id, bool& enabled, bool& checked) const override;

signals:
    // A formatting change (codes 0-7 and their values).
    void textEditChanged(int code, qintptr value);
    // The editor was activated or deactivated.
    void activated(bool active);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void LoadBytes(const QByteArray& rtf);
    // Step 1 of a formatting command: pending typing into the selected
    // object (a selected table's active cell; nowhere when it has none),
    // framed as one undo step.
    void StorePendingEdit();
    void RunFormatCommand(int code, COLORREF color, const platform::CHARFORMAT* cf, qintptr reported);
    void Paste();
    void DeleteNext();
    void Relayout();

    DrawView& m_view;
    QGraphicsTextItem* m_item = nullptr;
    std::function<long(int)> m_colorSource;
    platform::CHARFORMAT m_lastApplied;
    float m_zoom = 1.0f;
    QRectF m_textRect; // in the editor's own pixels; empty: the whole editor
    bool m_modified = false;
    bool m_changedSinceLoad = false;
    bool m_holdsDefault = false;
    bool m_loading = false;
};
