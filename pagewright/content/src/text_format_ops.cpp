#include "content/text_format_ops.h"

#include "content/default_text.h"
#include "content/rich_text_format.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "content/text_host.h"
#include "document/rtf_mem_file.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace rich_text {
namespace {

bool HasEffect(const QTextCharFormat& f, int code)
{
    switch (code) {
    case 1:
        return f.fontWeight() >= QFont::Bold;
    case 2:
        return f.fontItalic();
    case 3:
        return f.fontUnderline();
    default:
        return false;
    }
}

void SetEffect(QTextCharFormat& f, int code, bool on)
{
    switch (code) {
    case 1:
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        break;
    case 2:
        f.setFontItalic(on);
        break;
    case 3:
        f.setFontUnderline(on);
        break;
    default:
        break;
    }
}

Qt::Alignment AlignmentOfCode(int code)
{
    switch (code) {
    case 5:
        return Qt::AlignHCenter;
    case 6:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

bool SelectionHasEffect(const QTextCursor& cursor, int code)
{
    if (!cursor.hasSelection())
        return HasEffect(cursor.charFormat(), code);
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const QTextDocument* doc = cursor.document();
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= start || f.position() >= end)
                continue;
            if (!HasEffect(f.charFormat(), code))
                return false;
        }
    }
    return true;
}

void ApplyFormatCode(QTextCursor& cursor, int code, COLORREF color, const platform::CHARFORMAT* cf)
{
    QTextCharFormat f;
    switch (code) {
    case 0:
        if (cf == nullptr)
            return;
        f = FromCharFormat(*cf);
        break;
    case 1:
    case 2:
    case 3:
        SetEffect(f, code, !SelectionHasEffect(cursor, code));
        break;
    case 4:
    case 5:
    case 6: {
        QTextBlockFormat b;
        b.setAlignment(AlignmentOfCode(code));
        cursor.mergeBlockFormat(b);
        return;
    }
    case 7:
        f.setForeground(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
        break;
    default:
        return;
    }
    cursor.mergeCharFormat(f);
    // An empty paragraph, and the end of a paragraph the selection reaches,
    // keep their format as the paragraph's end format (what a field's label
    // and the next typing take).
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock b = cursor.document()->findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        if (b.length() == 1 || end >= b.position() + b.length() - 1) {
            QTextCursor bc(b);
            bc.mergeBlockCharFormat(f);
        }
    }
}

int AlignmentCodeOf(const QTextDocument& document)
{
    const Qt::Alignment a = document.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        return 0;
    if (a & Qt::AlignRight)
        return 2;
    return 1;
}

void SetAlignmentCode(QTextCursor& cursor, int code)
{
    QTextBlockFormat b;
    b.setAlignment(code == 0 ? Qt::AlignHCenter : code == 2 ? Qt::AlignRight : Qt::AlignLeft);
    cursor.mergeBlockFormat(b);
}

bool LoadStoreOrDefault(const CRtfMemFile& store, const DocumentEnvironment& env, QTextDocument& document)
{
    ApplyTextHostDefaults(document);
    const bool useDefault = store.GetLength() == 0;
    const QByteArray bytes = useDefault ? LoadDefaultRichText(env) : store.ToByteArray();
    ReadRtf(bytes, &document, nullptr);
    return useDefault;
}

void WriteStore(const QTextDocument& document, CRtfMemFile& store)
{
    store.SetLength(0);
    store.Rewind();
    store.Write(WriteRtf(document));
    store.Rewind();
}

QString StorePlainText(const CRtfMemFile& store, int* alignment)
{
    if (store.GetLength() == 0) {
        if (alignment != nullptr)
            *alignment = 1;
        return {};
    }
    QTextDocument document;
    ApplyTextHostDefaults(document);
    ReadRtf(store.Data(), &document, nullptr);
    if (alignment != nullptr)
        *alignment = AlignmentCodeOf(document);
    return document.toPlainText();
}

void ReplaceStoreText(CRtfMemFile& store, const DocumentEnvironment& env, const QString& text, int alignment)
{
    QTextDocument document;
    LoadStoreOrDefault(store, env, document);
    QTextCursor cursor(&document);
    const QTextCharFormat start = cursor.charFormat();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text, start);
    cursor.select(QTextCursor::Document);
    SetAlignmentCode(cursor, alignment);
    WriteStore(document, store);
}

void ApplyFormatToStore(CRtfMemFile& store, const DocumentEnvironment& env, int code, COLORREF color,
                        const platform::CHARFORMAT* cf)
{
    QTextDocument document;
    LoadStoreOrDefault(store, env, document);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    ApplyFormatCode(cursor, code, color, cf);
    WriteStore(document, store);
}

} // namespace rich_text
