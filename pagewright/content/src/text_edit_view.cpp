#include "content/text_edit_view.h"

#include "content/default_text.h"
#include "content/draw_table.h"
#include "content/rich_text_format.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "content/text_format_ops.h"
#include "content/text_host.h"
#include "document/document_environment.h"
#include "document/rpt_doc.h"
#include "document/rtf_mem_file.h"
#include "skin/skin_resources.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QStyleOptionGraphicsItem>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMenuEdit = 2;
constexpr int kMenuContext = 110;
constexpr int kCellPopup = 3;
constexpr int kAddRowColumn = 32964;

DocumentEnvironment& EnvironmentOf(const DrawView& view)
{
    CDI_RptDoc* doc = view.GetDocument();
    return doc != nullptr ? doc->Environment() : DefaultDocumentEnvironment();
}

int CodeOfCommand(int id)
{
    switch (id) {
    case CTextEditView::kBold:
        return 1;
    case CTextEditView::kItalic:
        return 2;
    case CTextEditView::kUnderline:
        return 3;
    case CTextEditView::kAlignLeft:
        return 4;
    case CTextEditView::kAlignCenter:
        return 5;
    case CTextEditView::kAlignRight:
        return 6;
    case CTextEditView::kFontColor:
        return 7;
    default:
        return -1;
    }
}

// The text item without the dashed frame Qt draws around a focused item:
// the editor is the text box itself.
class EditorTextItem : public QGraphicsTextItem {
public:
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override
    {
        QStyleOptionGraphicsItem plain(*option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QGraphicsTextItem::paint(painter, &plain, widget);
    }
};

} // namespace

