// The template wizard's pages: an infrared file (and, where the template
// has a photo object for the image, a picture) for each image object of
// the template; the template's texts and the report's name; the cells of
// the template's tables. They read the layout file the chooser showed last
// and keep the answers in the wizard state.
#pragma once

#include "layout_file.h"
#include "wizard_image_page.h"

#include <QString>

class CEditListCtrl;
class QLabel;
class QLineEdit;

class CWizardIRPage : public CWizardImagePage {
    Q_OBJECT
public:
    static constexpr int kInPage = 499;
    static constexpr int kRemove = 492;

    explicit CWizardIRPage(CReportWizardDlg* frame);

    void OnSelectionChange();
    void OnRemove();

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool PictureAllowed(int selection) const override;
    void ClearInvalidFile() override { OnRemove(); }

private:
    LayoutFile m_layout;
    QLabel* m_inPage;
};

class CWizardTextPage : public CWizardPage {
    Q_OBJECT
public:
    static constexpr int kReportName = 427;
    static constexpr int kList = 497;

    explicit CWizardTextPage(CReportWizardDlg* frame);

    QString m_strReportName = QStringLiteral("WizardReport1");
    CEditListCtrl* List() const { return m_list; }
    // The rows into g_astrWizardTexts.
    void CopyRows();

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    QLineEdit* m_name;
    CEditListCtrl* m_list;
};

class CWizardTablePage : public CWizardPage {
    Q_OBJECT
public:
    static constexpr int kList = 497;
    static constexpr int kListWidth = 500;
    // At most this many rows are listed.
    static constexpr int kMaxRows = 10000;
    static constexpr int kMaxColumns = 256;

    explicit CWizardTablePage(CReportWizardDlg* frame);

    CEditListCtrl* List() const { return m_list; }
    // Every cell into g_aastrWizardCells.
    void CopyCells();

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool) override { return true; }

private:
    CEditListCtrl* m_list;
};
