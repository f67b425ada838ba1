// The chooser and the wizard driven by a test: every modal dialog they open
// is answered by the next step of a queue, file choosers and message boxes
// by the test's answers; layout files written key by key.
#pragma once

#include "conversion_fixture.h"

#include "report_wizard_dlg.h"
#include "template_select_dlg.h"
#include "wizard_dialogs.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include "platform/ini_file.h"
#include "skin/dialog_base.h"
#include "skin/message_box.h"

#include <QListWidget>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace wiztest {

using Step = std::function<void(CDialog&)>;

class Driver {
public:
    Driver()
    {
        SetWizardDialogRunner([this](CDialog& dialog) {
            shown.push_back(dialog.GetTemplateId());
            QTimer::singleShot(0, &dialog, [this, &dialog] {
                if (steps.empty()) {
                    ADD_FAILURE() << "no step for dialog " << dialog.GetTemplateId();
                    dialog.done(QDialog::Rejected);
                    return;
                }
                Step step = std::move(steps.front());
                steps.pop_front();
                step(dialog);
            });
            return dialog.DoModal();
        });
        saved = TheWizardChoosers();
        TheWizardChoosers().infraredFiles = [this](QWidget*, bool multiple) {
            lastMultiple = multiple;
            return nextFiles;
        };
        TheWizardChoosers().picture = [this](QWidget*) { return nextPicture; };
        SetMessageBoxHook([this](const MessageBoxRequest& request) {
            messages.push_back(request);
            if (answers.empty())
                return IDOK_ANSWER;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~Driver()
    {
        SetWizardDialogRunner({});
        TheWizardChoosers() = saved;
    }
    std::vector<int> MessageIds() const
    {
        std::vector<int> ids;
        for (const MessageBoxRequest& m : messages)
            ids.push_back(m.stringId);
        return ids;
    }

    std::deque<Step> steps;
    std::vector<int> shown;
    QStringList nextFiles;
    QString nextPicture;
    bool lastMultiple = false;
    std::deque<int> answers;
    std::vector<MessageBoxRequest> messages;

private:
    WizardChoosers saved;
};

// The program with an empty template folder (NewTemp.rpt kept unless
// asked), a test driver, and a fresh wizard state.
struct Fixture {
    explicit Fixture(bool keepNewTemplate = true)
    {
        TheWizardState().Reset();
        QDir folder(TemplateFolder());
        for (const QString& name : folder.entryList(QDir::Files)) {
            if (!(keepNewTemplate && name == QStringLiteral("NewTemp.rpt")))
                folder.remove(name);
        }
    }
    ~Fixture()
    {
        if (conv.app)
            conv.app->ExitInstance();
    }
    QString TemplateFolder() const { return conv.ProgramFile(QStringLiteral("template")); }
    QString TemplatePath(const QString& name) const { return TemplateFolder() + QLatin1Char('/') + name; }
    // A template file that is never opened (its layout file is current).
    QString DummyTemplate(const QString& name) const
    {
        QFile f(TemplatePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not read");
        return f.fileName();
    }

    convtest::Conversion conv;
    Driver driver;
};

// A layout file from (section, key, value) entries, marked current.
using LayoutEntries = std::vector<std::tuple<const char*, QString, QString>>;
inline QString WriteLayoutFile(const QString& path, const LayoutEntries& entries, bool current = true)
{
    platform::IniDocument ini;
    for (const auto& [section, key, value] : entries)
        ini.writeString(QString::fromLatin1(section), key, value);
    ini.writeInt(u"System", u"Updated", current ? 1 : 0);
    EXPECT_TRUE(platform::IniFile(path).save(ini));
    return path;
}

// An object's keys: OBJn_Left ... _InPage.
inline void AddObject(LayoutEntries& e, const char* section, int n, QRect r, int page = 0)
{
    const auto key = [n](const char* name) { return LayoutKey(n, name); };
    e.emplace_back(section, key("Left"), QString::number(r.left()));
    e.emplace_back(section, key("Top"), QString::number(r.top()));
    e.emplace_back(section, key("Width"), QString::number(r.width()));
    e.emplace_back(section, key("Height"), QString::number(r.height()));
    e.emplace_back(section, key("InPage"), QString::number(page));
}

inline int RowOf(const QListWidget& list, const QString& text)
{
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->text() == text)
            return i;
    }
    return -1;
}

// A step: the chooser selects a template and presses a button.
inline Step Choose(const QString& name, int button)
{
    return [name, button](CDialog& d) {
        auto& chooser = static_cast<CTemplateSelectDlg&>(d);
        chooser.List()->setCurrentRow(RowOf(*chooser.List(), name));
        chooser.ClickButton(button);
    };
}

} // namespace wiztest
