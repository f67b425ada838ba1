// CDrawIR: the texts of data fields and result tables.
#include "irimage/draw_ir.h"

void CDrawIR::GetInfoText(int, QString&) const {}
void CDrawIR::GetParamText(int, QString&) const {}
void CDrawIR::GetPointText(int, int, QString& text, bool) const { text.clear(); }
void CDrawIR::GetLineText(int, int, QString& text, bool) const { text.clear(); }
void CDrawIR::GetAreaText(int, int, QString& text, bool) const { text.clear(); }
void CDrawIR::GetIsothermText(int, int, QString&) const {}
