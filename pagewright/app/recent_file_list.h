// CRecentFileList: the reports opened or saved last, newest first, as the
// File menu lists them ("&1 /path/report.rpt") and as the settings keep them
// (section "Recent File List", entries "File1" ... "File<n>").
#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class Settings;
}

class CRecentFileList {
public:
    // Paths longer than this are shortened in the menu.
    static constexpr int kMaxDisplayLength = 30;

    explicit CRecentFileList(int size) : m_size(size) {}

    int GetSize() const { return m_size; }
    int GetCount() const { return int(m_files.size()); }
    // Entry index (0 newest); empty past the end.
    QString GetFile(int index) const { return m_files.value(index); }
    const QStringList& Files() const { return m_files; }

    // Puts path (made absolute) at the top; an entry of the same file moves
    // there, and the oldest goes when the list is full.
    void Add(const QString& path);
    void Remove(int index);

    // Reads the entries the settings hold, skipping empty and repeated ones.
    void ReadList(const platform::Settings& settings);
    // Replaces the stored entries with the list; false when the settings
    // could not be written.
    bool WriteList(platform::Settings& settings) const;

    // The File menu's text of entry index: "&<n> " and the path shortened
    // to kMaxDisplayLength characters, any "&" doubled; empty past the end.
    QString MenuText(int index) const;
    // A path that is too long keeps its root, "...", and as many of its last
    // folders as fit before the file name ("/.../reports/plant.rpt"); the
    // file name alone when not even one fits.
    static QString DisplayName(const QString& path, int maxLength = kMaxDisplayLength);

private:
    int m_size;
    QStringList m_files;
};
