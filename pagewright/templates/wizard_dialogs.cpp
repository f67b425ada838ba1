#include "wizard_dialogs.h"

#include "app_environment.h"
#include "rpt_app.h"
#include "string_table.h"

#include "document/view_file_dlg.h"
#include "irimage/ir_file_dlg.h"
#include "platform/dialog_folder.h"
#include "skin/dialog_base.h"


const char* const kWizardPictureFilter =
    "All Image Files(*.bmp;*.gif;*.jpg;*.pcx;*.tga;*.tif)|*.bmp;*.gif;*.jpg;*.pcx;*.tga;*.tif||";

namespace {

WizardDialogRunner& Runner()
{
    static WizardDialogRunner runner;
    return runner;
}

QStringList ChooseInfraredFiles(QWidget* parent, bool multiple)
{
    DocumentEnvironment& env = WizardEnvironment();
    CIRFileDlg dialog(env, true, QString(), QString(), QString::fromLatin1(kIRFileFilter), parent);
    dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.StartAtRememberedPlace();
    if (!env.RunDialog(dialog))
        return {};
    return dialog.selectedFiles();
}

QString ChoosePicture(QWidget* parent)
{
    DocumentEnvironment& env = WizardEnvironment();
    CViewFileDlg dialog(true, QString(), QString(), QString::fromLatin1(kWizardPictureFilter), parent);
    dialog.setDirectory(platform::ProposedFolder(env.PicPath()));
    if (!env.RunDialog(dialog))
        return {};
    env.SetPicPath(dialog.GetPathName());
    return dialog.GetPathName();
}

} // namespace

void SetWizardDialogRunner(WizardDialogRunner runner) { Runner() = std::move(runner); }

int RunWizardDialog(CDialog& dialog) { return Runner() ? Runner()(dialog) : dialog.DoModal(); }

WizardChoosers& TheWizardChoosers()
{
    static WizardChoosers choosers{&ChooseInfraredFiles, &ChoosePicture};
    return choosers;
}

QString WizardString(int id) { return WizardEnvironment().LoadString(id); }

QString WizardString(int id, int number)
{
    // Replaced by hand: the texts may come from a user's override file.
    return WizardString(id).replace(QStringLiteral("%d"), QString::number(number));
}

DocumentEnvironment& WizardEnvironment() { return theApp().GetDocumentEnvironment(); }

int DialogUnitsX(int x) { return x * 3 / 2; }
int DialogUnitsY(int y) { return y * 13 / 8; }

void PlaceInDialogUnits(QWidget* control, int x, int y, int cx, int cy, int top)
{
    control->setGeometry(DialogUnitsX(x), top + DialogUnitsY(y), DialogUnitsX(cx), DialogUnitsY(cy));
}
