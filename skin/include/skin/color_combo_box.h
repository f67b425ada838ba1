// CColorComboBox: a drop-down list of named colours, each item a swatch and
// the colour's English name, the item data the colour (COLORREF). "NULL"
// (0xFEFEFE) is the first entry: fill switched off.
#pragma once

#include "platform/colorref.h"

#include <QComboBox>

#include <array>

class CColorComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kDefaultCount = 15;
    static constexpr COLORREF kNull = 0xFEFEFE;

    explicit CColorComboBox(QWidget* parent = nullptr);

    // Adds the colour when no item has it: its index, or -1 when listed.
    int AddColor(COLORREF color, const QString& name);
    bool IsColorNew(COLORREF color) const;
    // Fills the list with the fifteen colours and selects the member colour.
    void InitDefaultColors();
    // Selects the entry of the colour; one not in the table selects "NULL"
    // and makes it the member colour.
    void SelectColor(COLORREF color);
    COLORREF GetSelectedColor() const;
    COLORREF ItemColor(int index) const;

    COLORREF m_color = 0xFFFFFF; // the colour to select when filled
    std::array<COLORREF, kDefaultCount> m_defaultColors{};

protected:
    void paintEvent(QPaintEvent* e) override;
};
