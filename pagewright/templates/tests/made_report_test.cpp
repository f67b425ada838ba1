// Reports the program makes for the user (built from the new-report wizard's
// answers, filled from a template with the wizard file, filled from the
// command line) are unsaved work: closing the report or the program asks
// whether to save, as for any edited report, and a save ends that.
#include "conversion_fixture.h"

#include "batch_fixtures.h"
#include "resource_ids.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include "document/document_environment.h"

#include <QPointer>

#include <functional>

using namespace convtest;

namespace {

// A template with one infrared image, its photo and a text.
QString WriteSiteTemplate(const Conversion& conv)
{
    const QString path = conv.Path(QStringLiteral("site.rpm"));
    TemplateBuilder t;
    t.Image(DocRect(100, -100, 2000, -1500), 1);
    t.Photo(DocRect(2100, -100, 3400, -1100), 1);
    t.Text(DocRect(100, -1600, 4000, -1900), QStringLiteral("Findings"));
    return t.Save(path);
}

void NewReportFromWizard(Conversion& conv)
{
    WizardState& s = TheWizardState();
    s.Reset();
    s.strWizardReportName = QStringLiteral("Plant survey");
    s.nWizardImageCount = 1;
    WizardState::Set(s.astrWizardIRPaths, 0, batchtest::SharedInputs().a);
    ASSERT_TRUE(WriteWizardFile(WizardFilePath(conv.box.ProgramFolder()), s, kNewReportWizard, LayoutFile()));
    conv.app->ConvertReportTemplate(conv.ProgramFile(QStringLiteral("template/NewTemp.rpt")), s.strWizardReportName,
                                    2);
}

void TemplateFilledFromWizard(Conversion& conv)
{
    const QString tpl = WriteSiteTemplate(conv);
    platform::IniDocument wizard;
    wizard.writeString(u"IROBJ", u"OBJ1_Path", batchtest::SharedInputs().a);
    wizard.writeString(u"TEXTOBJ", u"OBJ1_Content", u"--");
    ASSERT_TRUE(platform::IniFile(WizardFilePath(conv.box.ProgramFolder())).save(wizard));
    conv.app->ConvertReportTemplate(tpl, QStringLiteral("Site report"), 1);
}

void FilledFromCommandLine(Conversion& conv)
{
    const QString tpl = WriteSiteTemplate(conv);
    const QString data = conv.Path(QStringLiteral("data.txt"));
    QFile f(data);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(batchtest::SharedInputs().a.toUtf8() + "\r\n");
    f.close();
    // The program starts again with "template|data" on its command line.
    conv.app.reset();
    StartupOptions options = conv.box.Options();
    options.arguments = {tpl + QLatin1Char('|') + data};
    conv.app = conv.box.Start(options);
    ASSERT_NE(conv.app, nullptr);
}

struct Maker {
    const char* name;
    std::function<void(Conversion&)> make;
};

const Maker kMakers[] = {
    {"new-report wizard", NewReportFromWizard},
    {"template filled by the wizard", TemplateFilledFromWizard},
    {"command-line filling", FilledFromCommandLine},
};

bool IsOpen(const Conversion& conv, CSplitFrame* frame)
{
    return frame != nullptr && conv.app->GetMainFrame()->GetMdiClient()->subWindowList().contains(frame);
}

} // namespace

TEST(MadeReport, IsUnsavedWorkUntilSavedSoClosingAsks)
{
    for (const Maker& maker : kMakers) {
        SCOPED_TRACE(maker.name);
        Conversion conv;
        ASSERT_NE(conv.app, nullptr);
        maker.make(conv);
        if (::testing::Test::HasFatalFailure())
            return;
        const QPointer<CSplitFrame> frame = conv.app->GetMainFrame()->MDIGetActive();
        CDI_RptView* view = conv.ActiveView();
        ASSERT_NE(view, nullptr);
        CDI_RptDoc* doc = view->GetDocument();
        EXPECT_TRUE(doc->IsModified());
        EXPECT_FALSE(doc->CanUndo()) << "its history starts with it";

        // Exit asks; Cancel keeps the program and the report.
        conv.box.saveAnswer = IDCANCEL_ANSWER;
        conv.app->GetMainFrame()->ExecuteCommand(res::ID_APP_EXIT);
        QApplication::processEvents();
        EXPECT_EQ(conv.box.Shown(doc_string::kAskToSave), 1);
        ASSERT_TRUE(IsOpen(conv, frame));
        ASSERT_EQ(conv.ActiveView(), view);

        // So does File > Close.
        conv.app->GetMainFrame()->ExecuteCommand(res::ID_FILE_CLOSE);
        QApplication::processEvents();
        EXPECT_EQ(conv.box.Shown(doc_string::kAskToSave), 2);
        ASSERT_TRUE(IsOpen(conv, frame));

        // Once saved, the report closes without a question.
        const QString saved = conv.Path(QStringLiteral("saved.rpt"));
        ASSERT_TRUE(doc->DoSave(saved));
        EXPECT_FALSE(doc->IsModified());
        EXPECT_EQ(doc->GetPathName(), saved);
        conv.app->GetMainFrame()->ExecuteCommand(res::ID_FILE_CLOSE);
        QApplication::processEvents();
        EXPECT_EQ(conv.box.Shown(doc_string::kAskToSave), 2);
        EXPECT_FALSE(IsOpen(conv, frame));
        EXPECT_TRUE(QFileInfo(saved).isFile());
    }
}
