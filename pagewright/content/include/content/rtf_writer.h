// The RTF writer: a QTextDocument to bytes in the original editor's shape,
// so that the byte-level rewrites made on stored texts (the colour-table
// inversion, the field's font insertion) work on new texts as on old ones:
//
//     {\rtf1\ansi\ansicpg936\deff0\deflang1033\deflangfe2052{\fonttbl{\f0\fnil\fcharset134 \'cb\'ce\'cc\'e5;}}<CRLF>
//     {\colortbl ;\red255\green0\blue0;}<CRLF>            only when explicit colours are used
//     \viewkind4\uc1\pard\qc\f0\fs21 text\par<CRLF>        one line per paragraph
//     }<CRLF>
//
// The font table is the first group, and its closing "}}" is the first of
// the text; every paragraph opens with \pard followed by another control
// word and ends in \par CRLF; alignment is \qc, \qr or \qj (left is the
// default and not written); sizes are half points; characters outside ASCII
// are \'hh in the code page of their font's character set, or \uN? where that
// code page has no such character.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace rich_text {

QByteArray WriteRtf(const QTextDocument& document);

} // namespace rich_text
