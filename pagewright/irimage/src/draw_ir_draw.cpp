// CDrawIR: drawing on the page.
#include "irimage/draw_ir.h"

void CDrawIR::Draw(PageDC&) {}
DocRect CDrawIR::ColorBarRect() const { return {}; }
DocRect CDrawIR::LabelArea() const { return {}; }
