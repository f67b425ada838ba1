// "wizard.ini" in the program folder: the report wizard's answers for
// template conversion.
//
//     [IROBJ]     ObjCount (the template's image count), OBJi_Path: the
//                 infrared file of image i (from 1)
//     [CCDOBJ]    OBJk_Path: a visible-light picture for photo k
//     [PAGETITLE] [SECTION] [DEVNAME]  OBJi_Path: page title, inspection
//                 location, device name of image i (new-report wizard)
//     [TEXTOBJ]   ObjCount, OBJt_Content: the new text of text object t
//                 (template wizard)
//     [TABLEOBJ]  ObjCount, OBJn_r_c_Content: the new text of cell (r, c) of
//                 table n (template wizard)
//
// Texts and cells are escaped (profile_text.h); "--" keeps the template's
// content. In the template wizard a picture goes to the photo object that
// belongs to its image (the photo whose IRNO in the layout file is the
// image's): k is that photo's number, and an image whose template has no
// such photo writes no picture. In the new-report wizard k is the image's
// own number.
#pragma once

#include "platform/ini_document.h"

#include <QString>

struct WizardState;
class LayoutFile;

QString WizardFilePath(const QString& programFolder);

// The wizard's two kinds: 0 from a template, 1 a new report.
enum WizardKind { kTemplateWizard = 0, kNewReportWizard = 1 };

// The file's text from the wizard state; layout is the template's layout
// file (g_strTemplateIniPath's), which gives the counts, table sizes and
// photo numbers.
platform::IniDocument BuildWizardFile(const WizardState& state, int kind, const LayoutFile& layout);

// Writes the file at path in one save, replacing what was there; false with
// the reason in *error when it could not be written (nothing changes then).
bool WriteWizardFile(const QString& path, const WizardState& state, int kind, const LayoutFile& layout,
                     QString* error = nullptr);

// The file as template conversion reads it: every value whole, a missing
// key as an empty text.
class WizardFile {
public:
    WizardFile() = default;
    explicit WizardFile(platform::IniDocument ini) : m_ini(std::move(ini)) {}
    static WizardFile Load(const QString& path);

    QString IRPath(int i) const { return Path(u"IRObj", i); }
    QString PhotoPath(int k) const { return Path(u"CCDObj", k); }
    QString PageTitle(int i) const { return Path(u"PAGETITLE", i); }
    QString Section(int i) const { return Path(u"SECTION", i); }
    QString DeviceName(int i) const { return Path(u"DEVNAME", i); }
    // Unescaped.
    QString Text(int t) const;
    QString Cell(int n, int r, int c) const;

private:
    QString Path(QStringView section, int i) const;

    platform::IniDocument m_ini;
};
