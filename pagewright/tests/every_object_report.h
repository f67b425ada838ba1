// A report holding an object of every class the program prints, built in
// the blank report of a started program and saved: the infrared image with
// its analyses, result table, table, field texts (page 1); line profile,
// histogram, time profile, text and 3D map (page 2); photo, logo, the five
// simple shapes and a polygon (page 3). It also says what each page shows:
// the values of every table cell, the texts and the pictures.
#pragma once

#include "view_test_support.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

class CDrawIR;
class CDrawResultTable;
class CDrawTable;

struct ExpectedCell {
    QString text;
    QString fill; // "RRGGBB", empty for none
    bool bold = false;
};
using ExpectedTable = std::vector<std::vector<ExpectedCell>>;
// What one page shows, object by object in the order of the list.
struct ExpectedPage {
    std::vector<ExpectedTable> tables;
    QStringList texts;
    int pictures = 0;
};

// Line ends as the word processor's reader gives them; no trailing break.
QString Lines(QString text);

class EveryObjectReport {
public:
    // Builds the report in the fixture's blank report and saves it in dir
    // as every.rpt; the camera files are copied to a folder of their own.
    EveryObjectReport(ViewFixture& f, const QTemporaryDir& dir);

    // The storage-location field prints this folder in a table cell: keep it
    // short enough for one line, whatever folder TMPDIR names.
    QTemporaryDir images{QStringLiteral("/tmp/ir-XXXXXX")};
    int pages = 0;
    QString path;
    CDrawIR* image = nullptr;
    CDrawResultTable* result = nullptr;
    CDrawTable* table = nullptr;
    std::vector<ExpectedPage> expected;

private:
    void Expect(CDI_RptDoc& doc);
};
