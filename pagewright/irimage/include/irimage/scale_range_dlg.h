// CScaleRangeDlg: the colour-scale range dialog (311 "色标范围"). The user
// drags the upper and lower temperature of an image's colour scale with two
// sliders, steps them by a tenth, types them, or takes the image's own
// range; every change is sent at once as rangeChanged (tenths of a degree
// Celsius) so that the view follows, and the caller reads GetRange when the
// dialog closes.
//
// Values are shown in the display unit (0 Celsius, 1 Fahrenheit, 2 Kelvin).
// The sliders span three times the image's range (centred on it, at least
// the two values, never below the unit's absolute zero), position 0 at the
// top; the image's own range is marked on both.
//
// One undo step covers every change from opening to closing; closing without
// a change records none.
#pragma once

#include "skin/dialog_base.h"

class CCommitEdit;
class CDI_RptDoc;
class QCheckBox;
class QSlider;

class CScaleRangeDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 311;
    static constexpr int kUpperSlider = 408;
    static constexpr int kLowerSlider = 409;
    static constexpr int kKeepRange = 410;
    static constexpr int kUpperEdit = 411;
    static constexpr int kLowerEdit = 412;
    static constexpr int kUpperMinus = 189;
    static constexpr int kLowerMinus = 190;
    static constexpr int kUpperPlus = 191;
    static constexpr int kLowerPlus = 192;
    static constexpr int kAutoRange = 3;
    static constexpr int kClose = 2;

    // doc: whose undo step the dialog records (null: none); unit: the
    // display unit; imageMax and imageMin: the image's own range (Celsius).
    CScaleRangeDlg(CDI_RptDoc* doc, int unit, float imageMax, float imageMin, QWidget* parent = nullptr);

    // Previous and current upper and lower temperature, Celsius; each is
    // rounded to a tenth and shown in the display unit.
    void SetRange(float previousUpper, float previousLower, float upper, float lower);
    // The same four values back in Celsius.
    void GetRange(float* previousUpper, float* previousLower, float* upper, float* lower) const;

    // The current state in the display unit (for the caller and tests).
    float Upper() const { return m_upper; }
    float Lower() const { return m_lower; }
    float ScaleTop() const { return m_top; }
    float ScaleBottom() const { return m_bottom; }
    bool HasChanged() const { return m_changed; }

    // A value of the display unit in tenths of a degree Celsius, rounded half
    // away from zero.
    static int ToTenthsCelsius(float value, int unit);
    // Absolute zero in the unit.
    static float AbsoluteZero(int unit);
    // Slider position of a value, and value of a position (a tenth).
    static int Position(float value, float top, float bottom);
    static float ValueAt(int position, float top, float bottom);

signals:
    // Upper and lower in tenths of a degree Celsius, after every change.
    void rangeChanged(int upperTenths, int lowerTenths);

protected:
    bool DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnCancel() override;

private:
    class BandSlider;

    float ToUnit(float celsius) const;
    float ToCelsius(float value) const;
    void ComputeScale();
    void ShowValues();
    void OnSlider(bool upper, int position);
    void OnStep(bool upper, float delta);
    // An edit committed (Enter, or the focus left it).
    void OnEdited(bool upper);
    void OnAutoRange();
    void Notify();

    CDI_RptDoc* m_doc;
    int m_unit;
    float m_imageMax;
    float m_imageMin;
    float m_upper = 0;
    float m_lower = 0;
    float m_previousUpper = 0;
    float m_previousLower = 0;
    float m_top = 0;
    float m_bottom = 0;
    bool m_changed = false;    // the undo step is open
    bool m_stepClosed = false; // and was closed
    bool m_updating = false;
    BandSlider* m_upperSlider;
    BandSlider* m_lowerSlider;
    CCommitEdit* m_upperEdit;
    CCommitEdit* m_lowerEdit;
    QCheckBox* m_keepRange;
};
