// CDraw3DMap: the temperatures and colours of an image or of one of its
// rectangle analyses, as the 3D view takes them.
#include "irimage/draw_3d_map.h"

#include "irimage/draw_ir.h"

#include "platform/dib.h"

#include <algorithm>

namespace {

// The pixels a map shows: columns x0 .. x0 + cx - 1, rows y0 .. y0 + cy - 1
// of the image (rows from the top).
struct Region {
    int x0 = 0;
    int y0 = 0;
    int cx = 0;
    int cy = 0;
};

} // namespace

DocRect CDraw3DMap::AreaRect(const IRShape& shape)
{
    return DocRect(shape.left, shape.top, shape.right, shape.bottom).Normalized();
}

int CDraw3DMap::ListAreas(int imageNumber, std::vector<int>& numbers) const
{
    const CDrawIR* image = FindImage(imageNumber);
    if (image == nullptr)
        return 0;
    int count = 0;
    for (std::size_t i = 0; i < image->m_analyses.GetSize(); ++i) {
        const IRAnalysisItem& item = image->m_analyses[i];
        if (item.kind == kAnalysisRect && !AreaRect(item.shape).IsEmpty()) {
            numbers.push_back(item.number);
            ++count;
        }
    }
    return count;
}

namespace {

// The region of the whole image or of the rectangle, with the parameters
// its temperatures are read with; false when there is none or it cannot
// lie inside the image.
bool FindRegion(const CDrawIR& image, bool area, int areaNumber, Region& region, float& emissivity,
                float& distance, float& background)
{
    const std::int64_t imageW = image.ImageWidth();
    const std::int64_t imageH = image.ImageHeight();
    if (!area) {
        region = {0, 0, int(imageW - 2), int(imageH - 2)};
        emissivity = image.m_fEmissivity;
        distance = image.m_fDistance;
        background = image.m_fBackground;
    } else {
        const IRAnalysisItem* found = nullptr;
        for (std::size_t i = 0; i < image.m_analyses.GetSize() && found == nullptr; ++i) {
            const IRAnalysisItem& item = image.m_analyses[i];
            if (item.kind == kAnalysisRect && item.number == areaNumber)
                found = &item;
        }
        if (found == nullptr)
            return false;
        const DocRect r = CDraw3DMap::AreaRect(found->shape);
        if (r.Width() > imageW || r.Height() > imageH)
            return false;
        region = {r.left, r.top, int(r.Width()), int(r.Height())};
        emissivity = found->emissivity;
        distance = found->distance;
        background = found->background;
    }
    return region.cx > 0 && region.cy > 0;
}

} // namespace

std::unique_ptr<float[]> CDraw3DMap::GetAreaTemperatures(int imageNumber, bool area, int areaNumber,
                                                         QSize* size) const
{
    CDrawIR* image = FindImage(imageNumber);
    Region region;
    float emissivity = 0, distance = 0, background = 0;
    if (image == nullptr || !FindRegion(*image, area, areaNumber, region, emissivity, distance, background))
        return nullptr;
    const std::int64_t capacity = (std::int64_t(region.cx) + 1) * (std::int64_t(region.cy) + 1);
    if (capacity > std::numeric_limits<int>::max())
        return nullptr;
    auto buffer = std::make_unique<float[]>(std::size_t(capacity));
    int count = int(capacity);
    if (image->Image().GetRectTemps(region.x0, region.y0, region.x0 + region.cx, region.y0 + region.cy, emissivity,
                                    distance, background, buffer.get(), &count) == 0)
        return nullptr;
    // Every column whole, or the order the grid reads would be broken.
    if (std::int64_t(count) != std::int64_t(region.cx) * region.cy)
        return nullptr;
    if (size != nullptr)
        *size = QSize(region.cx, region.cy);
    return buffer;
}

std::unique_ptr<std::uint8_t[]> CDraw3DMap::PictureColors(QByteArrayView dib, QSize imageSize, const QRect& region)
{
    platform::DibInfoHeader header{};
    if (region.isEmpty() || platform::CheckDib(dib) != platform::DibCheck::Ok ||
        !platform::GetDIBInfoHeader(dib, &header) || header.biBitCount != 24)
        return nullptr;
    const int pictureW = header.biWidth;
    const int pictureH = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const bool topDown = header.biHeight < 0;
    const std::size_t bits = platform::FindDIBBits(dib);
    const std::size_t stride = platform::DibRowBytes(pictureW, 24);
    if (pictureW <= 0 || pictureH <= 0 || stride == 0)
        return nullptr;
    // A picture drawn larger than the image (doubled) steps over its pixels.
    const int sx = std::max(1, pictureW / std::max(imageSize.width(), 1));
    const int sy = std::max(1, pictureH / std::max(imageSize.height(), 1));

    const int cx = region.width();
    const int cy = region.height();
    auto colors = std::make_unique<std::uint8_t[]>(std::size_t(cx) * std::size_t(cy) * 3);
    const auto* base = reinterpret_cast<const std::uint8_t*>(dib.data()) + bits;
    std::uint8_t* out = colors.get();
    // Row 0 of the colours is the region's lowest row, as the grid's is.
    for (int r = 0; r < cy; ++r) {
        const std::int64_t fromTop = (std::int64_t(region.y()) + cy - 1 - r) * sy;
        const std::int64_t stored =
            std::clamp<std::int64_t>(topDown ? fromTop : pictureH - 1 - fromTop, 0, pictureH - 1);
        const std::uint8_t* row = base + std::size_t(stored) * stride;
        for (int c = 0; c < cx; ++c) {
            const std::int64_t x = std::clamp<std::int64_t>((std::int64_t(region.x()) + c) * sx, 0, pictureW - 1);
            const std::uint8_t* p = row + std::size_t(x) * 3;
            *out++ = p[0];
            *out++ = p[1];
            *out++ = p[2];
        }
    }
    return colors;
}

std::unique_ptr<std::uint8_t[]> CDraw3DMap::GetAreaColors(int imageNumber, bool area, int areaNumber,
                                                          QSize* size) const
{
    const CDrawIR* image = FindImage(imageNumber);
    Region region;
    float emissivity = 0, distance = 0, background = 0;
    if (image == nullptr || !FindRegion(*image, area, areaNumber, region, emissivity, distance, background))
        return nullptr;

    auto colors = PictureColors(image->Dib(), QSize(image->ImageWidth(), image->ImageHeight()),
                                QRect(region.x0, region.y0, region.cx, region.cy));
    if (colors == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = QSize(region.cx, region.cy);
    return colors;
}
