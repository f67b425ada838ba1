// One infrared file of an image's picture-folder list, and the orders of
// that list.
//
// Every entry keeps the whole file's bytes, so stepping through the list,
// palette changes and the per-file display range never go back to the disk.
// The bytes are shared (implicitly, by QByteArray) between the list, the
// image holder's load and the undo snapshots of a report.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct IRFileEntry {
    QString key;                 // text of the file combo
    QString path;                // full path
    std::uint32_t time = 0;      // last-write time, seconds since 1970
    QByteArray bytes;            // the whole file
    std::int32_t reference = 0;  // the file's ambient x 100
    float atmosphere = 0;        // the file's atmosphere temperature, Celsius
    std::uint16_t emissivity = 0; // x 100
    std::int32_t ambient = 0;    // x 100
    float atmosphereCopy = 0;
    std::uint16_t distance = 0;  // as the parameter block holds it
    std::uint16_t humidity = 0;  // per cent
    float rangeUpper = 0;        // remembered display range, Celsius; 0 until shown
    float rangeLower = 0;

    std::uint32_t Length() const { return static_cast<std::uint32_t>(bytes.size()); }
};

// Orders of the list.
enum IRFileOrder : int { kOrderNameNatural = 0, kOrderTimeSorted = 1, kOrderNameAdded = 2, kOrderTimeAdded = 3 };

// The most entries a list holds, and the most the loaders fill.
inline constexpr int kMaxFileEntries = 601;
inline constexpr int kMaxLoadedFiles = 600;

// True when key a belongs after key b. In the natural name order digit runs
// compare as numbers (of any length; with equal values the longer run comes
// first) and letters A..Z as lower case; a double-byte character compares as
// one. Any other order compares the GBK bytes.
bool CompareFileNames(const QString& a, const QString& b, int order);

// Bubble sort of the entries by key, neighbours swapped whole.
void SortFileList(std::vector<IRFileEntry>& entries, int order);

// Key i made unique among keys 0..i-1: key, key1, key2, ...
void MakeUniqueKey(std::vector<IRFileEntry>& entries, std::size_t i, int k = 0);

// The byte offset of a file's parameter block for the given layout version,
// or -1 when a block of that version is not patched or read (see
// ParamBlockOffsetForPalette).
// Palette patch: version 1 at byte 0; versions 0 and 3 at the model prefix.
long ParamBlockOffsetForPalette(const QByteArray& bytes, int version);
// Old reports: the block at byte 0 for "VN410K3", "VN410K5".."VN410K7", else
// at the first "VN410K" (byte 0 when none).
long ParamBlockOffsetForOldEntry(const QByteArray& bytes);
