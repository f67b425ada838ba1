#include "skin/text_format_bar.h"

#include "skin/font_combos.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

CTextFormatBar::CTextFormatBar(QWidget* parent) : CToolBarEx(parent)
{
    const QFontMetrics fm(QApplication::font());
    m_charSize = QSize(fm.averageCharWidth(), fm.height());
    CFontNameCombo::SetStockFontHeight(m_charSize.height());

    m_fontName = new CFontNameCombo(this);
    m_fontName->setObjectName(QString::number(kFontNameId));
    m_fontName->setFixedWidth(48 * m_charSize.width());
    m_fontName->LimitText(31);
    m_fontSize = new CFontSizeCombo(this);
    m_fontSize->setObjectName(QString::number(kFontSizeId));
    m_fontSize->setFixedWidth(10 * m_charSize.width());
    m_fontSize->LimitText(4);
    for (CFontComboBase* combo : {static_cast<CFontComboBase*>(m_fontName), static_cast<CFontComboBase*>(m_fontSize)}) {
        combo->hide();
        combo->installEventFilter(this);
        if (combo->lineEdit() != nullptr)
            combo->lineEdit()->installEventFilter(this);
        connect(combo, &CFontComboBase::focusIn, this, [this] { notify(NM_SETFOCUS); });
        connect(combo, &CFontComboBase::closedUp, this, [this] { notify(NM_RETURN); });
    }
    connect(m_fontName, &CFontComboBase::focusOut, this, &CTextFormatBar::ApplyFontName);
    connect(m_fontSize, &CFontComboBase::focusOut, this, &CTextFormatBar::ApplyFontSize);
    connect(m_fontSize, &CFontComboBase::droppingDown, this, &CTextFormatBar::refillSizes);
    // No printer is asked: the screen's fonts.
    m_fontName->FillFonts(DEFAULT_CHARSET);
}

void CTextFormatBar::PositionCombos()
{
    CFontComboBase* combos[2] = {m_fontName, m_fontSize};
    for (int i = 0; i < 2; ++i) {
        CFontComboBase* combo = combos[i];
        combo->setFixedHeight(qMax(1, combo->sizeHint().height() - 2));
        if (GetButtonKind(i) != kButtonControl && !IsSeparator(i))
            PlaceControl(i, combo);
    }
    SetControlWindows(m_fontName, m_fontSize);
}

void CTextFormatBar::notify(std::uint32_t code, platform::CHARFORMAT* format)
{
    if (m_receiver != nullptr)
        m_receiver->OnFormatBarNotify(GetControlId() != 0 ? GetControlId() : kBarId, code, format);
}

QString CTextFormatBar::MessageText(int stringId)
{
    switch (stringId) {
    case kEnterNumber: return QStringLiteral("请输入一个数字！");
    case kNumberRange: return QStringLiteral("数字必须在 1 到 1638 之间。");
    default: return QString::number(stringId);
    }
}

void CTextFormatBar::message(int stringId)
{
    if (m_messages)
        m_messages(stringId, MessageText(stringId));
    else
        QMessageBox::information(this, QApplication::applicationDisplayName(), MessageText(stringId));
}

bool CTextFormatBar::comboHasFocus() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (m_fontName->isAncestorOf(focus) || m_fontSize->isAncestorOf(focus) ||
                                focus == m_fontName || focus == m_fontSize);
}

void CTextFormatBar::OnUpdateCmdUI(bool viewActive)
{
    // Enabled again as soon as a view is back.
    m_fontName->setEnabled(viewActive);
    m_fontSize->setEnabled(viewActive);
    if (comboHasFocus())
        return;
    if (viewActive) {
        RefreshFromView();
    } else {
        // No report: no text's format is left showing.
        clearFace();
        m_fontSize->SetTwips(CFontSizeCombo::kEmpty);
    }
}

