// Registration of the text and field objects: their classes in a registry
// (reading reports, undo) and the text and field tools' factories. The
// program and tools/rptdump call it once at start.
#pragma once

class DrawClassRegistry;

void RegisterTextObjects(DrawClassRegistry& registry);
