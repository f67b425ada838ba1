// CPageTitleDlg: renames the current page (dialog 356, "修改页标题").
#pragma once

#include "skin/dialog_base.h"

class QLineEdit;

class CPageTitleDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kMaxTyped = 38;  // the box takes no more
    static constexpr int kMaxTitle = 40;  // what a page title record holds

    explicit CPageTitleDlg(QWidget* parent = nullptr);

    QString m_title;

protected:
    bool DoDataExchange(bool save) override;
    void OnOK() override;

private:
    QLineEdit* m_edit;
};
