#include "content/chart_objects.h"

#include "content/draw_histogram.h"
#include "content/draw_profile.h"
#include "document/draw_class.h"
#include "document/draw_tool.h"

void RegisterChartObjects(DrawClassRegistry& registry)
{
    if (registry.Find(CDrawProfile::kClass.Name()) == nullptr)
        registry.Add(CDrawProfile::kClass);
    if (registry.Find(CDrawHistogram::kClass.Name()) == nullptr)
        registry.Add(CDrawHistogram::kClass);
    SetToolObjectFactory(kShapeProfile, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawProfile>(&view, rect);
    });
    SetToolObjectFactory(kShapeHistogram, [](DrawView& view, const DocRect& rect) -> std::unique_ptr<CDrawObj> {
        return std::make_unique<CDrawHistogram>(&view, rect);
    });
}
