// CWizardInfoDlg: the report wizard's last step. It shows what the wizard
// will put into the report and, on OK, writes the wizard file that
// template conversion applies. A wizard file that cannot be written is
// reported and the dialog stays open.
#pragma once

#include "skin/dialog_base.h"

#include <QString>

class LayoutFile;
class QPlainTextEdit;
struct WizardState;

// The summary of the wizard's answers (mode 0 template wizard, 1 new
// report); layout is the template's layout file.
QString BuildWizardSummary(const WizardState& state, int mode, const LayoutFile& layout);

class CWizardInfoDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kSummary = 494;

    explicit CWizardInfoDlg(QWidget* parent = nullptr);

    QString m_strSummary;
    int m_nMode = 0;

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    void OnOK() override;

private:
    QPlainTextEdit* m_summary;
};
