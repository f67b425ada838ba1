// CDraw3DMap: construction, record, link to an image, drawing, handles and
// the properties command.
#include "irimage/draw_3d_map.h"

#include "document/record_values.h"
#include "irimage/draw_ir.h"
#include "irimage/ir_marks.h"
#include "irimage/map_prop_dlg.h"

#include "document/draw_rect.h"
#include "document/draw_tool.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint32_t FloatBits(float f)
{
    std::uint32_t u = 0;
    std::memcpy(&u, &f, 4);
    return u;
}

float BitsFloat(std::uint32_t u)
{
    float f = 0;
    std::memcpy(&f, &u, 4);
    return f;
}

} // namespace

const DrawClass CDraw3DMap::kClass{
    {"CDraw3DMap", 0, &platform::createArchiveObject<CDraw3DMap>}, &CDrawObj::kClass,
    &CreateDrawObjForUndo<CDraw3DMap>};

CDraw3DMap::CDraw3DMap() = default;

CDraw3DMap::CDraw3DMap(DrawView* view, const DocRect& rect) : CDrawObj(view, rect) {}

CDraw3DMap::~CDraw3DMap() = default;

void CDraw3DMap::Register(DrawClassRegistry& registry)
{
    if (registry.Find(kClass.Name()) == nullptr)
        registry.Add(kClass);
    SetToolObjectFactory(kShape3DMap, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDraw3DMap>(&view, rect);
    });
}

// ---- record

void CDraw3DMap::Serialize(platform::ArchiveWriter& ar) const
{
    CDrawObj::Serialize(ar);
    m_snapshot.Serialize(ar);
    std::uint8_t block[kRecordBlockSize] = {};
    block[0] = m_bLinked;
    block[1] = m_bAreaSelected;
    PutU32(block + 4, std::uint32_t(m_nIRNumber));
    PutU32(block + 8, std::uint32_t(m_nAreaNumber));
    PutU32(block + 12, m_clrBack);
    PutU32(block + 16, FloatBits(m_fZoom));
    PutU32(block + 20, FloatBits(m_fRotX));
    PutU32(block + 24, FloatBits(m_fRotY));
    PutU32(block + 28, std::uint32_t(m_bChanged));
    ar.writeBytes(QByteArrayView(reinterpret_cast<const char*>(block), sizeof block));
    ar.writeU8(m_bHasSnapshot);
    ar.writeI32(m_nDataWidth);
    ar.writeI32(m_nDataHeight);
}

void CDraw3DMap::Serialize(platform::ArchiveReader& ar)
{
    CDrawObj::Serialize(ar);
    // A record without a picture leaves none behind (undo reads records
    // into live objects).
    m_snapshot.Free();
    m_snapshot.Serialize(ar);
    std::uint8_t block[kRecordBlockSize];
    ar.readBytes(block, sizeof block);
    m_bLinked = block[0];
    m_bAreaSelected = block[1];
    m_nIRNumber = std::int32_t(GetU32(block + 4));
    m_nAreaNumber = std::int32_t(GetU32(block + 8));
    m_clrBack = GetU32(block + 12);
    m_fZoom = BitsFloat(GetU32(block + 16));
    m_fRotX = BitsFloat(GetU32(block + 20));
    m_fRotY = BitsFloat(GetU32(block + 24));
    m_bChanged = std::int32_t(GetU32(block + 28));
    const std::size_t blockAt = ar.position() - sizeof block;
    record_values::Require(ar, std::isfinite(m_fZoom) && std::isfinite(m_fRotX) && std::isfinite(m_fRotY), blockAt);
    m_bHasSnapshot = ar.readU8() != 0 ? 1 : 0;
    m_nDataWidth = ar.readI32();
    m_nDataHeight = ar.readI32();
}

