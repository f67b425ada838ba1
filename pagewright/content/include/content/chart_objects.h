// Registration of the line-profile and histogram charts: their classes in a
// registry (reading reports, undo) and the chart tools' factories. The
// program and tools/rptdump call it once at start.
#pragma once

class DrawClassRegistry;

void RegisterChartObjects(DrawClassRegistry& registry);
