#include "skin/text_format_bar.h"

#include <QComboBox>
#include <QFontComboBox>

CTextFormatBar::CTextFormatBar(QWidget* parent) : CToolBarEx(parent) {}

void CTextFormatBar::PositionCombos()
{
    if (m_fontName != nullptr)
        return;
    m_fontName = new QFontComboBox(this);
    m_fontName->setObjectName(QStringLiteral("FontName"));
    m_fontName->setFixedWidth(150);
    m_fontSize = new QComboBox(this);
    m_fontSize->setObjectName(QStringLiteral("FontSize"));
    m_fontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        m_fontSize->addItem(QString::number(size));
    m_fontSize->setCurrentText(QStringLiteral("10"));
    m_fontSize->setFixedWidth(50);
    QAction* first = actions().isEmpty() ? nullptr : actions().first();
    insertWidget(first, m_fontName);
    insertWidget(first, m_fontSize);
}
