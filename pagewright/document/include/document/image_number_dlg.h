// CImageNumberDlg: asks for the number of an infrared image (dialog 1504
// "属性"), 1 to 1000; a number outside that range is refused with the
// standard range message and the dialog stays open.
#pragma once

#include "skin/dialog_base.h"

class QLineEdit;

class CImageNumberDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 1504;
    static constexpr int kNumberEdit = 443;
    static constexpr int kMinNumber = 1;
    static constexpr int kMaxNumber = 1000;

    explicit CImageNumberDlg(QWidget* parent = nullptr);

    int m_number = 1;

protected:
    bool DoDataExchange(bool save) override;

private:
    QLineEdit* m_edit;
};
