// The command line of a filled report, "template|data", and its data file:
// one entry per line, a name (the path of an infrared file), optionally ";"
// and a value (the first line's value: a visible-light picture).
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct FieldDataFile {
    static constexpr int kMaxLines = 600;
    static constexpr int kMaxEntryBytes = 254;

    QStringList names;
    QStringList values; // empty for a line without ";"
};

// Splits "template|data" at the first "|"; false when there is none or it is
// the first character (then the argument is an ordinary file name).
bool SplitFillArgument(const QString& argument, QString& templatePath, QString& dataPath);

// Reads a data file: GBK, or UTF-8 when it starts with the UTF-8 byte-order
// mark; LF or CR LF line ends; the first 600 lines; names and values cut to
// 254 bytes at a character boundary. nullopt when the file cannot be read.
std::optional<FieldDataFile> ReadFieldDataFile(const QString& path);
