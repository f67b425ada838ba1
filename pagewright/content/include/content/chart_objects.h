// Registration of the line-profile, histogram and time-profile charts: their
// classes in a registry (reading reports, undo), the chart tools' factories
// and the view's image-list hook that shifts the time profiles' flags. The
// program and tools/rptdump call it once at start.
#pragma once

class DrawClassRegistry;

void RegisterChartObjects(DrawClassRegistry& registry);
