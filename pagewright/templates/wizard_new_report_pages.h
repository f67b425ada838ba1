// The new-report wizard's pages: the report's name, title, company and
// description; the infrared files of the report, each with an optional
// picture, a page title, an inspection location and a device name; and the
// analysis objects each image page shows.
#pragma once

#include "wizard_image_page.h"

#include <QString>

class CEditListCtrl;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

class CWizardReportInfoPage : public CWizardPage {
    Q_OBJECT
public:
    static constexpr int kFileName = 427;
    static constexpr int kTitle = 428;
    static constexpr int kCompany = 429;
    static constexpr int kDescription = 501;
    static constexpr int kHiddenList = 497;

    explicit CWizardReportInfoPage(CReportWizardDlg* frame);

    QString m_strFileName;
    QString m_strTitle;
    QString m_strCompany;
    QString m_strDescription;

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    QLineEdit* m_fileName;
    QLineEdit* m_title;
    QLineEdit* m_company;
    QPlainTextEdit* m_description;
    CEditListCtrl* m_hiddenList;
    QLabel* m_labels[4];
};

class CWizardIRListPage : public CWizardImagePage {
    Q_OBJECT
public:
    static constexpr int kAdd = 191;
    static constexpr int kDelete = 492;
    static constexpr int kUp = 502;
    static constexpr int kDown = 503;
    static constexpr int kFileName = 183;
    static constexpr int kPageTitle = 427;
    static constexpr int kSection = 428;
    static constexpr int kDeviceName = 429;

    explicit CWizardIRListPage(CReportWizardDlg* frame);

    int m_nImageCount = 0;
    QString m_strPageTitle;
    QString m_strSection;
    QString m_strDeviceName;

    void OnAdd();
    void OnDelete();
    void OnUp();
    void OnDown();
    void OnSelectionChange();
    QString FileNameText() const;

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool PictureAllowed(int) const override { return true; }
    void ClearInvalidFile() override;
    void ShowFileName(const QString& name) override;

private:
    void RenumberItems();
    void Swap(int a, int b);
    // An edit of page title, location or device name, into the selected entry.
    void StoreTexts();

    QLineEdit* m_fileName;
    QLineEdit* m_pageTitle;
    QLineEdit* m_section;
    QLineEdit* m_deviceName;
};

class CWizardObjectsPage : public CWizardPage {
    Q_OBJECT
public:
    static constexpr int kCheckList = 208;
    static constexpr int kHiddenList = 497;

    explicit CWizardObjectsPage(CReportWizardDlg* frame);

    QListWidget* CheckList() const { return m_checks; }
    bool IsChecked(int item) const;

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool) override { return true; }

private:
    QListWidget* m_checks;
};
