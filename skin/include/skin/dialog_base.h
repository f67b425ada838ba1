// CDialog: the modal dialogs of both programs. Controls carry their
// numeric ids (GetDlgItem); members travel to and from the controls in
// DoDataExchange, loaded when the dialog opens and saved and checked on OK.
#pragma once

#include <QDialog>

class QAbstractButton;
class QButtonGroup;
class QDialogButtonBox;

// The numeric id of a dialog control (kept as a property and as its object
// name, "1043"), and the first control under root that carries an id.
void SetDialogControlId(QWidget* control, int id);
QWidget* FindDialogControl(const QWidget* root, int id);

class CDialog : public QDialog {
    Q_OBJECT
public:
    // The button ids of OK and Cancel, which DoModal returns.
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    CDialog(int templateId, QWidget* parent);

    int GetTemplateId() const { return m_templateId; }

    // Runs the dialog; kIdOk or kIdCancel.
    int DoModal();

    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* GetDlgItemAs(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }

    // Presses a button (kIdOk, kIdCancel or a control id), as a click would.
    void ClickButton(int id);

protected:
    // save = false: members to controls; true: controls to members, false
    // from a failed check keeps the dialog open.
    virtual bool DoDataExchange(bool save) = 0;
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Gives a control its id.
    static void SetControlId(QWidget* control, int id);
    // OK and Cancel buttons with their ids.
    QDialogButtonBox* MakeOkCancel(bool withCancel = true);
    // Radio group: the buttons in order, ids first, first + 1, ...
    static int RadioValue(const QButtonGroup* group);
    static void SetRadioValue(QButtonGroup* group, int value);

    void showEvent(QShowEvent* e) override;
    void accept() override;
    void reject() override;

private:
    int m_templateId;
    bool m_initialised = false;
};