void CTextFormatBar::RefreshFromView()
{
    platform::CHARFORMAT cf;
    notify(FMTN_QUERY, &cf);
    // What the text does not name shows empty, not the last text's value.
    if ((cf.dwMask & (platform::CFM_FACE | platform::CFM_CHARSET)) == (platform::CFM_FACE | platform::CFM_CHARSET))
        m_fontName->SelectFace(cf.FaceName(), cf.bCharSet);
    else
        clearFace();
    m_fontSize->SetTwips((cf.dwMask & platform::CFM_SIZE) != 0 ? cf.yHeight : CFontSizeCombo::kEmpty);
}

void CTextFormatBar::clearFace()
{
    if (m_fontName->currentIndex() != -1)
        m_fontName->setCurrentIndex(-1);
    if (!m_fontName->currentText().isEmpty())
        m_fontName->setEditText(QString());
}

void CTextFormatBar::ApplyFontName()
{
    notify(NM_KILLFOCUS);
    const int i = m_fontName->currentIndex() >= 0 && m_fontName->itemText(m_fontName->currentIndex()) == m_fontName->currentText()
                      ? m_fontName->currentIndex()
                      : m_fontName->FindString(m_fontName->currentText());
    platform::CHARFORMAT cf;
    cf.dwMask = platform::CFM_FACE | platform::CFM_CHARSET;
    const FontRecord* rec = m_fontName->GetRecord(i);
    if (rec == nullptr) {
        cf.SetFaceName(QStringLiteral("Arial"));
        cf.bCharSet = DEFAULT_CHARSET;
        cf.bPitchAndFamily = 0;
    } else {
        cf.SetFaceName(rec->face);
        cf.bCharSet = rec->charSet;
        cf.bPitchAndFamily = rec->pitchAndFamily;
    }
    notify(FMTN_APPLY, &cf);
}

void CTextFormatBar::ApplyFontSize()
{
    notify(NM_KILLFOCUS);
    const int twips = m_fontSize->GetTwips();
    if (twips == CFontSizeCombo::kNotANumber) {
        message(kEnterNumber);
    } else if ((twips >= 0 && twips < 20) || twips > 32760) {
        message(kNumberRange);
    } else if (twips >= 1) {
        platform::CHARFORMAT cf;
        cf.dwMask = platform::CFM_SIZE;
        cf.yHeight = twips;
        notify(FMTN_APPLY, &cf);
    }
}

void CTextFormatBar::refillSizes()
{
    const FontRecord* rec = m_fontName->GetRecord(m_fontName->FindString(m_fontName->currentText()));
    int twips = m_fontSize->GetTwips();
    if (twips == CFontSizeCombo::kNotANumber) {
        message(kEnterNumber);
        twips = m_fontSize->GetCurrentTwips();
    } else if (twips != CFontSizeCombo::kEmpty && (twips < 20 || twips > 32760)) {
        message(kNumberRange);
        twips = m_fontSize->GetCurrentTwips();
    }
    m_fontSize->FillSizes(rec != nullptr ? rec->face : QString());
    m_fontSize->SetTwips(twips);
}

void CTextFormatBar::OnPrinterChanged() { m_fontName->FillFonts(DEFAULT_CHARSET); }

bool CTextFormatBar::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* combo = qobject_cast<CFontComboBase*>(watched);
        if (combo == nullptr && watched->parent() != nullptr)
            combo = qobject_cast<CFontComboBase*>(watched->parent());
        if (combo == m_fontName || combo == m_fontSize) {
            auto* key = static_cast<QKeyEvent*>(e);
            switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab: {
                // Two stops: either key moves to the other combo.
                QWidget* next = combo == m_fontName ? static_cast<QWidget*>(m_fontSize) : m_fontName;
                next->setFocus(Qt::TabFocusReason);
                return true;
            }
            case Qt::Key_Return:
            case Qt::Key_Enter: notify(NM_RETURN); return true;
            case Qt::Key_Escape:
                RefreshFromView();
                notify(NM_RETURN);
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
                if ((key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == 0 && !combo->view()->isVisible()) {
                    combo->showPopup();
                    return true;
                }
                break;
            default: break;
            }
        }
    }
    return CToolBarEx::eventFilter(watched, e);
}
