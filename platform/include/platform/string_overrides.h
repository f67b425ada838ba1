// String override files: UTF-8 lines "id=text" ("\n" stands for a line
// break, "#" starts a comment line) that replace texts of a program's
// built-in string table, as a resource library did. Each program keeps its
// own table and file name.
#pragma once

#include <QHash>
#include <QString>

#include <span>

namespace platform {

// The texts of the file at path by id; false (and *out untouched) when it
// cannot be read or is larger than 4 MB.
bool ReadStringOverrides(const QString& path, QHash<int, QString>* out);

// A program's string table: built-in texts (UTF-8) with an override file's
// texts in front of them.
class StringTable {
public:
    struct Entry {
        int id;
        const char* text;
    };

    explicit StringTable(std::span<const Entry> builtIn);

    // The override's text, else the built-in one; nullptr when neither has it.
    const QString* Find(int id) const;
    // Reads an override file; false (and no change) when it cannot be read.
    bool LoadOverrides(const QString& path) { return ReadStringOverrides(path, &m_overrides); }
    void ClearOverrides() { m_overrides.clear(); }

    // A command's status-bar prompt and tooltip: the halves of its text at
    // the first line break.
    static QString PromptOf(const QString& text);
    static QString TipOf(const QString& text);

private:
    QHash<int, QString> m_builtIn;
    QHash<int, QString> m_overrides;
};

} // namespace platform
