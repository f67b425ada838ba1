// CAboutDlg: the About box (dialog 100, "关于"), on the skin's background
// with its own caption and a single close button.
#pragma once

#include "skin/dialog_base.h"

namespace skin {
class CaptionBar;
}

class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    skin::CaptionBar* GetCaption() const { return m_caption; }

protected:
    bool DoDataExchange(bool) override { return true; }
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    skin::CaptionBar* m_caption;
};
