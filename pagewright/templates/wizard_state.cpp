#include "wizard_state.h"

WizardState& TheWizardState()
{
    static WizardState state;
    return state;
}

QString WizardState::Cell(int row, int col) const
{
    if (row < 0 || std::size_t(row) >= aastrWizardCells.size())
        return {};
    return At(aastrWizardCells[std::size_t(row)], col);
}

void WizardState::Set(QStringList& list, int index, const QString& value)
{
    if (index < 0)
        return;
    while (list.size() <= index)
        list.append(QString());
    list[index] = value;
}

void WizardState::SetUsePhoto(int index, bool use)
{
    if (index < 0)
        return;
    if (abWizardUsePhoto.size() <= std::size_t(index))
        abWizardUsePhoto.resize(std::size_t(index) + 1, false);
    abWizardUsePhoto[std::size_t(index)] = use;
}

void WizardState::SetCell(int row, int col, const QString& value)
{
    if (row < 0 || col < 0)
        return;
    if (aastrWizardCells.size() <= std::size_t(row))
        aastrWizardCells.resize(std::size_t(row) + 1);
    Set(aastrWizardCells[std::size_t(row)], col, value);
}