CTextEditView::CTextEditView(DrawView& view, QWidget* parent) : QGraphicsView(parent), m_view(view)
{
    setObjectName(QStringLiteral("CTextEditView"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setRenderHint(QPainter::TextAntialiasing);
    auto* scene = new QGraphicsScene(this);
    setScene(scene);
    m_item = new EditorTextItem;
    rich_text::InstallReportFontSubstitutions();
    ApplyTextHostDefaults(*m_item->document());
    m_item->document()->setUndoRedoEnabled(true);
    m_item->setTextInteractionFlags(Qt::TextEditorInteraction);
    m_item->setPos(0, 0);
    scene->addItem(m_item);
    SetBackground(0xFFFFFF);
    connect(m_item->document(), &QTextDocument::contentsChanged, this, [this] {
        if (m_loading)
            return;
        m_modified = true;
        m_changedSinceLoad = true;
    });
    // The default text is read when an empty store is loaded (the view may
    // not have its document yet).
    hide();
}

CTextEditView::~CTextEditView()
{
    if (m_view.GetTextEditor() == this)
        m_view.SetTextEditor(nullptr);
}

QTextDocument* CTextEditView::Document() const { return m_item->document(); }
QTextCursor CTextEditView::Cursor() const { return m_item->textCursor(); }
void CTextEditView::SetCursor(const QTextCursor& cursor) { m_item->setTextCursor(cursor); }

QString CTextEditView::GetWindowText() const
{
    QString text = Document()->toPlainText();
    text.replace(QChar(0x2028), QLatin1Char('\n'));
    return text;
}

void CTextEditView::LoadBytes(const QByteArray& rtf)
{
    m_loading = true;
    QTextDocument* doc = Document();
    doc->clear();
    ApplyTextHostDefaults(*doc);
    rich_text::ReadRtf(rtf, doc, nullptr);
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    m_loading = false;
    m_modified = false;
    m_changedSinceLoad = false;
    QTextCursor c(doc);
    m_item->setTextCursor(c);
    Relayout();
    viewport()->update();
}

bool CTextEditView::LoadStore(const CRtfMemFile& store, const DocumentEnvironment& env)
{
    const bool useDefault = store.GetLength() == 0;
    LoadBytes(useDefault ? LoadDefaultRichText(env) : store.ToByteArray());
    m_holdsDefault = useDefault;
    const_cast<CRtfMemFile&>(store).Rewind();
    return useDefault;
}

void CTextEditView::StoreInto(CRtfMemFile& store)
{
    if (m_changedSinceLoad || m_holdsDefault || store.GetLength() == 0)
        rich_text::WriteStore(*Document(), store);
    store.Rewind();
    m_changedSinceLoad = false;
    m_holdsDefault = false;
}

void CTextEditView::StreamIn(const CRtfMemFile& text) { LoadStore(text, EnvironmentOf(m_view)); }
void CTextEditView::StreamOut(CRtfMemFile& text) { StoreInto(text); }

void CTextEditView::Show()
{
    show();
    raise();
}

void CTextEditView::Hide()
{
    if (hasFocus() && parentWidget() != nullptr)
        parentWidget()->setFocus();
    hide();
}

void CTextEditView::Place(const QRect& client)
{
    if (client.isEmpty()) {
        setGeometry(QRect(-10, -10, 1, 1));
        return;
    }
    m_textRect = QRectF();
    setGeometry(client);
    Relayout();
}

void CTextEditView::PlaceOver(const QRect& client, const QRectF& text)
{
    m_textRect = text.translated(-client.topLeft());
    setGeometry(client);
    Relayout();
}

void CTextEditView::Relayout()
{
    const double zoom = m_zoom > 0 ? m_zoom : 1.0;
    m_item->setScale(zoom);
    const QRectF text = m_textRect.isEmpty() ? QRectF(0, 0, QGraphicsView::width(), height()) : m_textRect;
    m_item->setPos(text.topLeft());
    m_item->setTextWidth(std::max(1.0, text.width() / zoom));
    scene()->setSceneRect(QRectF(0, 0, std::max(1, QGraphicsView::width()), std::max(1, height())));
    centerOn(0, 0);
    setSceneRect(scene()->sceneRect());
}

void CTextEditView::resizeEvent(QResizeEvent* e)
{
    QGraphicsView::resizeEvent(e);
    Relayout();
}

void CTextEditView::SetZoom(float zoom)
{
    // As the edit control took it: whole percents.
    m_zoom = static_cast<float>(std::trunc(double(zoom) * 100.0) / 100.0);
    if (m_zoom <= 0)
        m_zoom = 1.0f;
    Relayout();
}

void CTextEditView::SetBackground(COLORREF color)
{
    const QColor c(GetRValue(color), GetGValue(color), GetBValue(color));
    setBackgroundBrush(c);
    if (scene() != nullptr)
        scene()->setBackgroundBrush(c);
}

bool CTextEditView::CanUndo() const { return Document()->isUndoAvailable(); }
void CTextEditView::Undo() { Document()->undo(); }

void CTextEditView::SetSel(int start, int end)
{
    QTextCursor c(Document());
    QTextCursor last(Document());
    last.movePosition(QTextCursor::End);
    const int max = last.position();
    const int from = std::clamp(start, 0, max);
    const int to = end < 0 ? max : std::clamp(end, 0, max);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    m_item->setTextCursor(c);
}

void CTextEditView::ReplaceSel(const QString& text)
{
    QTextCursor c = m_item->textCursor();
    c.insertText(text);
    m_item->setTextCursor(c);
}

void CTextEditView::StorePendingEdit()
{
    if (!m_modified || !IsVisible())
        return;
    const std::vector<CDrawObj*>& selection = m_view.GetSelection();
    CDI_RptDoc* doc = m_view.GetDocument();
    if (selection.empty() || doc == nullptr)
        return;
    // A table's editor holds the text of its active cell.
    CDrawObj* target = selection.front();
    if (auto* table = dynamic_cast<CDrawTable*>(target))
        target = table->GetActiveCell();
    if (target == nullptr)
        return;
    doc->SaveRedoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
    StoreInto(*target->GetTextStore());
    doc->SaveUndoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 1);
}

void CTextEditView::RunFormatCommand(int code, COLORREF color, const platform::CHARFORMAT* cf, qintptr reported)
{
    StorePendingEdit();
    QTextCursor c = m_item->textCursor();
    rich_text::ApplyFormatCode(c, code, color, cf);
    m_item->setTextCursor(c);
    m_changedSinceLoad = true;
    m_modified = false;
    emit textEditChanged(code, reported);
}

void CTextEditView::ApplyFormat(int code, std::intptr_t value)
{
    // The view applies a change it was told of to each selected text in
    // turn: done here without telling the view again, which would go round
    // for ever.
    const platform::CHARFORMAT* cf = nullptr;
    if (code == 0) {
        if (value == 0)
            return;
        cf = reinterpret_cast<const platform::CHARFORMAT*>(value);
    }
    QTextCursor c = m_item->textCursor();
    rich_text::ApplyFormatCode(c, code, code == 0 ? 0 : static_cast<COLORREF>(value), cf);
    m_item->setTextCursor(c);
    m_changedSinceLoad = true;
}

int CTextEditView::OnFormatApply(const platform::CHARFORMAT& format)
{
    m_lastApplied = format;
    RunFormatCommand(0, 0, &m_lastApplied, reinterpret_cast<qintptr>(&m_lastApplied));
    return 1;
}

int CTextEditView::OnFormatQuery(platform::CHARFORMAT& format) const
{
    format = rich_text::ToCharFormat(m_item->textCursor().charFormat());
    // A format that names no size or face (no text object is being edited)
    // leaves the bar's boxes empty rather than showing a size of 0.
    if (format.yHeight <= 0)
        format.dwMask &= ~platform::CFM_SIZE;
    if (format.FaceName().isEmpty())
        format.dwMask &= ~(platform::CFM_FACE | platform::CFM_CHARSET);
    return 1;
}

void CTextEditView::OnFormatBarNotify(int barId, std::uint32_t code, platform::CHARFORMAT* format)
{
    (void)barId;
    if (code == FMTN_APPLY && format != nullptr)
        OnFormatApply(*format);
    else if (code == FMTN_QUERY && format != nullptr)
        OnFormatQuery(*format);
    else if (code == NM_RETURN)
        setFocus();
}

bool CTextEditView::OnCommand(int id)
{
    const int code = CodeOfCommand(id);
    if (code == 7) {
        long c = m_colorSource ? m_colorSource(kFontColor) : -1;
        if (c == -1 || c == -2)
            c = 0;
        RunFormatCommand(7, static_cast<COLORREF>(c), nullptr, static_cast<qintptr>(static_cast<COLORREF>(c)));
        return true;
    }
    if (code > 0) {
        RunFormatCommand(code, 0, nullptr, 0);
        return true;
    }
    if (id == kEditPaste) {
        Paste();
        return true;
    }
    if (id == kEditClear) {
        DeleteNext();
        return true;
    }
    return false;
}

bool CTextEditView::UpdateCommand(int id, bool& enabled, bool& checked) const
{
    const int code = CodeOfCommand(id);
    if (code < 0 && id != kEditPaste && id != kEditClear)
        return false;
    enabled = true;
    checked = false;
    const QTextCursor c = m_item->textCursor();
    if (code >= 1 && code <= 3)
        checked = rich_text::SelectionHasEffect(c, code);
    else if (code >= 4 && code <= 6) {
        const Qt::Alignment a = c.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        checked = (code == 5 && (a & Qt::AlignHCenter)) || (code == 6 && (a & Qt::AlignRight)) ||
                  (code == 4 && !(a & (Qt::AlignHCenter | Qt::AlignRight)));
    } else if (id == kEditPaste) {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        enabled = mime != nullptr && mime->hasText();
    }
    return true;
}

void CTextEditView::Paste()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime == nullptr || !mime->hasText())
        return;
    QString text = mime->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor c = m_item->textCursor();
    // Only the characters: they take the format at the caret.
    c.insertText(text, c.charFormat());
    m_item->setTextCursor(c);
}

