// CCellFormat: the property page of a table cell's kind (0 text, 1 field)
// and background colour. Choosing a text cell takes the field page's tab out
// of the sheet; choosing a field cell puts it back (tab 1, string 61460) when
// the field page is allowed (one cell, not a row or column).
#pragma once

#include "document/geometry.h"
#include "document/property_sheet.h"

class CColorComboBox;
class DocumentEnvironment;
class QButtonGroup;

class CCellFormat : public PropertyPage {
public:
    enum : int { kTextRadio = 402, kFieldRadio = 403, kColorCombo = 404 };
    static constexpr int kFieldTabText = 61460;
    static constexpr int kTemplateId = 309;

    explicit CCellFormat(DocumentEnvironment& env, QWidget* parent = nullptr);

    int m_bFieldPageAllowed = 1;
    int m_nCellKind = -1;
    COLORREF m_color = 0xFFFFFF;

    // The sheet and its field page (tab 1 while shown).
    void SetFieldPage(PropertySheet* sheet, PropertyPage* page)
    {
        m_sheet = sheet;
        m_fieldPage = page;
    }
    CColorComboBox* ColorCombo() const { return m_combo; }

    void OnTextChosen();
    void OnFieldChosen();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    DocumentEnvironment& m_env;
    QButtonGroup* m_kind = nullptr;
    CColorComboBox* m_combo = nullptr;
    PropertySheet* m_sheet = nullptr;
    PropertyPage* m_fieldPage = nullptr;
};
