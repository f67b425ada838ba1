// CTextFormatBar: the rich-text format bar (control id 32837, toolbar
// resource 231), a CToolBarEx whose first two buttons give way to the font
// name combo (32921) and the font size combo (32922). It keeps both in
// step with the text being edited and reports the user's choices to it
// through FormatBarReceiver (format_bar_receiver.h):
//   a combo takes the focus      NM_SETFOCUS
//   a combo loses the focus      NM_KILLFOCUS, then FMTN_APPLY with the
//                                face or the size (a bad size raises a
//                                message and sends nothing)
//   Enter, or a list closes      NM_RETURN
//   Escape                       FMTN_QUERY (combos refreshed), NM_RETURN
//   idle, no combo focused       FMTN_QUERY
#pragma once

#include "skin/format_bar_receiver.h"
#include "skin/tool_bar_ex.h"

#include <functional>

class CFontNameCombo;
class CFontSizeCombo;

class CTextFormatBar : public CToolBarEx {
    Q_OBJECT
public:
    static constexpr int kBarId = 32837;
    static constexpr int kFontNameId = 32921;
    static constexpr int kFontSizeId = 32922;
    // Messages of a bad size, by their string ids.
    static constexpr int kEnterNumber = 32783;
    static constexpr int kNumberRange = 32786;

    explicit CTextFormatBar(QWidget* parent = nullptr);

    // Sizes both combos on the bar's band and lists the fonts; puts them in
    // place of buttons 0 and 1.
    void PositionCombos();

    CFontNameCombo* GetFontNameCombo() const { return m_fontName; }
    CFontSizeCombo* GetFontSizeCombo() const { return m_fontSize; }

    // Who hears the notifications (null: nobody).
    void SetReceiver(FormatBarReceiver* receiver) { m_receiver = receiver; }
    FormatBarReceiver* GetReceiver() const { return m_receiver; }

    // The message boxes of a bad size (string id and its text); without a
    // handler an information box shows the text.
    using MessageHandler = std::function<void(int stringId, const QString& text)>;
    void SetMessageHandler(MessageHandler handler) { m_messages = std::move(handler); }
    static QString MessageText(int stringId);

    // The idle update: with a view active the combos are enabled and, while
    // neither has the focus, follow the text's format (what it does not name
    // shows empty); without one they are disabled and empty.
    void OnUpdateCmdUI(bool viewActive);
    // Asks the receiver for the current format and shows it.
    void RefreshFromView();
    // The size in the size combo goes to the text (or raises a message).
    void ApplyFontSize();
    // The face in the name combo goes to the text ("Arial" for a face not
    // in the list).
    void ApplyFontName();
    // The printer changed: the font list again.
    void OnPrinterChanged();

    // Average character width and height of the application font.
    QSize GetCharSize() const { return m_charSize; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void notify(std::uint32_t code, platform::CHARFORMAT* format = nullptr);
    void message(int stringId);
    void refillSizes();
    bool comboHasFocus() const;
    void clearFace();

    CFontNameCombo* m_fontName = nullptr;
    CFontSizeCombo* m_fontSize = nullptr;
    FormatBarReceiver* m_receiver = nullptr;
    MessageHandler m_messages;
    QSize m_charSize;
};
