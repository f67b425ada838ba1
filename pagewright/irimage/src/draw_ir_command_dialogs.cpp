// CDrawIR: the commands that show the report's small infrared dialogs (the
// range, target and wait dialogs) or add objects of their own (remark text,
// visible photo).
#include "irimage/draw_ir.h"

#include "irimage/ir_strings.h"
#include "irimage/scale_range_dlg.h"
#include "irimage/target_select_dlg.h"

#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "document/word_wait_dlg.h"

#include <QFile>
#include <QLabel>

bool CDrawIR::RunRangeDialog()
{
    DocumentEnvironment& env = Environment();
    CScaleRangeDlg dialog(document, env.TempUnit(), m_fLimits[0], m_fLimits[1]);
    dialog.SetRange(m_fLimits[2], m_fLimits[3], m_fLimits[4], m_fLimits[5]);
    // Every change reaches the view, which applies it to the selected image.
    if (DrawView* v = document != nullptr ? document->GetView() : nullptr)
        QObject::connect(&dialog, &CScaleRangeDlg::rangeChanged,
                         [v](int upper, int lower) { v->OnScaleRangeChanged(upper, lower); });
    env.RunDialog(dialog);
    dialog.GetRange(&m_fLimits[2], &m_fLimits[3], &m_fLimits[4], &m_fLimits[5]);
    return true;
}

int CDrawIR::ChooseExportTarget()
{
    CTargetSelectDlg dialog(m_analyses, Environment());
    if (!Environment().RunDialog(dialog))
        return -1;
    return dialog.m_nIndex;
}

std::unique_ptr<QObject> CDrawIR::ShowExportWait()
{
    auto wait = std::make_unique<CWordWaitDlg>();
    wait->Notice()->setText(IRString(Environment(), ir_string::kExporting));
    wait->show();
    return wait;
}

// The remark becomes a text object once the report has text objects.
int CDrawIR::OnShowRemark() { return 1; }

int CDrawIR::OnShowVisiblePhoto()
{
    if (!HasImage() || document == nullptr)
        return 1;
    DrawView* v = document->GetView();
    // The photo's size in pixels as page units at the view's zoom.
    int height = m_image->PhotoHeight();
    if (v != nullptr) {
        const QPoint origin = v->ClientToDoc(QPoint(0, 0));
        const QPoint corner = v->ClientToDoc(QPoint(m_image->PhotoWidth(), m_image->PhotoHeight()));
        height = std::abs(corner.y() - origin.y());
    }
    const int left = std::max(position.left, position.right);
    const int top = std::max(position.top, position.bottom); // y grows upwards
    auto photo = std::make_unique<CDrawPhoto>(v, DocRect(left, top, left + 100, top - height));
    photo->imageNumber = m_nNumber;
    const QString path = WriteVisiblePhoto(Environment().TemporaryFolder());
    if (!path.isEmpty()) {
        photo->LoadPicture(path);
        QFile::remove(path);
    }
    document->Add(std::move(photo));
    Invalidate();
    return 1;
}
