// ZipPackage: the zip container of an Office Open XML package, built in
// memory with libzip.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

struct ZipPart {
    QString name;     // path inside the package, e.g. "word/document.xml"
    QByteArray bytes;
    bool compress = true; // false: stored (pictures that are compressed already)
};

// The zip file of the parts in order; empty with *error set when libzip
// failed.
QByteArray ZipPackage(const std::vector<ZipPart>& parts, QString* error = nullptr);
