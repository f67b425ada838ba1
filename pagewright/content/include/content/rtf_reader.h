// The RTF reader: a stored text (the bytes of a CRtfMemFile) to a
// QTextDocument and to the run list of the word-processor export.
//
// One parser serves both outputs. It reads what the original editor and
// other programs write:
//   - the header words (\ansicpgN, \deffN), the font table with or without
//     inner groups, names with \'hh escapes, and a colour table, also where
//     an older colour rewrite put it inside the font table;
//   - {\* ...} groups and the destinations a text box cannot show (document
//     information, style sheet, headers, footers, footnotes, pictures,
//     objects, list tables...) are skipped whole;
//   - \'hh bytes are decoded in the code page of the current font's
//     \fcharsetN (134 GBK, 0 code page 1252, other sets through iconv; the
//     default set 1, a font without a set or an unknown one: \ansicpgN, else
//     GBK), also a double-byte character split between an escape and a
//     literal byte; \uN with \ucN; \tab, \line, \par, quotes, \~ and escaped
//     braces and backslashes;
//   - paragraphs with alignment and indents; runs with face, character set,
//     size, bold, italic, underline, strike-out and colour. Entry 0 of the
//     colour table (and any index outside it) is the auto colour, distinct
//     from black.
//
// Damage is tolerated and reported, never fatal: the reader stops at the end
// of the outermost group (a store may end in a NUL or stale bytes), reads a
// truncated text as far as it goes, ignores unknown words and bad hex, and
// bounds nesting (deeper groups are skipped), fonts (indexes 0 to 39; others
// select font 0) and colours. It never throws.
#pragma once

#include "document/text_run_list.h"

#include <QByteArrayView>

class CRtfMemFile;
class QTextDocument;

namespace rich_text {

// The first damage met (reading goes on where it can).
enum class RtfError {
    kNone = 0,
    kStackUnderflow = 1,  // a '}' with no open group
    kStackOverflow = 2,   // groups nested deeper than kMaxDepth (skipped)
    kUnmatchedBrace = 3,  // the text ended inside a group
    kInvalidHex = 4,      // a \' escape without two hex digits
};

inline constexpr int kMaxDepth = 256;
inline constexpr int kMaxFonts = 40;
inline constexpr int kMaxColors = 1024;

struct RtfReadResult {
    RtfError error = RtfError::kNone;
    // 1 after \qc, 2 after \qr; \ql and \qj leave it.
    int alignment = 0;
};

// Parses rtf into document (cleared first; may be null) and runs (cleared
// first; may be null). The run list follows the export's rules: one run per
// paragraph, every run after the first starting with character 11, and a
// lone run of just that mark removed.
RtfReadResult ReadRtf(QByteArrayView rtf, QTextDocument* document, TextRunList* runs);

} // namespace rich_text

// The export's entry point: the runs and alignment of a store's whole text
// (the store's position is not used or moved). True when the text read
// without damage; the runs read so far are kept either way.
bool ExtractRtfText(const CRtfMemFile& store, TextRunList& runs);
