// CDrawIR: the commands that show the report's small infrared dialogs (the
// range, target and wait dialogs) or add objects of their own (remark text,
// visible photo).
#include "irimage/draw_ir.h"

#include <QObject>

bool CDrawIR::RunRangeDialog() { return false; }

int CDrawIR::ChooseExportTarget() { return -1; }

std::unique_ptr<QObject> CDrawIR::ShowExportWait() { return nullptr; }

int CDrawIR::OnShowRemark() { return 1; }

int CDrawIR::OnShowVisiblePhoto() { return 1; }
