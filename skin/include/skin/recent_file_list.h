// CRecentFileList: the four files a program opened or saved last, newest
// first, kept in its settings (section "Recent File List", entries "File1"
// ... "File4") and shown in its File menu as "&1 name" ... "&4 name".
#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class Settings;
}

class CRecentFileList {
public:
    static constexpr int kSize = 4;
    // The menu text of a path at most this long is the whole path.
    static constexpr int kMaxDisplayLength = 30;

    // settings: where the list is kept; null keeps it for this run only.
    explicit CRecentFileList(platform::Settings* settings = nullptr) : m_settings(settings) {}

    // Reads the list from the settings (empty entries left out).
    void ReadList();
    // The path goes to the top (once); the oldest falls off. Written at once.
    void Add(const QString& path);
    // Entry index leaves the list; written at once.
    void Remove(int index);

    int Count() const { return int(m_files.size()); }
    QString At(int index) const { return m_files.value(index); }
    const QStringList& Files() const { return m_files; }
    // "&<index + 1> " followed by the abbreviated path ("&&" for "&").
    QString MenuText(int index) const;
    // The path when it is short enough, else its first folder, "...", and
    // as many of its last parts as fit (the file name always).
    static QString AbbreviatedName(const QString& path, int maxLength = kMaxDisplayLength);

private:
    void writeList() const;

    platform::Settings* m_settings;
    QStringList m_files;
};