void CDraw3DMap::Dump(QJsonObject& out) const
{
    CDrawObj::Dump(out);
    out[QStringLiteral("linked")] = m_bLinked;
    out[QStringLiteral("areaSelected")] = m_bAreaSelected;
    out[QStringLiteral("irNumber")] = m_nIRNumber;
    out[QStringLiteral("areaNumber")] = m_nAreaNumber;
    out[QStringLiteral("background")] = qint64(m_clrBack);
    out[QStringLiteral("zoom")] = double(m_fZoom);
    out[QStringLiteral("rotationX")] = double(m_fRotX);
    out[QStringLiteral("rotationY")] = double(m_fRotY);
    out[QStringLiteral("changed")] = m_bChanged;
    out[QStringLiteral("hasSnapshot")] = m_bHasSnapshot;
    out[QStringLiteral("snapshotSize")] = QJsonArray{m_snapshot.GetWidth(), m_snapshot.GetHeight()};
    out[QStringLiteral("dataSize")] = QJsonArray{m_nDataWidth, m_nDataHeight};
}

// ---- link

DrawView* CDraw3DMap::ActiveView() const
{
    if (view != nullptr)
        return view;
    return document != nullptr ? document->GetView() : nullptr;
}

CDrawIR* CDraw3DMap::FindImageObject(int number) const
{
    DrawView* v = ActiveView();
    return v != nullptr ? dynamic_cast<CDrawIR*>(v->FindIRObject(number)) : nullptr;
}

CDrawIR* CDraw3DMap::FindImage(int number) const
{
    CDrawIR* image = FindImageObject(number);
    return image != nullptr && image->HasImage() ? image : nullptr;
}

const IRAnalysisItem* CDraw3DMap::FindRectangle(const CDrawIR& image, int number)
{
    for (std::size_t i = 0; i < image.m_analyses.GetSize(); ++i) {
        const IRAnalysisItem& item = image.m_analyses[i];
        if (item.kind == kAnalysisRect && item.number == number)
            return &item;
    }
    return nullptr;
}

bool CDraw3DMap::LinkToIR(int number)
{
    CDrawIR* image = FindImage(number);
    if (image == nullptr)
        return false;
    Unlink();
    image->AddDependent(this);
    m_nIRNumber = number;
    m_bLinked = 1;
    return true;
}

bool CDraw3DMap::SelectArea(int number)
{
    if (m_bLinked == 0)
        return false;
    const CDrawIR* image = FindImage(m_nIRNumber);
    if (image == nullptr || FindRectangle(*image, number) == nullptr)
        return false;
    ResetArea();
    m_nAreaNumber = number;
    m_bAreaSelected = 1;
    return true;
}

void CDraw3DMap::ResetArea()
{
    m_bHasSnapshot = 0;
    m_bAreaSelected = 0;
    m_nAreaNumber = -1;
    m_clrBack = 0xFFFFFF;
    m_fZoom = 1.0f;
    m_fRotX = 0;
    m_fRotY = 0;
    m_bChanged = 0;
}

void CDraw3DMap::Unlink()
{
    ResetArea();
    // Leaves every image it is registered with (the number's image and any
    // other it was bound to before a renumbering).
    const std::vector<CDrawIR*> images = Images();
    for (CDrawIR* image : images)
        image->RemoveDependent(this);
    m_bLinked = 0;
    m_nIRNumber = -1;
    m_bHasSnapshot = 0;
}

void CDraw3DMap::ValidateLink()
{
    if (m_bLinked == 0)
        return;
    CDrawIR* image = FindImage(m_nIRNumber);
    bool keep = image != nullptr;
    if (keep && m_bAreaSelected != 0) {
        const IRAnalysisItem* rect = FindRectangle(*image, m_nAreaNumber);
        keep = rect != nullptr && !AreaRect(rect->shape).IsEmpty();
    }
    if (!keep) {
        Unlink();
        return;
    }
    // A map read from a report registers with its image here.
    image->AddDependent(this);
}

void CDraw3DMap::OnIRImageChanged(CDrawIR& image)
{
    (void)image;
    Invalidate();
}

