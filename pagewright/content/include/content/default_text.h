// The program's default rich text ("wenben.dat" in the program folder): what
// the editor and a new text or field start from. It is read, never written.
// A missing or unreadable file gives a built-in text of the same kind (one
// empty paragraph in the default Chinese font), with one warning per process.
#pragma once

#include <QByteArray>

class DocumentEnvironment;

QByteArray LoadDefaultRichText(const DocumentEnvironment& env);
// The built-in text.
QByteArray BuiltInDefaultRichText();
