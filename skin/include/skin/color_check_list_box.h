// CColorCheckListBox: a list of checkable entries, each with a colour shown
// as a swatch in a tab column. Selecting an entry puts a small "..." button
// (control id 714) over its right end, which opens the colour dialog for
// that entry. Colours and check states are kept for at least 20 entries
// (as many as the list holds), and the check states stay readable after
// the list is hidden with its dialog.
#pragma once

#include "platform/colorref.h"

#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <vector>

class CColorCheckListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kColorButtonId = 714;
    static constexpr int kMinSlots = 20;
    static constexpr int kButtonWidth = 45;
    // Where the swatch starts with fewer than two tab stops.
    static constexpr int kDefaultSwatchOffset = 100;

    explicit CColorCheckListBox(QWidget* parent = nullptr);

    // Tab stops in dialog units, made pixels (units x base / 4). Stops
    // must rise: at the first that does not, 0 (the stops before it stay);
    // else 1.
    int SetTabStops(const std::vector<int>& dialogUnits);
    const std::vector<int>& GetTabStops() const { return m_tabStops; }

    // Colour of entry i; a bad index is ignored (GetColor gives 0).
    void SetColor(int index, COLORREF color);
    COLORREF GetColor(int index) const;
    // Check state of entry i: the entry's own while it exists, else the
    // one kept when the list was last hidden; 0 for a bad index.
    int GetCheck(int index) const;
    int GetSlotCount() const { return int(m_colors.size()); }

    // An entry with a check box.
    QListWidgetItem* AddEntry(const QString& text, bool checked, COLORREF color);

    QPushButton* GetColorButton() const { return m_button; }
    // Where the swatch of an entry is drawn.
    QRect SwatchRect(const QRect& itemRect) const;
    // Opens the colour dialog for the selected entry (the "..." button).
    void OnColorButton();

protected:
    void hideEvent(QHideEvent* e) override;

private:
    void ensureSlots();
    void placeButton();
    void saveChecks();

    std::vector<int> m_checks;
    std::vector<COLORREF> m_colors;
    std::vector<int> m_tabStops;
    QPointer<QPushButton> m_button;
};
