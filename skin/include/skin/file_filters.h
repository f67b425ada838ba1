// File-type filters of the file dialogs in Qt's form.
#pragma once

#include <QString>
#include <QStringList>

namespace skin {

// The filters of a file dialog, one "Text (*.a *.b)" entry per file type,
// from a stored filter text in either form the programs keep:
// "Text|*.a;*.b|Other|*.c||" pairs, or "Text (*.a;*.b)" entries separated
// by ";;" (an entry without parentheses is a pattern list of its own).
// Qt separates patterns with blanks; each pattern is given as written, in
// capitals and in small letters (camera cards name their files in
// capitals), once. The text loses a pattern list of its own at its end.
QStringList FileDialogFilters(const QString& stored);

// The same joined with ";;", as QFileDialog's static functions take it.
QString FileDialogFilter(const QString& stored);

} // namespace skin
