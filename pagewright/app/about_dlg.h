// CAboutDlg: the About box (dialog 100, "关于"), on the skin's background.
#pragma once

#include "skin/dialog_base.h"

class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    bool DoDataExchange(bool) override { return true; }
    void paintEvent(QPaintEvent* e) override;
};
