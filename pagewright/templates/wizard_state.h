// The report wizard's answers, kept for the whole run: the template chooser
// and the wizard pages fill them in, the wizard's end writes them into the
// wizard file, and template conversion reads them.
//
// Per-image lists are indexed from 0 (image i of the wizard file is entry
// i - 1); they grow as entries are set, and an entry never set reads empty.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct WizardState {
    // Layout file of the template last shown in the chooser.
    QString strTemplateIniPath;

    QString strWizardReportName;
    QString strWizardReportTitle;
    QString strWizardCompany;
    QString strWizardDescription;
    int nWizardImageCount = 0;

    // The new-report wizard's optional objects of each image page: the
    // result table, the line profile, the histogram.
    bool bWizardAttributeTable = false;
    bool bWizardLineProfile = false;
    bool bWizardHistogram = false;

    // The image selected in the wizard.
    QString strWizardCurIRPath;
    QString strWizardCurPhotoPath;

    QStringList astrWizardIRPaths;
    QStringList astrWizardPhotoPaths;
    std::vector<bool> abWizardUsePhoto;
    QStringList astrWizardPageTitles;
    QStringList astrWizardSections;
    QStringList astrWizardDeviceNames;

    // The template's new texts, one per text object in list order.
    QStringList astrWizardTexts;
    // New cell texts of the template's tables: nWizardTableRows rows of
    // nWizardTableCols texts, the last table's rows first.
    std::vector<QStringList> aastrWizardCells;
    int nWizardTableRows = 0;
    int nWizardTableCols = 0;

    // Entry index of a list, or an empty text past its end.
    static QString At(const QStringList& list, int index) { return index >= 0 && index < list.size() ? list[index] : QString(); }
    bool UsePhoto(int index) const
    {
        return index >= 0 && std::size_t(index) < abWizardUsePhoto.size() && abWizardUsePhoto[std::size_t(index)];
    }
    QString Cell(int row, int col) const;

    // Sets entry index, growing the list as needed.
    static void Set(QStringList& list, int index, const QString& value);
    void SetUsePhoto(int index, bool use);
    void SetCell(int row, int col, const QString& value);

    // Everything back to its state at start.
    void Reset() { *this = WizardState(); }
};

// The one wizard state of the program.
WizardState& TheWizardState();
