// The two combos of the text format bar: font names (one entry per face
// and script, sorted) and font sizes in points (the value travels in
// twips, 1/20 point). Both are flat combos with an editable field of
// limited length, and tell the bar when they take or lose the focus, drop
// down or close up.
#pragma once

#include "skin/flat_combo_box.h"

#include <QString>

#include <cstdint>
#include <vector>

class CFontComboBase : public CFlatComboBox {
    Q_OBJECT
public:
    explicit CFontComboBase(QWidget* parent = nullptr);

    void LimitText(int limit);
    int GetLimitText() const { return m_limit; }

    // The first item that begins with text, ignoring case (-1 none, or an
    // empty text).
    int FindString(const QString& text) const;
    // The item whose text equals text exactly (-1 none).
    int FindStringExact(const QString& text) const;

    void showPopup() override;
    void hidePopup() override;

signals:
    void focusIn();
    void focusOut();
    void droppingDown();
    void closedUp();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    int m_limit = 0;
};

// One face in one script.
struct FontRecord {
    static constexpr std::uint32_t kPrinter = 0x100;
    static constexpr std::uint32_t kTrueType = 0x200;
    static constexpr std::uint32_t kDevice = 0x400;

    QString face;
    QString script;
    std::uint8_t charSet = 0;
    std::uint8_t pitchAndFamily = 0;
    std::uint32_t flags = 0;
};

class CFontNameCombo : public CFontComboBase {
    Q_OBJECT
public:
    explicit CFontNameCombo(QWidget* parent = nullptr);

    // Lists the scalable faces of Simplified Chinese (set 134) and Latin
    // (set 0), or of one of them; charSet 1 takes both. A face found in both
    // shows twice, each with its script: "face (script)". Keeps the text
    // that was shown.
    void FillFonts(std::uint8_t charSet);
    // Selects the entry of face in charSet (any set for 1), else the entry
    // whose text is face, else puts face into the field.
    void SelectFace(const QString& face, std::uint8_t charSet);
    // The record of an entry (null for a bad index).
    const FontRecord* GetRecord(int index) const;

    // The faces of a script, as FillFonts finds them (scalable, no vertical
    // faces).
    static std::vector<FontRecord> EnumerateFonts(std::uint8_t charSet);
    static QString ScriptName(std::uint8_t charSet);

    // Item height of the list: the larger of 15 and the bar's font height.
    static void SetStockFontHeight(int height);
    static int ItemHeight();

private:
    std::vector<FontRecord> m_records;
};

class CFontSizeCombo : public CFontComboBase {
    Q_OBJECT
public:
    static constexpr int kEmpty = -1;
    static constexpr int kNotANumber = -2;
    static constexpr int kMaxTwips = 32761; // above the range: raises the range message

    explicit CFontSizeCombo(QWidget* parent = nullptr);

    // Twips of the field's text: -1 empty, -2 not a number, 0 for a
    // negative size, at most kMaxTwips.
    int GetTwips() const;
    static int ParseTwips(const QString& text);
    // Shows a size (the entry with that text, else the text) and keeps it.
    void SetTwips(int twips);
    int GetCurrentTwips() const { return m_twips; }
    // Whole points as "12", half points as "10.5"; empty for a negative.
    static QString TwipsToText(int twips);
    // The stock sizes 8 .. 72 for a face; an empty face empties the list.
    void FillSizes(const QString& face);

private:
    int m_twips = 0;
};