bool CDraw3DMap::IsBoundToImage(int number) const
{
    return m_bLinked != 0 && m_nIRNumber == number;
}

// ---- drawing

double CDraw3DMap::SnapshotAspect() const
{
    const int h = m_snapshot.GetHeight();
    return double(m_snapshot.GetWidth()) / double(h == 0 ? 1 : h);
}

void CDraw3DMap::Draw(PageDC& dc)
{
    ValidateLink();

    LogPen scaled = pen;
    scaled.widthX = ScaledPenWidth(pen.widthX);
    scaled.widthY = ScaledPenWidth(pen.widthY);

    DocRect r = position.Normalized();
    if (r.Height() < kMinSize)
        r.top = ClampToInt(std::int64_t(r.bottom) - kMinSize);
    if (r.Width() < kMinSize)
        r.right = ClampToInt(std::int64_t(r.left) + kMinSize);
    if (r.Height() < kMinSize)
        r.bottom = ClampToInt(std::int64_t(r.top) + kMinSize);
    position = r;

    if (SelectPenAndBrush(dc, scaled))
        dc.Rectangle(position);

    const int mx = penOn != 0 ? std::max(scaled.widthX, 0) : 0;
    const int my = penOn != 0 ? std::max(scaled.widthY, 0) : 0;
    const DocRect inner(ClampToInt(std::int64_t(r.left) + mx), ClampToInt(std::int64_t(r.top) + my),
                        ClampToInt(std::int64_t(r.right) - mx), ClampToInt(std::int64_t(r.bottom) - my));

    const bool withSnapshot = m_bHasSnapshot != 0 && !m_snapshot.IsEmpty();
    if (withSnapshot) {
        dc.DrawImage(inner, m_snapshot.ToImage());
        if (ShowsNumber())
            ir_marks::DrawLabel(dc, r.right, r.bottom, NumberText(), 0, kNumberHeight);
    } else {
        dc.DrawText(inner, QStringLiteral("3D Map"), QFont(QStringLiteral("Arial")), kNumberHeight,
                    Qt::AlignCenter | Qt::TextDontClip, 0);
    }
}

bool CDraw3DMap::ShowsNumber() const
{
    return m_bHasSnapshot != 0 && !m_snapshot.IsEmpty() && document != nullptr && document->GetShowNumbers();
}

DocRect CDraw3DMap::LabelArea() const
{
    if (!ShowsNumber())
        return {};
    const DocRect r = position.Normalized();
    return ir_marks::LabelBox(r.right, r.bottom, NumberText(), kNumberHeight);
}

QString CDraw3DMap::NumberText() const { return QStringLiteral("NO.%1").arg(m_nIRNumber); }

bool CDraw3DMap::Intersects(const DocRect& rect)
{
    return IntersectsFrame(position, rect);
}

