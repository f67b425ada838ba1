#include "content/chart_objects.h"

#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "content/draw_time_profile.h"
#include "document/draw_class.h"
#include "document/draw_tool.h"
#include "document/draw_view.h"

void RegisterChartObjects(DrawClassRegistry& registry)
{
    if (registry.Find(CDrawProfile::kClass.Name()) == nullptr)
        registry.Add(CDrawProfile::kClass);
    if (registry.Find(CDrawHistogram::kClass.Name()) == nullptr)
        registry.Add(CDrawHistogram::kClass);
    if (registry.Find(CDrawTimeProfile::kClass.Name()) == nullptr)
        registry.Add(CDrawTimeProfile::kClass);
    SetToolObjectFactory(kShapeProfile, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawProfile>(&view, rect);
    });
    SetToolObjectFactory(kShapeHistogram, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawHistogram>(&view, rect);
    });
    SetToolObjectFactory(kShapeTimeProfile, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawTimeProfile>(&view, rect);
    });
    // Time profiles keep their per-image flags in the view's image order.
    DrawView::SetImageListShift([](CDI_RptDoc& doc, int index, int delta, int) {
        CDrawTimeProfile::ShiftTargetsOf(doc, index, delta);
    });
}
