// CEditListCtrl: a table (report-style list) whose cells are edited in
// place: a click on a cell lays a CListEditBox (control id 498) over it;
// leaving the box writes its text into the cell, Escape leaves the cell as
// it was. A cell showing exactly "--" is read-only. Edits of columns other
// than the first are reported through cellEdited() for the owner to store.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

class CListEditBox;

class CEditListCtrl : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kEditBoxId = 498;
    static constexpr int kMinEditWidth = 5;

    explicit CEditListCtrl(QWidget* parent = nullptr);
    ~CEditListCtrl() override;

    // The cell under a viewport point: the row (-1 none) and its column.
    int HitTestEx(const QPoint& point, int* column) const;
    // Opens the edit box over a cell; null when the column is past the
    // last or narrower than 5 pixels, or the row does not exist.
    CListEditBox* EditSubLabel(int row, int column);
    CListEditBox* GetEditBox() const { return m_box; }

    // From the box when its edit ends: the text, or cancelled.
    void EndLabelEdit(int row, int column, const QString* text);

signals:
    void cellEdited(int row, int column, const QString& text);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QPointer<CListEditBox> m_box;
};

class CListEditBox : public QLineEdit {
    Q_OBJECT
public:
    CListEditBox(CEditListCtrl* list, int row, int column, const QString& text);

    int GetRow() const { return m_row; }
    int GetColumn() const { return m_column; }
    bool IsCancelled() const { return m_cancelled; }
    // The list goes away: the edit ends without a word to it.
    void Abandon() { m_ended = true; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void widen();

    CEditListCtrl* m_list;
    int m_row;
    int m_column;
    QString m_initial;
    bool m_cancelled = false;
    bool m_ended = false;
};
