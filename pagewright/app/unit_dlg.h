// CUnitDlg: the length and temperature units (dialog 329, "单位").
#pragma once

#include "skin/dialog_base.h"

class QButtonGroup;
class QCheckBox;

class CUnitDlg : public CDialog {
    Q_OBJECT
public:
    explicit CUnitDlg(QWidget* parent = nullptr);

    int m_lengthUnit = 0;      // 0 metre, 1 feet
    int m_tempUnit = 0;        // 0 Celsius, 1 Fahrenheit, 2 Kelvin
    bool m_saveDefault = false; // the caller stores the units in any case

protected:
    bool DoDataExchange(bool save) override;

private:
    QButtonGroup* m_length;
    QButtonGroup* m_temp;
    QCheckBox* m_save;
};
