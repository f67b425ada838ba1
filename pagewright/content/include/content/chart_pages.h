// The property pages of the chart objects: CHistLinkPage and CHistSetPage
// (histogram), CProfileParamPage and CColorSetPage (line profile and time
// profile). Each page keeps its values in members that the chart fills
// before the sheet runs and reads after OK; temperatures on the pages are in
// the program's unit.
#pragma once

#include "document/property_sheet.h"
#include "platform/colorref.h"

#include <QString>

#include <array>

class CColorCheckListBox;
class CColorPickerButton;
class CDrawObj;
class DocumentEnvironment;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// Shows the unit text of unit in the statics beside the maximum and minimum.
void SetUnitStatics(PropertyPage& page, const DocumentEnvironment& env, int unit);

class CHistLinkPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 320;
    enum ControlId { kBarColor = 189, kAreaMode = 439, kLineMode = 440, kAreaNumber = 441, kLineNumber = 442,
                     kImageNumber = 443 };

    explicit CHistLinkPage(QWidget* parent = nullptr);

    COLORREF m_clrBar = 0x646464;
    int m_nLineMode = 1; // 0 area, 1 line
    int m_nAreaNumber = 1;
    int m_nLineNumber = 1;
    int m_nIRNumber = 1;

    void OnAreaMode();
    void OnLineMode();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    void EnableEdits();
    CColorPickerButton* m_picker;
    QRadioButton* m_area;
    QRadioButton* m_line;
    QLineEdit* m_areaEdit;
    QLineEdit* m_lineEdit;
};

class CHistSetPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 321;
    enum ControlId { kOutOfRange = 445, kLevelValues = 446, kLevelRanges = 447, kGrid = 444, kTitle = 448,
                     kBins = 451, kMax = 438, kMin = 437, kImageScale = 434, kCustomScale = 452, kMaxUnit = 461,
                     kMinUnit = 462 };

    CHistSetPage(DocumentEnvironment& env, QWidget* parent = nullptr);

    int m_bOutOfRange = 0;
    int m_bLevelValues = 0;
    int m_bLevelRanges = 0;
    int m_bGrid = 0;
    int m_bTitle = 0;
    int m_nBins = 0;
    float m_fMax = 0;
    float m_fMin = 0;
    int m_nCustomScale = 0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    DocumentEnvironment& m_env;
    QRadioButton* m_image;
    QRadioButton* m_custom;
};

class CProfileParamPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 319;
    enum ControlId { kDivider = 189, kLeftAligned = 432, kStretched = 433, kImageScale = 434, kAutoScale = 435,
                     kCustomScale = 436, kMax = 438, kMin = 437, kGrid = 428, kLegend = 429, kAxisTable = 430,
                     kResultTable = 431, kMaxUnit = 461, kMinUnit = 462 };

    CProfileParamPage(DocumentEnvironment& env, QWidget* parent = nullptr);

    COLORREF m_clrDivider = 0x00FF00;
    int m_nUnit = 0;
    int m_nAlignment = 0;
    int m_nScale = 0;
    float m_fMax = 45;
    float m_fMin = 15;
    int m_bGrid = 1;
    int m_bLegend = 1;
    int m_bAxisTable = 0;
    int m_bResultTable = 1;
    int m_bEnableAxisTable = 0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    DocumentEnvironment& m_env;
    CColorPickerButton* m_picker;
    std::array<QRadioButton*, 2> m_alignment{};
    std::array<QRadioButton*, 3> m_scale{};
};

class CColorSetPage : public PropertyPage {
public:
    static constexpr int kTemplateId = 318;
    static constexpr int kLines = 10;
    static constexpr int kCurves = 20;
    static constexpr int kTargets = 100;
    enum ControlId { kImageNumber = 427, kSingle = 439, kSeveral = 440, kCurveList = 208, kTargetList = 209 };

    CColorSetPage(DocumentEnvironment& env, QWidget* parent = nullptr);

    std::array<QString, kLines> m_strLineName;
    std::array<QString, kCurves> m_strCurveName;
    // The rows' marks as filled into list 208 (its colours the owner sets on
    // the list itself); after the sheet the list's own marks hold the answer.
    std::array<int, kCurves> m_bShown{};
    int m_nIRNumber = 1;
    int m_nSeveral = 0;
    int m_bSeveralAllowed = 0;
    int m_nCurveCount = 0;
    std::array<int, kTargets> m_bTarget{};
    // The chart whose view's images the page lists.
    CDrawObj* m_pChart = nullptr;

    CColorCheckListBox* CurveList() const { return m_curves; }
    QListWidget* TargetList() const { return m_targets; }

    // Fills list 208 (and 209 when several images are allowed).
    void FillLists();
    void OnSingle();
    void OnSeveral();
    void OnImageNumberChanged();
    // The target list's marks into the target states.
    void ReadTargets();
    void OnOK() override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetTabStops();
    DocumentEnvironment& m_env;
    QLineEdit* m_number;
    QRadioButton* m_single;
    QRadioButton* m_several;
    CColorCheckListBox* m_curves;
    QListWidget* m_targets;
    bool m_filling = false;
};
