// CDrawIR: whole-object rendering, bitmap files and exports.
#include "irimage/draw_ir.h"

void CDrawIR::RenderFrame(PageDC&) {}
QImage CDrawIR::RenderFrameImage(double) { return {}; }
bool CDrawIR::SaveFrameAsBmp(const QString&, double) { return false; }
bool CDrawIR::RenderFileToBitmap(bool, const QString&, const QString&, int, double) { return false; }
bool CDrawIR::ExportVisibleImage(const QString&) { return false; }
void CDrawIR::CollectProfileLinks() {}
void CDrawIR::DrawProfileMarkers(PageDC&, const DocRect&) {}