void CTextEditView::DeleteNext()
{
    QTextCursor c = m_item->textCursor();
    if (!c.hasSelection())
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    m_item->setTextCursor(c);
}

void CTextEditView::focusInEvent(QFocusEvent* e)
{
    QGraphicsView::focusInEvent(e);
    scene()->setFocusItem(m_item);
    emit activated(true);
}

void CTextEditView::focusOutEvent(QFocusEvent* e)
{
    QGraphicsView::focusOutEvent(e);
    emit activated(false);
}

void CTextEditView::keyPressEvent(QKeyEvent* e)
{
    // Typing reaches the text only while the editor shows.
    if (!IsVisible())
        return;
    if (e->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        DeleteNext();
        return;
    }
    QGraphicsView::keyPressEvent(e);
}

QMenu* CTextEditView::MakeEditMenu(QWidget* parent) const
{
    QMenu* bar = skin::PopupMenu(kMenuEdit, parent);
    if (bar == nullptr)
        return nullptr;
    const QList<QAction*> popups = bar->actions();
    QMenu* edit = popups.size() > 1 ? popups[1]->menu() : nullptr;
    if (edit == nullptr) {
        delete bar;
        return nullptr;
    }
    edit->setParent(parent, edit->windowFlags());
    delete bar;
    QList<QAction*> items = edit->actions();
    if (items.size() > 2)
        edit->removeAction(items[2]);
    static constexpr int kRemoved[] = {32824, 32825, 57856, 57857, 57872, 32785, 1506};
    for (QAction* a : edit->actions())
        if (std::find(std::begin(kRemoved), std::end(kRemoved), a->data().toInt()) != std::end(kRemoved))
            edit->removeAction(a);
    return edit;
}

