#include "ir_reference_combos.h"

#include "irimage/draw_ir.h"
#include "irimage/ir_property_values.h"

#include "document/document_environment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPoint>

#include <cstdlib>

namespace ir_pages {

bool FillAnalysisCombo(QComboBox* combo, const CDrawIR& image)
{
    combo->clear();
    const DocumentEnvironment& env = image.Environment();
    for (const IRAnalysisItem& item : image.m_analyses) {
        if (item.kind >= kAnalysisPoint && item.kind <= kAnalysisEllipse)
            combo->addItem(AnalysisDisplayName(env, item), QPoint(item.kind, item.number));
    }
    combo->setCurrentIndex(-1);
    return combo->count() > 0;
}

int FindAnalysisEntry(const QComboBox* combo, int kind, int number)
{
    const auto area = [](int k) { return k == kAnalysisRect || k == kAnalysisEllipse; };
    for (int i = 0; i < combo->count(); ++i) {
        const QPoint kept = combo->itemData(i).toPoint();
        if (kept.y() == number && (kept.x() == kind || (area(kind) && area(kept.x()))))
            return i;
    }
    return -1;
}

bool ChosenAnalysis(const QComboBox* combo, int& kind, int& number)
{
    const int at = combo->currentIndex();
    if (at < 0)
        return false;
    const QPoint kept = combo->itemData(at).toPoint();
    kind = kept.x();
    number = kept.y();
    return true;
}

int ReferenceKind(int kind) { return kind == kAnalysisEllipse ? kAnalysisRect : kind; }

void FillQuantityCombo(QComboBox* combo, int kind, const DocumentEnvironment& env)
{
    combo->clear();
    if (kind == kAnalysisPoint) {
        combo->addItem(env.LoadString(doc_string::kTemperature));
    } else {
        combo->addItem(env.LoadString(doc_string::kMaxTemperature));
        combo->addItem(env.LoadString(doc_string::kMinTemperature));
        combo->addItem(env.LoadString(doc_string::kAvgTemperature));
    }
    combo->setCurrentIndex(0);
}

void FillObjectTypes(QComboBox* combo, const DocumentEnvironment& env)
{
    combo->clear();
    combo->addItems(env.ObjectTypes());
    combo->setCurrentIndex(-1);
}

float ObjectTypeEmissivity(const QString& text)
{
    const QByteArray latin = text.trimmed().toLatin1();
    return static_cast<float>(std::strtod(latin.constData(), nullptr) * 0.01);
}

void ReferenceControls::ClearTargets() const
{
    targets->setCurrentIndex(-1);
    quantities->clear();
}

void ReferenceControls::TargetClicked(bool usable) const
{
    const bool on = target->isChecked();
    targets->setEnabled(on && usable);
    quantities->setEnabled(on && usable);
    if (on) {
        temp->setChecked(false);
        tempEdit->setEnabled(false);
    } else {
        ClearTargets();
    }
}

void ReferenceControls::TempClicked(bool usable) const
{
    const bool on = temp->isChecked();
    tempEdit->setEnabled(on && usable);
    if (on) {
        target->setChecked(false);
        targets->setEnabled(false);
        quantities->setEnabled(false);
        ClearTargets();
    }
}

bool CheckEmissivity(PropertyPage& page, QLineEdit* edit, float e, bool hundredthRule)
{
    if (EmissivityAccepted(e, hundredthRule))
        return true;
    DocumentEnvironment& env = page.Environment();
    const int id = hundredthRule ? doc_string::kEmissivityRange1 : doc_string::kEmissivityRange10;
    env.MessageBox(env.LoadString(id), DocumentEnvironment::kIconInformation, id);
    edit->setFocus();
    edit->selectAll();
    return false;
}

} // namespace ir_pages
