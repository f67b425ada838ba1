// Shared pieces of the image object's tests: an environment that records
// what the object asks of the program, fixture paths and small file edits.
#pragma once

#include "irimage/draw_ir.h"

#include "document/document_environment.h"
#include "document/draw_class.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace irtest {

inline QString Fixture(const char* name) { return QStringLiteral(IRIMAGE_TEST_FIXTURES "/") + QLatin1String(name); }

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A copy of a fixture under a new name in dir.
inline QString CopyFixture(const QTemporaryDir& dir, const char* fixture, const QString& name)
{
    QDir().mkpath(QFileInfo(dir.filePath(name)).path());
    const QString path = dir.filePath(name);
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(Fixture(fixture), path)) << fixture;
    return path;
}

class FakeCombo : public FileComboHost {
public:
    void ResetContent() override { items.clear(); }
    void AddString(const QString& text) override { items << text; }
    void SetCurSel(int index) override { selected = index; }
    int GetCurSel() const override { return selected; }
    void SetFileNameText(const QString& text) override { fileName = text; }
    void FocusFileName() override { ++focused; }

    QStringList items;
    int selected = -1;
    QString fileName;
    int focused = 0;
};

// The program as the image object sees it: ten palettes in the default data
// folder, and a record of what was asked.
class TestEnvironment : public DocumentEnvironment {
public:
    QString ProgramFolder() const override { return folder; }
    int PaletteCount() const override { return palettes; }
    void SelectPalette(int index) override { selectedPalettes.push_back(index); }
    void SetPicPath(const QString& path) override { picPaths << path; }
    QStringList DataFileNames() const override { return dataFiles; }
    FileComboHost* FileCombo() override { return withCombo ? &combo : nullptr; }
    int MessageBox(const QString&, int, int) override { return kAnswerNo; }

    QString folder = QStringLiteral(IRIMAGE_TEST_DATA);
    int palettes = 10;
    std::vector<int> selectedPalettes;
    QStringList picPaths;
    QStringList dataFiles;
    bool withCombo = false;
    FakeCombo combo;
};

// The basic classes and the image object.
inline const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = [] {
        DrawClassRegistry r = DrawClassRegistry::MakeBasic();
        CDrawIR::Register(r);
        return r;
    }();
    return registry;
}

} // namespace irtest