QMenu* CTextEditView::MakeCellMenu(QWidget* parent) const
{
    const std::vector<CDrawObj*>& selection = m_view.GetSelection();
    const bool oneTable = selection.size() == 1 && dynamic_cast<const CDrawTable*>(selection.front()) != nullptr;
    if (selection.size() == 1 && !oneTable)
        return nullptr;
    QMenu* bar = skin::PopupMenu(kMenuContext, parent);
    if (bar == nullptr)
        return nullptr;
    const QList<QAction*> popups = bar->actions();
    QMenu* cell = popups.size() > kCellPopup ? popups[kCellPopup]->menu() : nullptr;
    if (cell == nullptr) {
        delete bar;
        return nullptr;
    }
    cell->setParent(parent, cell->windowFlags());
    delete bar;
    if (!oneTable)
        for (QAction* a : cell->actions())
            if (a->data().toInt() == kAddRowColumn)
                cell->removeAction(a);
    return cell;
}

void CTextEditView::mousePressEvent(QMouseEvent* e)
{
    // The text is only as high as its lines: a click in the box below them
    // (or beside them) would take the focus from the text, and the keys
    // typed next would go nowhere. The caret goes to the nearest place in
    // the text instead, as in an edit control.
    const QPoint at = e->position().toPoint();
    if (e->button() != Qt::LeftButton || !IsVisible() || itemAt(at) == m_item) {
        QGraphicsView::mousePressEvent(e);
        return;
    }
    const QPointF inText = m_item->mapFromScene(mapToScene(at));
    const QRectF bounds = m_item->boundingRect();
    const QPointF nearest(std::clamp(inText.x(), bounds.left(), std::max(bounds.left(), bounds.right() - 1)),
                          std::clamp(inText.y(), bounds.top(), std::max(bounds.top(), bounds.bottom() - 1)));
    const int position = Document()->documentLayout()->hitTest(nearest, Qt::FuzzyHit);
    QTextCursor c = m_item->textCursor();
    if (position >= 0) {
        c.setPosition(position, (e->modifiers() & Qt::ShiftModifier) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        m_item->setTextCursor(c);
    }
    setFocus(Qt::MouseFocusReason);
    scene()->setFocusItem(m_item, Qt::MouseFocusReason);
    e->accept();
}

QMenu* CTextEditView::MakeContextMenu(QWidget* parent) const
{
    if (QMenu* cell = MakeCellMenu(parent))
        return cell;
    return MakeEditMenu(parent);
}

void CTextEditView::mouseReleaseEvent(QMouseEvent* e)
{
    QGraphicsView::mouseReleaseEvent(e);
    if (e->button() != Qt::RightButton)
        return;
    if (QMenu* menu = MakeContextMenu(this)) {
        menu->exec(e->globalPosition().toPoint());
        delete menu;
    }
}

void CTextEditView::contextMenuEvent(QContextMenuEvent* e)
{
    // The menus come from the button release and the control's request.
    e->accept();
}
