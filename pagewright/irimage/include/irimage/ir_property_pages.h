// The pages of the infrared image's property sheet (CDrawIR::OnEditProperties):
// image (dialog 159), parameters (164), analysis tools (173) and palette
// (167) are shown; the colour-scale (162) and text-annotation (169) pages
// exist, registered by name, and are never shown.
//
// Every page holds its values in public members exchanged with its controls;
// the sheet fills them before it runs and reads them after OK. Temperatures
// on the pages are in the display unit (0 Celsius, 1 Fahrenheit, 2 Kelvin),
// distances in metres or feet (length unit 0 or 1).
#pragma once

#include "irimage/ir_analysis.h"
#include "irimage/ir_file_entry.h"

#include "document/property_sheet.h"
#include "platform/colorref.h"

#include <QString>

#include <array>
#include <cstdint>

class CDrawIR;
class CColorPickerButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimerEvent;

namespace ir_pages {
struct ReferenceControls;
}

class CIRImagePage : public PropertyPage {
public:
    static constexpr int kTemplateId = 159;
    enum ControlId { kShowBar = 197, kShowMarks = 198, kLiveUpdate = 200, k3DEffect = 201, kReadAnalyses = 202,
                     kAspect34 = 203, kAspect11 = 204, kZoom = 205, kMakeDefault = 206, kRestoreDefault = 207,
                     kImageNumber = 1495 };

    explicit CIRImagePage(QWidget* parent = nullptr);

    int m_bShowBar = 1;
    int m_bShowMarks = 1;
    int m_bLiveUpdate = 1;
    int m_b3DEffect = 0;
    int m_bReadAnalyses = 1;
    int m_nZoom = 100;
    int m_nImageNumber = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;
};

class CIRScalePage : public PropertyPage {
public:
    static constexpr int kTemplateId = 162;
    explicit CIRScalePage(QWidget* parent = nullptr);

protected:
    void DoDataExchange(DataExchange& dx) override { (void)dx; }
};

class CIRCommentPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 169;
    explicit CIRCommentPage(QWidget* parent = nullptr);

protected:
    void DoDataExchange(DataExchange& dx) override { (void)dx; }
};

class CIRParamPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 164;
    enum ControlId { kEmissivity = 1043, kObjectType = 1494, kDistance = 1046, kAmbient = 1044, kBackground = 1045,
                     kTransmittance = 1049, kHumidity = 1047, kReference = 1048, kTransmittanceText = 1118,
                     kEstimate = 1143, kRefTarget = 470, kRefTemp = 471, kTargetCombo = 1040,
                     kQuantityCombo = 1042, kReset = 1077, kUnitAmbient = 1152, kUnitBackground = 1153,
                     kUnitReference = 463, kUnitDistance = 1151 };

    explicit CIRParamPage(QWidget* parent = nullptr);

    float m_fEmissivity = 0.9f;
    QString m_strObjectType;
    float m_fDistance = 0;
    float m_fAmbient = 0;
    float m_fBackground = 0;
    float m_fTransmittance = 1;
    float m_fHumidity = 0;
    float m_fReference = 0;
    QString m_strTransmittance;
    int m_bEstimate = 0;
    int m_bUseRefTarget = 0;
    int m_bUseRefTemp = 1;

    int m_nTempUnit = 0;
    int m_nLengthUnit = 0;
    QString m_strModel;
    // The current file's entry as it was when the sheet opened (the reset
    // button's values) and the holder's file version and sub-kind.
    IRFileEntry m_initial;
    int m_nScheme = 0;
    int m_nSubKind = 0;
    CDrawIR* m_pIR = nullptr;

    bool OnKillActive() override;
    void OnOK() override;
    // The reset button.
    void OnReset();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    void OnRefTargetClicked();
    void OnRefTempClicked();
    void OnObjectTypeChosen(int index);
    ir_pages::ReferenceControls References() const;

    QLineEdit* m_emissivityEdit;
    QComboBox* m_objectTypes;
    QCheckBox* m_refTarget;
    QCheckBox* m_refTemp;
    QComboBox* m_targets;
    QComboBox* m_quantities;
    QLineEdit* m_referenceEdit;
};

class CIRAnalysisPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 173;
    enum ControlId { kObjectCombo = 1039, kLabel = 1043, kColor = 1077, kLabelMode = 1041, kIsothermCombo = 1493,
                     kIsothermColor = 1492, kHistThreshold = 1483, kHistType = 1289, kOwnEmissivity = 469,
                     kEmissivity = 1263, kPresetCombo = 480, kOwnDistance = 1262, kDistance = 1264,
                     kRefTarget = 470, kRefTemp = 471, kRefTempValue = 488, kOwnBackground = 472,
                     kBackground = 428, kTargetCombo = 1040, kQuantityCombo = 1042, kFixedMark = 1259 };
    static constexpr int kLabelChars = 15;

    explicit CIRAnalysisPage(QWidget* parent = nullptr);

    QString m_strLabel;
    int m_bOwnEmissivity = 0;
    float m_fEmissivity = 0.9f;
    QString m_strPreset;
    int m_bOwnDistance = 0;
    float m_fDistance = 0;
    int m_bRefTarget = 0;
    int m_bRefTemp = 0;
    float m_fRefTemp = 0;
    int m_bOwnBackground = 0;
    float m_fBackground = 0;

    int m_nTempUnit = 0;
    int m_nLengthUnit = 0;
    // Shown when an override is off (the image's values, in the page's units).
    float m_fDefEmissivity = 0.9f;
    float m_fDefDistance = 0;
    float m_fDefBackground = 0;
    std::array<COLORREF, 10> m_isoColors{};
    CDrawIR* m_pIR = nullptr;
    // The analysis being edited (null when the image has none).
    IRAnalysisItem* m_pItem = nullptr;

    // The colour of the object colour button.
    COLORREF ObjectColor() const;
    // Selects another object: the one left is stored first (false, and the
    // choice undone, when its emissivity is refused).
    bool ChooseObject(int index);
    // Stores the page into the edited item (true) or refuses its emissivity.
    bool StoreIntoItem();
    // Writes the page's values into the edited item: colour, the override
    // flags and values (distance in metres, temperatures in Celsius), the
    // reference flags and the label ("%s", or "%s " for OK).
    void WriteItem(bool forOk);
    // Background override allowed: file version 3, sub-kind not 11.
    bool BackgroundAllowed() const;

    bool OnKillActive() override;
    void OnOK() override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void LoadItem();
    // The emissivity rule of the image's file version (the 0.01 rule for
    // version 3); a refused value is said and focused.
    bool EmissivityChecked();
    void EnableValueControls(bool on);
    void OnOwnEmissivity();
    void OnOwnDistance();
    void OnOwnBackground();
    void OnRefTargetClicked();
    void OnRefTempClicked();
    void OnPresetChosen(int index);
    ir_pages::ReferenceControls References() const;
    void FillLabelModes();
    // The target stored into the item; false when the check is on and no
    // target is chosen (the reference is switched off).
    bool StoreTarget();

    QComboBox* m_objects;
    QLineEdit* m_labelEdit;
    CColorPickerButton* m_color;
    QComboBox* m_labelModes;
    QComboBox* m_isotherms;
    CColorPickerButton* m_isoColor;
    QCheckBox* m_ownEmissivity;
    QLineEdit* m_emissivityEdit;
    QComboBox* m_presets;
    QCheckBox* m_ownDistance;
    QLineEdit* m_distanceEdit;
    QCheckBox* m_refTarget;
    QCheckBox* m_refTemp;
    QLineEdit* m_refTempEdit;
    QCheckBox* m_ownBackground;
    QLineEdit* m_backgroundEdit;
    QComboBox* m_targets;
    QComboBox* m_quantities;
    int m_current = -1; // index of the object shown in m_objects
    int m_repaintTimer = 0;
    bool m_loading = false;
};

class CIRPalettePage : public PropertyPage {
public:
    static constexpr int kTemplateId = 167;
    enum ControlId { kPaletteCombo = 421, kInvert = 1100, kShowBeyondRange = 1103, kShowBeyondScale = 1101,
                     kStrip = 1069, kAboveRange = 1482, kAboveScale = 1483, kBelowRange = 1484,
                     kBelowScale = 1485, kAnalysisColor = 1496, kIsotherm1 = 1175, kIsotherm2 = 1488 };

    explicit CIRPalettePage(QWidget* parent = nullptr);

    int m_nPalette = 0;
    int m_bInvert = 0;
    int m_bShowBeyondRange = 0;
    int m_bShowBeyondScale = 0;
    int m_nTempUnit = 0;
    int m_nLengthUnit = 0;

    // The palette shown (the combo's selection) and whether it is inverted.
    int ShownPalette() const;
    bool ShownInverted() const;
    // The colour of a swatch control.
    COLORREF SwatchColor(int id) const;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    void Refresh();

    QComboBox* m_palettes;
    QCheckBox* m_invert;
    QWidget* m_strip;
    std::array<COLORREF, 7> m_swatches{};
};

// Registers the six page classes by name (CreatePropertyPage).
void RegisterIRPropertyPages();
