// Shared pieces of the image object's tests: an environment that records
// what the object asks of the program, fixture paths and small file edits.
#pragma once

#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"

#include "document/document_environment.h"
#include "document/draw_class.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace irtest {

// A view that counts the times its whole window is to be drawn again.
struct CountingView : DrawView {
    int wholeRepaints = 0;
    void InvalidateAll() override { ++wholeRepaints; }
};

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
    int MessageBox(const QString&, int, int stringId) override
    {
        messages.push_back(stringId);
        return kAnswerNo;
    }
    // The palettes of the data folder (nruler1.bmp ...): 256 pixels of blue,
    // green, red each, as the program loads them.
    QByteArray PaletteTable() const override
    {
        QByteArray table;
        for (int i = 1; i <= palettes; ++i) {
            const QByteArray file = ReadAll(QDir(folder).filePath(QStringLiteral("nruler%1.bmp").arg(i)));
            for (int k = 0; k < 256; ++k) {
                const qsizetype at = 54 + 3 * k;
                table.append(at + 3 <= file.size() ? file.mid(at, 3) : QByteArray(3, '\0'));
                table.append('\0');
            }
        }
        return table;
    }

    QString folder = QStringLiteral(IRIMAGE_TEST_DATA);
    int palettes = 10;
    std::vector<int> selectedPalettes;
    std::vector<int> messages; // string ids of the message boxes shown
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

// An analysis of a kind and shape (emissivity 0.95 at 1 m).
inline IRAnalysisItem Shape(std::int32_t kind, IRShape shape)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.shape = shape;
    item.emissivity = 0.95f;
    item.distance = 1.0f;
    return item;
}

// A document with a view, and an image object on it.
struct ReportWithView {
    TestEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    ReportWithView() { doc.SetView(&view); }
    ~ReportWithView() { doc.SetView(nullptr); }

    CDrawIR* AddImage(int number = 1)
    {
        auto ir = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000));
        ir->SetNumber(number);
        return static_cast<CDrawIR*>(doc.AddNoUndo(std::move(ir)));
    }
};

// The basic classes, the image object and the 3D map.
inline const DrawClassRegistry& RegistryWithMaps()
{
    static const DrawClassRegistry registry = [] {
        DrawClassRegistry r = DrawClassRegistry::MakeBasic();
        CDrawIR::Register(r);
        CDraw3DMap::Register(r);
        return r;
    }();
    return registry;
}

} // namespace irtest
