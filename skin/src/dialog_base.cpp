#include "skin/dialog_base.h"

#include "skin/message_box.h"
#include "skin/window_placement.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QShowEvent>

namespace {
const char kIdProperty[] = "controlId";
}

CDialog::CDialog(int templateId, QWidget* parent) : QDialog(parent), m_templateId(templateId)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void SetDialogControlId(QWidget* control, int id)
{
    control->setProperty(kIdProperty, id);
    control->setObjectName(QString::number(id));
}

QWidget* FindDialogControl(const QWidget* root, int id)
{
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* w : children) {
        const QVariant v = w->property(kIdProperty);
        if (v.isValid() && v.toInt() == id)
            return w;
    }
    return nullptr;
}

void CDialog::SetControlId(QWidget* control, int id) { SetDialogControlId(control, id); }

QWidget* CDialog::GetDlgItem(int id) const { return FindDialogControl(this, id); }

QDialogButtonBox* CDialog::MakeOkCancel(bool withCancel)
{
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    SetControlId(ok, kIdOk);
    ok->setDefault(true);
    if (withCancel)
        SetControlId(box->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole), kIdCancel);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return box;
}

int CDialog::RadioValue(const QButtonGroup* group)
{
    const QList<QAbstractButton*> buttons = group->buttons();
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            return i;
    }
    return -1;
}

void CDialog::SetRadioValue(QButtonGroup* group, int value)
{
    const QList<QAbstractButton*> buttons = group->buttons();
    if (value >= 0 && value < buttons.size()) {
        buttons[value]->setChecked(true);
        return;
    }
    // No button for the value: none is checked.
    group->setExclusive(false);
    for (QAbstractButton* b : buttons)
        b->setChecked(false);
    group->setExclusive(true);
}

bool CDialog::OnInitDialog()
{
    DoDataExchange(false);
    return true;
}

void CDialog::OnOK()
{
    if (DoDataExchange(true))
        QDialog::accept();
}

void CDialog::OnCancel() { QDialog::reject(); }

void CDialog::showEvent(QShowEvent* e)
{
    const bool opening = !m_initialised;
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(e);
    // Each run opens over the window it belongs to: its parent while that
    // is shown, else the main window (a parent hidden meanwhile, such as a
    // chooser that hides while its wizard runs, has no place to give), else
    // the middle of the screen. Shown again within a run, it stays where
    // the user left it.
    if (opening && isWindow() && !e->spontaneous()) {
        const QWidget* parent = parentWidget();
        const bool parentShown = parent != nullptr && parent->window()->isVisible() && !parent->window()->isMinimized();
        skin::CentreWindow(*this, parentShown ? parent : MessageBoxParent());
    }
}

void CDialog::accept() { OnOK(); }

void CDialog::reject() { OnCancel(); }

int CDialog::DoModal()
{
    m_initialised = false;
    return exec() == QDialog::Accepted ? kIdOk : kIdCancel;
}

void CDialog::ClickButton(int id)
{
    if (auto* button = GetDlgItemAs<QAbstractButton>(id))
        button->click();
}
