// Formatting of rich text as the editor's commands and the format bar do
// it, on any QTextCursor: the editor works on its selection, the headless
// paths (tables, templates, several selected objects) on a whole text.
//
// Codes (as the editor reports them): 0 a format-bar character format,
// 1 bold, 2 italic, 3 underline (each toggled: set unless the whole
// selection has it), 4 left, 5 centre, 6 right, 7 font colour.
#pragma once

#include "document/geometry.h"
#include "platform/char_format.h"

#include <QByteArray>
#include <QString>

class CRtfMemFile;
class DocumentEnvironment;
class QTextCursor;
class QTextDocument;

namespace rich_text {

// cf: the format-bar format of code 0 (null: code 0 does nothing); colour:
// code 7's colour.
void ApplyFormatCode(QTextCursor& cursor, int code, COLORREF color, const platform::CHARFORMAT* cf = nullptr);
// Whether the whole selection (or the caret's format) is bold, italic,
// underlined (codes 1-3).
bool SelectionHasEffect(const QTextCursor& cursor, int code);

// Alignment codes of tables, texts and templates: 0 centre, 1 left, 2 right.
int AlignmentCodeOf(const QTextDocument& document);
void SetAlignmentCode(QTextCursor& cursor, int code);

// ---- headless forms, on a store (its empty form: the default text)
// Fills document with the store's text, or the default text when it is
// empty; true when the default was taken.
bool LoadStoreOrDefault(const CRtfMemFile& store, const DocumentEnvironment& env, QTextDocument& document);
// Writes the document into the store (emptied first), rewound.
void WriteStore(const QTextDocument& document, CRtfMemFile& store);
// The plain text and alignment code of a store (empty text, alignment left
// for an empty store).
QString StorePlainText(const CRtfMemFile& store, int* alignment = nullptr);
// Replaces the whole text, keeping the format of its start; alignment code
// as SetAlignmentCode (other codes: left).
void ReplaceStoreText(CRtfMemFile& store, const DocumentEnvironment& env, const QString& text, int alignment);
// One format code over the whole text.
void ApplyFormatToStore(CRtfMemFile& store, const DocumentEnvironment& env, int code, COLORREF color,
                        const platform::CHARFORMAT* cf = nullptr);

} // namespace rich_text
