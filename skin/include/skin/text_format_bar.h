// CTextFormatBar: the rich-text format bar, a CToolBarEx with the font name
// and font size combos in front of its buttons.
#pragma once

#include "skin/tool_bar_ex.h"

class QFontComboBox;

class CTextFormatBar : public CToolBarEx {
    Q_OBJECT
public:
    explicit CTextFormatBar(QWidget* parent = nullptr);

    // Puts the font combos in front of the first button.
    void PositionCombos();

    QFontComboBox* GetFontNameCombo() const { return m_fontName; }
    QComboBox* GetFontSizeCombo() const { return m_fontSize; }

private:
    QFontComboBox* m_fontName = nullptr;
    QComboBox* m_fontSize = nullptr;
};
