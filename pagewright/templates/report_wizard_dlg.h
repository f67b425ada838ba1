// CReportWizardDlg: the report wizard's frame. Three pages in a page area,
// one shown at a time, with Back, Next, Finish and Cancel. Mode 0 (the
// template wizard) asks for the template's images, texts and table cells;
// mode 1 (the new-report wizard) for the report's data, its images and the
// objects of each image page. Finish shows the end dialog, which writes the
// wizard file; only when that is confirmed does the wizard end with OK.
//
// Back on the first page returns to the chooser (the frame's parent);
// Cancel, once confirmed, asks the chooser to close too (wizardAbort).
#pragma once

#include "skin/dialog_base.h"

#include <QRect>

#include <vector>

class CReportWizardDlg;
class CWizardIRPage;
class CWizardTextPage;
class CWizardTablePage;
class CWizardReportInfoPage;
class CWizardIRListPage;
class CWizardObjectsPage;

// A page of the wizard: a child dialog without caption, initialised once
// when the frame adds it. Enter and Escape in a page reach the frame.
class CWizardPage : public CDialog {
    Q_OBJECT
public:
    CWizardPage(int templateId, CReportWizardDlg* frame);

    void Create();
    // Controls to members (save) or back.
    bool UpdateData(bool save) { return DoDataExchange(save); }

protected:
    CReportWizardDlg* Frame() const { return m_frame; }
    void showEvent(QShowEvent* e) override;
    void accept() override;
    void reject() override;

private:
    CReportWizardDlg* m_frame;
};

class CReportWizardDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kFinish = 1;
    static constexpr int kCancel = 490;
    static constexpr int kBack = 189;
    static constexpr int kNext = 190;
    static constexpr int kPageArea = 489;
    static constexpr int kHeaderHeight = 33;

    explicit CReportWizardDlg(QWidget* parent = nullptr);
    ~CReportWizardDlg() override;

    int m_nMode = 0;
    int m_nPageCount = 0;
    int m_nCurPage = 0;

    void AddPage(CWizardPage* page, int templateId);
    void ShowPage(int n);
    // 0: Back disabled; 1: all enabled; 2: Next disabled.
    void EnableButtons(int state);
    void OnBack();
    void OnNext();
    void OnCancel() override;
    void OnOK() override;

    // Page n (from 1), null when none.
    CWizardPage* Page(int n) const;
    // The prompt the header shows for the current page.
    QString Prompt() const;
    QRect PageArea() const { return m_pageArea; }

    CWizardIRPage* IRPage() const { return m_irPage; }
    CWizardTextPage* TextPage() const { return m_textPage; }
    CWizardTablePage* TablePage() const { return m_tablePage; }
    CWizardReportInfoPage* ReportInfoPage() const { return m_reportInfoPage; }
    CWizardIRListPage* IRListPage() const { return m_irListPage; }
    CWizardObjectsPage* ObjectsPage() const { return m_objectsPage; }

signals:
    // To the chooser: the wizard was cancelled, close too.
    void wizardAbort(int wParam, int lParam);

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool) override { return true; }
    void paintEvent(QPaintEvent* e) override;

private:
    // The report data of the page that holds them.
    void TakeOverReportData();

    struct Node {
        int number;
        CWizardPage* page;
    };
    std::vector<Node> m_pages;
    QRect m_pageArea;
    CWizardIRPage* m_irPage = nullptr;
    CWizardTextPage* m_textPage = nullptr;
    CWizardTablePage* m_tablePage = nullptr;
    CWizardReportInfoPage* m_reportInfoPage = nullptr;
    CWizardIRListPage* m_irListPage = nullptr;
    CWizardObjectsPage* m_objectsPage = nullptr;
};
