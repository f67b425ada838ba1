#include "frame_file_combo.h"

#include "main_frame.h"
#include "rpt_app.h"

#include <QComboBox>

QComboBox* CFrameFileCombo::Combo() const
{
    const CMainFrame* frame = m_app.GetMainFrame();
    return frame != nullptr ? frame->GetFileCombo() : nullptr;
}

void CFrameFileCombo::ResetContent()
{
    if (QComboBox* combo = Combo()) {
        combo->clear();
        combo->setToolTip(QString());
    }
    if (CMainFrame* frame = m_app.GetMainFrame())
        frame->ForgetFileComboOwner();
}

void CFrameFileCombo::AddString(const QString& text)
{
    if (QComboBox* combo = Combo())
        combo->addItem(text);
}

void CFrameFileCombo::SetCurSel(int index)
{
    QComboBox* combo = Combo();
    if (combo == nullptr)
        return;
    // An index outside the list clears the selection, as the list box did.
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int CFrameFileCombo::GetCurSel() const
{
    const QComboBox* combo = Combo();
    return combo != nullptr ? combo->currentIndex() : -1;
}

void CFrameFileCombo::SetFileNameText(const QString& text)
{
    if (QComboBox* combo = Combo())
        combo->setToolTip(text);
}
