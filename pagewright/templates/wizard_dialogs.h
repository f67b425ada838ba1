// What the template chooser, the report wizard and its pages share: how
// their modal dialogs run and how files are chosen (both replaceable, so
// tests answer them), the wizard's texts, and the placing of controls in
// dialog units.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CDialog;
class DocumentEnvironment;
class QWidget;

// Runs a modal dialog of the chooser and the wizard and returns
// CDialog::kIdOk or kIdCancel. An empty runner restores DoModal.
using WizardDialogRunner = std::function<int(CDialog& dialog)>;
void SetWizardDialogRunner(WizardDialogRunner runner);
int RunWizardDialog(CDialog& dialog);

struct WizardChoosers {
    // Infrared files for opening (several when multiple); empty: cancelled.
    std::function<QStringList(QWidget* parent, bool multiple)> infraredFiles;
    // A picture file; empty: cancelled.
    std::function<QString(QWidget* parent)> picture;
};
// The choosers in use: the infrared file dialog and the picture dialog,
// unless replaced.
WizardChoosers& TheWizardChoosers();

extern const char* const kWizardPictureFilter;

// A text of the program's string table (the document's texts included).
QString WizardString(int id);
// A string with one "%d", formatted.
QString WizardString(int id, int number);

// The environment of the running program.
DocumentEnvironment& WizardEnvironment();

// Places a control at (x, y) with size (cx, cy) in dialog units of the
// dialogs' 9-point font, below a top offset in pixels.
void PlaceInDialogUnits(QWidget* control, int x, int y, int cx, int cy, int top = 0);
int DialogUnitsX(int x);
int DialogUnitsY(int y);
