// The browser started offscreen with the real image view, and the core's
// camera files (built by heatshelf/core/tests/shelf_fixtures.py).
#pragma once

#include "app_test_support.h"

#include "heatshelf_view.h"

#include <QString>
#include <QTemporaryDir>
#include <QStringList>

#include <memory>

// A file or folder of the core's fixtures.
QString FixturePath(const QString& name);
QByteArray ReadAll(const QString& path);
// Copies a fixture into dir (under its own name, or as); the copy's path.
QString CopyFixture(const QTemporaryDir& dir, const QString& name, const QString& as = {});
// The names of the grid's cells, in order.
QStringList ThumbNames(const heatshelf::CHeatshelfView& v);
// thermcore's extract_check.py with args: its exit status.
int RunExtractCheck(const QStringList& args);

struct ViewFixture {
    // width x height: the main window's size.
    explicit ViewFixture(int width = 1200, int height = 800);
    ~ViewFixture();
    // Chooses a folder as the folder tree does.
    void ShowFolder(const QString& folder);
    // Runs a frame command and lets posted work and timers run.
    void Run(int command);
    void Settle(int ms = 30);
    // In the grid: waits until its folder's files are all found; false
    // after ms.
    bool WaitForGrid(int ms = 60000);

    StartupSandbox box;
    std::unique_ptr<heatshelf::CHeatshelfApp> app;
    heatshelf::CMainFrame* frame = nullptr;
    heatshelf::CHeatshelfView* view = nullptr;
};
