// CTemplateSelectDlg: what a new report starts from: an empty report, the
// new-report entry (the empty template "NewTemp.rpt", which the new-report
// wizard fills), or one of the templates of the program's template folder,
// shown as a page thumbnail drawn from its layout file. "使用向导" runs the
// report wizard on the selection; its answers are applied by template
// conversion once the chooser has closed.
//
// The dialog paints its own caption (the skin's gloss band, a close button
// with hover and press, a rounded outline) and background.
#pragma once

#include "template_thumbnail.h"

#include "skin/dialog_base.h"

#include <QImage>
#include <QString>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QGroupBox;

namespace skin {
class CaptionBar;
}

class CTemplateSelectDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kList = 180;
    static constexpr int kUseWizard = 189;
    static constexpr int kNextPage = 190;
    static constexpr int kPreviousPage = 191;
    static constexpr int kFrame = 496;
    static constexpr int kPageText = 498;

    explicit CTemplateSelectDlg(QWidget* parent = nullptr);

    // The result after OK: "" an empty report, else the template.
    QString m_strTemplatePath;
    // The thumbnail's page (from 0); it carries over to the next template.
    int m_nCurPage = 0;

    // The template conversion the wizard leaves for after the chooser.
    struct Conversion {
        QString templatePath;
        QString reportName;
        int mode = 1;
    };
    const std::optional<Conversion>& PendingConversion() const { return m_pendingConversion; }

    QListWidget* List() const { return m_list; }
    skin::CaptionBar* GetCaption() const { return m_caption; }
    // The template folder: the program folder's "template/" (its name in
    // any case).
    QString TemplateFolder() const;
    // The page image and what of it the frame shows.
    const QImage& PageImage() const { return m_page; }
    const ThumbnailPages& Pages() const { return m_pages; }
    bool IsThumbnailShown() const { return m_thumbnailShown; }
    QRect PreviewRect() const;
    // Whether the selection is the new-report entry.
    bool IsNewReportEntry() const;

    // The selection's thumbnail (the selection change and the page buttons).
    void DrawTemplatePreview();
    // A new selection: its thumbnail, and the message when its layout file
    // is damaged (the wizard is then not offered).
    void OnSelectionChanged();
    bool IsLayoutDamaged() const { return m_layoutDamaged; }
    void OnNextPage();
    void OnPreviousPage();
    void OnUseWizard();
    // The wizard asks the chooser to close (it was cancelled).
    void OnWizardAbort(int wParam, int lParam);
    // Hides the chooser while the wizard runs (the modal loop goes on).
    void HideForWizard();

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool) override { return true; }
    void OnOK() override;
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void FillList();
    void ShowPageControls(bool show);
    QString NewTemplatePath() const;

    QListWidget* m_list;
    QPushButton* m_useWizard;
    QPushButton* m_nextPage;
    QPushButton* m_previousPage;
    QLabel* m_pageText;
    QGroupBox* m_frame;
    skin::CaptionBar* m_caption;
    QImage m_page;
    QImage m_preview; // the page as the frame shows it
    ThumbnailPages m_pages;
    bool m_thumbnailShown = false;
    bool m_layoutDamaged = false;
    std::optional<Conversion> m_pendingConversion;
};

// The chooser of File > New: accepted with a path ("" for an empty
// report); not accepted when cancelled or when the wizard ran, whose
// conversion then runs as a queued call, after the caller has returned.
struct TemplateChooserResult {
    bool accepted = false;
    QString path;
};
TemplateChooserResult RunTemplateChooser();
