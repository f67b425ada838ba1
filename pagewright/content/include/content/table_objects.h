// Registration of the table and result-table objects: their classes in a
// registry (reading reports, undo) and the table and result-table tools'
// factories. The program and tools/rptdump call it once at start.
#pragma once

class DrawClassRegistry;

void RegisterTableObjects(DrawClassRegistry& registry);
