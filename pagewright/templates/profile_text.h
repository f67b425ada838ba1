// Texts of report objects in profile files (a template's layout file, the
// wizard file). A profile value is one line, so a text's line breaks are
// written escaped: "\" as "\\", CR as "\r", LF as "\n". Reading undoes
// exactly these three; any other backslash pair stays as it is.
#pragma once

#include <QString>

QString EscapeProfileText(const QString& text);
QString UnescapeProfileText(const QString& value);
