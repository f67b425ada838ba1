// CDrawIR: the commands that show the report's small infrared dialogs (the
// range, target and wait dialogs) or add objects of their own (remark text,
// visible photo).
#include "irimage/draw_ir.h"

#include "irimage/ir_file_parts.h"
#include "irimage/ir_strings.h"
#include "irimage/scale_range_dlg.h"
#include "irimage/target_select_dlg.h"

#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "document/word_wait_dlg.h"

#include "platform/codepage.h"

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
    return ShowWaitNotice(IRString(Environment(), ir_string::kExporting));
}

namespace {

CDrawIR::RemarkTextFactory& RemarkFactory()
{
    static CDrawIR::RemarkTextFactory factory;
    return factory;
}

// A size in client pixels as page units at the view's zoom.
QSize PixelsToPage(DrawView* v, int width, int height)
{
    if (v == nullptr)
        return {width, height};
    const QPoint origin = v->ClientToDoc(QPoint(0, 0));
    const QPoint corner = v->ClientToDoc(QPoint(width, height));
    return {std::abs(corner.x() - origin.x()), std::abs(corner.y() - origin.y())};
}

// Where a photo of the given size goes beside an image: to its right, level
// with its upper edge, as far as the page allows and no larger than the page.
// Where the page leaves no room there, below the image, above it or to its
// left, whichever first keeps the image in view; a photo too large for any
// of them stays to the right.
DocRect PhotoPlacement(const DocRect& photo, const DocRect& imageRect, const DocRect& page)
{
    const DocRect image = imageRect.Normalized();
    const DocRect size = photo.Normalized();
    const std::int64_t w = size.Width(), h = size.Height();
    // Normalised page rectangles: y grows upwards, so bottom is the upper edge.
    const auto at = [&](std::int64_t left, std::int64_t lower) {
        return KeptInside(DocRect(ClampToInt(left), ClampToInt(lower), ClampToInt(left + w), ClampToInt(lower + h)),
                          page);
    };
    const DocRect right = at(image.right, std::int64_t(image.bottom) - h);
    const DocRect choices[] = {right, at(image.left, std::int64_t(image.top) - h), at(image.left, image.bottom),
                               at(std::int64_t(image.left) - w, std::int64_t(image.bottom) - h)};
    for (const DocRect& c : choices) {
        const bool covers = c.left < image.right && image.left < c.right && c.top < image.bottom && image.top < c.bottom;
        if (!covers)
            return c;
    }
    return right;
}

} // namespace

void CDrawIR::SetRemarkTextFactory(RemarkTextFactory factory) { RemarkFactory() = std::move(factory); }
bool CDrawIR::HasRemarkTextFactory() { return static_cast<bool>(RemarkFactory()); }

int CDrawIR::OnShowRemark()
{
    if (!HasImage() || document == nullptr || !HasRemarkTextFactory())
        return 1;
    DrawView* v = document->GetView();
    const QSize size = PixelsToPage(v, 180, 100);
    const int left = std::max(position.left, position.right);
    const int top = std::max(position.top, position.bottom); // y grows upwards
    QString text;
    {
        const IRScratchFiles files(Environment());
        if (m_image->SaveRemarkFile(files.Remark()) == 1) {
            QFile file(files.Remark());
            if (file.open(QIODevice::ReadOnly))
                text = platform::fromGbk(file.readAll());
        }
    }
    document->Add(RemarkFactory()(v, DocRect(left, top, left + size.width(), top - size.height()), text));
    Invalidate();
    return 1;
}

int CDrawIR::OnShowVisiblePhoto()
{
    if (!HasImage() || document == nullptr)
        return 1;
    DrawView* v = document->GetView();
    // The photo's size in pixels as page units at the view's zoom.
    const int height = PixelsToPage(v, m_image->PhotoWidth(), m_image->PhotoHeight()).height();
    const int left = std::max(position.left, position.right);
    const int top = std::max(position.top, position.bottom); // y grows upwards
    auto photo = std::make_unique<CDrawPhoto>(v, DocRect(left, top, left + 100, top - height));
    photo->imageNumber = m_nNumber;
    const QString path = WriteVisiblePhoto(Environment().TemporaryFolder());
    if (!path.isEmpty()) {
        photo->LoadPicture(path);
        QFile::remove(path);
    }
    photo->position = PhotoPlacement(photo->position, position, document->PageArea());
    document->Add(std::move(photo));
    Invalidate();
    return 1;
}
