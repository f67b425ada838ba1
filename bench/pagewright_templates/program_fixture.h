// The report designer started in private folders, without a window, for
// the template benchmarks; the chooser of its first new report answers
// "empty report".
#pragma once

#include "bench_fixture.h"
#include "rpt_app.h"
#include "wizard_dialogs.h"

#include "skin/dialog_base.h"

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

namespace bench {

struct TemplatesProgram {
    explicit TemplatesProgram(const char* name)
    {
        EnsureApplication(name);
    }
    void Start()
    {
        StartupOptions o;
        o.programFolder = root.filePath(QStringLiteral("program"));
        o.configFolder = root.filePath(QStringLiteral("config"));
        o.defaultDataFolder = QStringLiteral(TEMPLATES_BENCH_DATA);
        o.executableFolder = root.filePath(QStringLiteral("bin"));
        o.printablePageMm = [] { return std::nullopt; };
        o.cardpullLibrary.clear();
        o.showMainFrame = false;
        SetWizardDialogRunner([](CDialog&) { return CDialog::kIdOk; });
        app = std::make_unique<CDI_RptApp>(o);
        app->InitInstance();
    }
    QTemporaryDir root;
    std::unique_ptr<CDI_RptApp> app;
};

} // namespace bench