void CDraw3DMap::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v)
{
    if (m_bHasSnapshot == 0 || m_snapshot.IsEmpty() || handle < 1 || handle > 8) {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        return;
    }
    const double a = SnapshotAspect();
    if (a <= 0) {
        CDrawObj::MoveHandleTo(handle, point, flags, v);
        return;
    }
    DocRect r = position;
    switch (handle) {
    case 1: r.left = point.x(); r.top = point.y(); break;
    case 2: r.top = point.y(); break;
    case 3: r.right = point.x(); r.top = point.y(); break;
    case 4: r.right = point.x(); break;
    case 5: r.right = point.x(); r.bottom = point.y(); break;
    case 6: r.bottom = point.y(); break;
    case 7: r.left = point.x(); r.bottom = point.y(); break;
    default: r.left = point.x(); break;
    }
    const auto tooSmall = [](const DocRect& q) {
        return std::llabs(q.Width()) < kMinHandleSide || std::llabs(q.Height()) < kMinHandleSide;
    };
    if (tooSmall(r))
        return;
    const std::int64_t w = r.Width();
    const std::int64_t h = r.Height();
    const auto sign = [](std::int64_t v) { return v < 0 ? -1 : 1; };
    // The side that follows the other, from the fixed edge's side.
    const auto heightFromWidth = [&] { return sign(h) * std::int64_t(double(std::llabs(w)) / a); };
    const auto widthFromHeight = [&] { return sign(w) * std::int64_t(double(std::llabs(h)) * a); };
    const bool movesTop = handle == 1 || handle == 2 || handle == 3;
    const bool movesLeft = handle == 1 || handle == 7 || handle == 8;
    switch (handle) {
    case 1:
    case 3:
    case 5:
    case 7:
        if (double(std::llabs(w)) / double(std::llabs(h)) > a) {
            if (movesTop)
                r.top = ClampToInt(r.bottom - heightFromWidth());
            else
                r.bottom = ClampToInt(r.top + heightFromWidth());
        } else {
            if (movesLeft)
                r.left = ClampToInt(r.right - widthFromHeight());
            else
                r.right = ClampToInt(r.left + widthFromHeight());
        }
        break;
    case 2:
    case 6:
        r.right = ClampToInt(r.left + widthFromHeight());
        break;
    default: // 4 and 8
        r.top = ClampToInt(r.bottom - heightFromWidth());
        break;
    }
    if (tooSmall(r))
        return;
    activeHandle = handle;
    MoveTo(r, flags, v);
}

int CDraw3DMap::GetPopupMenuIndex() const
{
    DrawView* v = ActiveView();
    return v == nullptr || v->GetSelection().size() < 2 ? 8 : 0;
}

// ---- properties

void CDraw3DMap::FitToSnapshot()
{
    DocRect r = position.Normalized();
    const std::int64_t w = r.Width();
    const std::int64_t h = r.Height();
    const double a = SnapshotAspect();
    if (h != 0 && a > 0 && double(w) / double(h) <= a)
        r.right = ClampToInt(r.left + std::int64_t(double(h) * a));
    else if (a > 0)
        r.top = ClampToInt(r.bottom - std::int64_t(double(w) / a));
    position = r;
}

void CDraw3DMap::OnEditProperties()
{
    C3DMapPropDlg dialog;
    ValidateLink();
    SaveRedoSnapshot();
    dialog.SetMapObject(this);
    DocumentEnvironment* env = document != nullptr ? &document->Environment() : nullptr;
    const bool accepted = env != nullptr ? env->RunDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return;
    if (m_bHasSnapshot != 0 && !m_snapshot.IsEmpty())
        FitToSnapshot();
    Invalidate();
    SaveUndoSnapshot();
}

int CDraw3DMap::DoCommand(unsigned id, const QString& text, int value)
{
    if (id == kCmdSettings) {
        OnEditProperties();
        return 1;
    }
    return CDrawObj::DoCommand(id, text, value);
}

// ---- export

QImage CDraw3DMap::RenderExportImage()
{
    DrawView* v = ActiveView();
    if (v == nullptr)
        return {};
    const DocRect client = v->DocToClient(position);
    const int w = int(std::min<std::int64_t>(client.Width(), 16384));
    const int h = int(std::min<std::int64_t>(client.Height(), 16384));
    if (w <= 0 || h <= 0)
        return {};
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageMapping mapping = PageMapping::ForZoom(v->m_fZoom, v->m_dpi);
    const DocRect r = position.Normalized();
    mapping.windowOrigin = QPoint(r.left, r.bottom);
    mapping.viewportOrigin = QPointF(0, 0);
    PageDC dc(painter, mapping);
    Draw(dc);
    return image;
}

void CDraw3DMap::ExportToWord(CWordExport& exporter)
{
    ValidateLink();
    const QImage picture = RenderExportImage();
    if (picture.isNull())
        return;
    const DocRect r = position.Normalized();
    exporter.ExportImage(float(r.left), float(r.bottom), float(r.Width()), float(r.Height()), picture, false);
}
