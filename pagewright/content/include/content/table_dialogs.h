// The two dialogs that size a table: CTablePropDlg (153) asks for the rows
// and columns of a new table; CAddRowColDlg (312) for rows or columns to add
// next to a given one, or the one to delete. Neither touches the table.
//
// Numbers outside their ranges are refused with the standard range message
// and the dialog stays open, the focus on the field.
#pragma once

#include "skin/dialog_base.h"

class QButtonGroup;
class QLineEdit;
class QSpinBox;

class CTablePropDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 153;
    enum : int { kRowsEdit = 422, kColumnsEdit = 423 };
    static constexpr int kMin = 1;
    static constexpr int kMax = 20;

    explicit CTablePropDlg(QWidget* parent = nullptr);

    int m_nRows = 3;
    int m_nColumns = 3;

protected:
    bool DoDataExchange(bool save) override;

private:
    QLineEdit* m_rows;
    QLineEdit* m_columns;
};

class CAddRowColDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 312;
    enum : int {
        kSpin = 112,
        kAdd = 412,
        kDelete = 413,
        kRows = 414,
        kColumns = 415,
        kNumberEdit = 416,
        kBefore = 417,
        kAfter = 418,
        kText = 419,
        kField = 420,
        kCountEdit = 453,
    };
    static constexpr int kMaxCount = 10;

    explicit CAddRowColDlg(QWidget* parent = nullptr);

    // Set by the caller.
    int m_nSelColumn = -1;
    int m_nSelRow = -1;
    int m_nColumnCount = 0;
    int m_nRowCount = 0;
    // Read by the caller after OK.
    int m_nOperation = 0; // 0 add, 1 delete
    int m_nRowsOrColumns = 0; // 0 rows, 1 columns
    int m_nPosition = 0;  // 0 before, 1 after
    int m_nNumber = 1;    // 1-based
    int m_nCellKind = 0;  // 0 text, 1 field
    int m_nCount = 1;

    QSpinBox* SpinControl() const { return m_spin; }

protected:
    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    // Add enables before/after, text/field and the spin; delete disables them.
    void EnableAddControls(bool on);

    QButtonGroup* m_operation;
    QButtonGroup* m_kind;
    QButtonGroup* m_position;
    QButtonGroup* m_cellKind;
    QLineEdit* m_number;
    QLineEdit* m_count;
    QSpinBox* m_spin;
};

// The range check of the dialogs' numbers: false (after the standard
// message, the focus on the edit) when the text is no integer in min..max.
bool CheckIntegerEdit(QLineEdit* edit, int min, int max, int& value);
