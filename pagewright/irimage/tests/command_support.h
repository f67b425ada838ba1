// The image commands' tests: an environment that answers the dialogs (file
// dialogs choose given files; other dialogs are accepted or refused), keeps
// scratch files in a folder of its own and records message texts.
#pragma once

#include "test_support.h"

#include <QDialog>
#include <QFileDialog>
#include <QTemporaryDir>

#include <functional>

namespace irtest {

// The extract fixtures of Thermcore (tools/extractgen.py).
inline QString ExtractFixture(const char* name)
{
    return QStringLiteral(IRIMAGE_TEST_EXTRACTS "/") + QLatin1String(name);
}

class CommandEnvironment : public TestEnvironment {
public:
    QString TemporaryFolder() const override { return scratch.path(); }
    QString PicPath() const override { return picPaths.isEmpty() ? QString() : picPaths.back(); }
    int MessageBox(const QString& text, int type, int stringId) override
    {
        messageTexts << text;
        messages.push_back(stringId);
        (void)type;
        return answer;
    }
    // File dialogs select these (quoted when several) and pick filter
    // (counted from 1; 0 keeps the dialog's); other dialogs go to onDialog.
    bool RunDialog(QDialog& dialog) override
    {
        ++dialogs;
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            seenFilters = files->nameFilters();
            seenFilter = files->selectedNameFilter();
            if (choose.isEmpty())
                return false;
            if (filter > 0)
                files->selectNameFilter(files->nameFilters().value(filter - 1));
            if (choose.size() == 1) {
                files->selectFile(choose.front());
            } else {
                files->setDirectory(QFileInfo(choose.front()).absolutePath());
                QStringList quoted;
                for (const QString& c : choose)
                    quoted << QStringLiteral("\"%1\"").arg(QFileInfo(c).fileName());
                files->selectFile(quoted.join(QLatin1Char(' ')));
            }
            return true;
        }
        return onDialog ? onDialog(dialog) : false;
    }

    QTemporaryDir scratch;
    QStringList choose;
    int filter = 0;
    QStringList seenFilters;
    QString seenFilter;
    int dialogs = 0;
    int answer = kAnswerNo;
    QStringList messageTexts;
    std::function<bool(QDialog&)> onDialog;
};

// A document with a view and one image object, in the commands'
// environment.
struct CommandReport {
    CommandEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    CountingView view;
    CDrawIR* ir = nullptr;
    CommandReport()
    {
        doc.SetView(&view);
        auto obj = std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000));
        obj->SetNumber(1);
        ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(obj)));
        // Undo snapshots hold the selection, as the view leaves it.
        view.Select(ir);
    }
    // The image after undo or redo (the object may be read again).
    CDrawIR* Image() const
    {
        for (CDrawObj* obj : doc.GetObjects()) {
            if (auto* image = dynamic_cast<CDrawIR*>(obj))
                return image;
        }
        return nullptr;
    }
    ~CommandReport() { doc.SetView(nullptr); }
};

} // namespace irtest
