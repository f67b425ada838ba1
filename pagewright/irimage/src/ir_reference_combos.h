// The combos the parameter and analysis pages share: the analyses of the
// image as reference targets (each item keeps the analysis's kind and
// number), the quantity of the chosen target, and the object-type presets.
#pragma once

#include "document/property_sheet.h"

#include <QString>

class CDrawIR;
class DocumentEnvironment;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace ir_pages {

// A control of a page with its id.
template <class Widget>
Widget* Control(Widget* widget, int id)
{
    PropertyPage::SetControlId(widget, id);
    return widget;
}

// The two mutually exclusive reference checks of a page: a target (another
// analysis and its quantity) or a fixed temperature.
struct ReferenceControls {
    QCheckBox* target = nullptr;
    QCheckBox* temp = nullptr;
    QComboBox* targets = nullptr;
    QComboBox* quantities = nullptr;
    QLineEdit* tempEdit = nullptr;

    // The checks were clicked; usable: there are targets and values to edit.
    void TargetClicked(bool usable) const;
    void TempClicked(bool usable) const;
    // No target chosen, the quantities emptied.
    void ClearTargets() const;
};

// The emissivity bound of a page: the 0.01 rule (61509) or the 0.1 rule
// (61508); a refused value is said in an information box and focused.
bool CheckEmissivity(PropertyPage& page, QLineEdit* edit, float e, bool hundredthRule);

// The image's analyses of kinds 1 to 4 by name ("点01", ...); false when
// there is none.
bool FillAnalysisCombo(QComboBox* combo, const CDrawIR& image);
// The entry of the analysis of that kind and number (a wanted rectangle
// also matches an ellipse and the other way round); -1 when none.
int FindAnalysisEntry(const QComboBox* combo, int kind, int number);
// The kind and number kept by the current entry; false when none is chosen.
bool ChosenAnalysis(const QComboBox* combo, int& kind, int& number);
// The kind to store as a reference: areas as 3.
int ReferenceKind(int kind);
// "温度" for a point, else "最高温度", "最低温度", "平均温度"; the first selected.
void FillQuantityCombo(QComboBox* combo, int kind, const DocumentEnvironment& env);
// The object types of the settings.
void FillObjectTypes(QComboBox* combo, const DocumentEnvironment& env);
// The emissivity an object type begins with (per cent x 0.01).
float ObjectTypeEmissivity(const QString& text);

} // namespace ir_pages
