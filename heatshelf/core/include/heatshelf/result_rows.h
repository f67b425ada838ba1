// What the result list shows for a category: its columns and its rows, made
// from the measurement records, scene parameters and device data the holder
// read from the current file. Texts of the resource table appear as their
// string ids; the list's widget looks them up.
#pragma once

#include <QString>

#include <vector>

namespace heatshelf {

class CIrImage;

struct Cell {
    int stringId = 0;  // a resource string when not 0
    QString text;
    static Cell id(int stringId) { return Cell{stringId, {}}; }
    static Cell of(QString text) { return Cell{0, std::move(text)}; }
    bool operator==(const Cell&) const = default;
};

struct Column {
    Cell title;
    int width = 80;
};

struct ResultTable {
    std::vector<Column> columns;
    std::vector<std::vector<Cell>> rows;  // one cell per column
};

enum ResultCategory { kValues = 0, kPositions = 1, kParameters = 2, kFileData = 3 };

// The table of a category (0..3; any other has no columns). Rows only when
// a file is shown (image not null); currentFile names it for the file data,
// whose values are empty when the file has gone.
ResultTable BuildResultTable(int category, const CIrImage* image, const QString& currentFile);

}  // namespace heatshelf
