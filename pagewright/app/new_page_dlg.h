// CNewPageDlg: where a new page goes and its title (dialog 338, "新增页面控制").
#pragma once

#include "skin/dialog_base.h"

class QButtonGroup;
class QLineEdit;

class CNewPageDlg : public CDialog {
    Q_OBJECT
public:
    // Positions: 0 append at the end, 1 insert at the front, 2 before the
    // current page, 3 after it.
    explicit CNewPageDlg(QWidget* parent = nullptr);

    int m_position = 0;
    int m_currentPage = 0;
    QString m_title;

protected:
    bool DoDataExchange(bool save) override;

private:
    QButtonGroup* m_positions;
    QLineEdit* m_current;
    QLineEdit* m_titleEdit;
};
