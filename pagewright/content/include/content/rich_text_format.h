// The text formats of report texts in QTextDocument terms, shared by the RTF
// reader and writer, the text host and the format bar's CHARFORMAT.
//
// A character format keeps the font as the RTF names it (its face in
// fontFamilies(), its character set, pitch and family kind in the user
// properties below), so that a text read and written again keeps its font
// table. The faces of the original system's fonts are drawn with the fonts
// installed here through Qt's font substitution (see
// InstallReportFontSubstitutions).
//
// Colour: a format with no foreground brush has the "auto" colour (the
// colour table's entry 0, drawn in the window-text colour); an explicit black
// is a black foreground brush.
//
// Layout unit: one pixel at 96 dpi (15 twips, 10.5 report units).
#pragma once

#include "document/geometry.h"
#include "platform/char_format.h"

#include <QString>
#include <QTextFormat>

class QTextCharFormat;

namespace rich_text {

// Character-format properties kept for the RTF font table.
inline constexpr int kCharsetProperty = QTextFormat::UserProperty + 0x190; // int, \fcharsetN
inline constexpr int kPitchProperty = QTextFormat::UserProperty + 0x191;   // int, \fprqN
inline constexpr int kFamilyProperty = QTextFormat::UserProperty + 0x192;  // int, FontFamily

// The family keyword of a font-table entry (\fnil, \froman, ...).
enum FontFamily { kFamilyNil = 0, kFamilyRoman, kFamilySwiss, kFamilyModern, kFamilyScript, kFamilyDecor,
                  kFamilyTech, kFamilyBidi };

// Layout geometry.
inline constexpr double kLayoutDpi = 96.0;
inline constexpr double kTwipsPerPixel = 15.0;
inline constexpr double kReportUnitsPerPixel = 10.5;
// The default tab stop: every 720 twips.
inline constexpr double kDefaultTabPixels = 720.0 / kTwipsPerPixel;
// The character set written for a font whose format names none (GB2312).
inline constexpr int kDefaultCharset = 134;

// Maps the faces of the original system's fonts to installed ones (宋体 and
// SimSun and "System" to WenQuanYi Zen Hei, Arial to Liberation Sans, Times
// New Roman to Liberation Serif). Runs once per process; every document of
// report text calls it before it lays out.
void InstallReportFontSubstitutions();

// The face of a format (the first of fontFamilies(), else fontFamily()).
QString FaceOf(const QTextCharFormat& format);
// The explicit colour of a format; false for the auto colour.
bool ExplicitColorOf(const QTextCharFormat& format, COLORREF& color);

// CHARFORMAT <-> QTextCharFormat, for the attributes whose mask bit is set
// (bold, italic, underline, strike-out, size, colour with auto, face,
// character set, pitch and family). ToCharFormat fills every one of them and
// sets their mask bits.
QTextCharFormat FromCharFormat(const platform::CHARFORMAT& cf);
platform::CHARFORMAT ToCharFormat(const QTextCharFormat& format);

} // namespace rich_text
