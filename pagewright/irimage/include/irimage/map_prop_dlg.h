// C3DMapPropDlg: the properties dialog of a 3D map (template 355, "属性").
//
// The user picks an infrared image of the report by number (combo 487) and
// optionally one of its rectangle analyses (combo 490), and sets the
// rotation about X and Y (edits 481, 482: -9720..9720), the zoom (edit 484:
// 1..100, the preview's scale is zoom x 0.1) and the background colour
// (button 189), with a live preview (CGLMapWnd, child 1234 inside frame
// 486). OK copies the settings into the map and stores a snapshot of the
// preview in it; Cancel changes nothing.
//
// Each edit is a spin box (the edit and its arrows in one control).
#pragma once

#include "irimage/gl_map_wnd.h"

#include "skin/dialog_base.h"

#include "platform/colorref.h"

#include <QSize>

#include <cstdint>
#include <memory>
#include <vector>

class CDraw3DMap;
class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QPushButton;
class QRadioButton;

class C3DMapPropDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 355;
    enum ControlId {
        kIdImageCombo = 487,
        kIdAreaCombo = 490,
        kIdRadioImage = 492,
        kIdRadioArea = 493,
        kIdPreviewFrame = 486,
        kIdPreview = 1234,
        kIdRotationX = 481,
        kIdRotationY = 482,
        kIdZoom = 484,
        kIdColor = 189,
    };
    static constexpr double kMaxRotation = 9720;
    static constexpr double kMinZoom = 1;
    static constexpr double kMaxZoom = 100;
    // An area's zoom: this over its longer side, at most kMaxZoom.
    static constexpr int kAreaZoomSpan = 2560;

    explicit C3DMapPropDlg(QWidget* parent = nullptr);
    ~C3DMapPropDlg() override;

    void SetMapObject(CDraw3DMap* map) { m_map = map; }
    CGLMapWnd* Preview() const { return m_preview; }

    // The events (the controls' signals call them; tests may too).
    void OnRotationEdited();
    void OnZoomEdited();
    // The colour button: the program's colour dialog, then OnColorChosen.
    void OnColorButton();
    void OnColorChosen(COLORREF color);
    void OnImageSelected();
    void OnAreaSelected();
    void OnRadioImage();
    void OnRadioArea();
    void OnPreviewChanged(int kind, float value);

    // ---- state
    float m_fZoom = 10;
    float m_fRotX = 0;
    float m_fRotY = 0;
    int m_nRange = 0; // 0 image, 1 area
    bool m_bHasImages = false;
    bool m_bAreaSelected = false;
    int m_nImageNumber = -1;
    int m_nAreaNumber = -1;
    COLORREF m_clrBack = 0xFFFFFF;
    bool m_bModified = false;
    QSize m_dataSize;

protected:
    bool DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void LoadWholeImage(int number);
    void LoadArea(int number);
    void LoadData(bool area, int number);
    void FreeBuffers();
    // White background, no rotation, scale 1 in the preview and edits.
    void ResetPreviewView(bool withZoom);
    void EnableSettings(bool enable);
    void ShowColor();
    int SelectedNumber(const QComboBox* combo) const;

    CDraw3DMap* m_map = nullptr;
    QComboBox* m_imageCombo = nullptr;
    QComboBox* m_areaCombo = nullptr;
    QRadioButton* m_radioImage = nullptr;
    QRadioButton* m_radioArea = nullptr;
    QButtonGroup* m_rangeGroup = nullptr;
    QFrame* m_frame = nullptr;
    CGLMapWnd* m_preview = nullptr;
    QDoubleSpinBox* m_editRotX = nullptr;
    QDoubleSpinBox* m_editRotY = nullptr;
    QDoubleSpinBox* m_editZoom = nullptr;
    QPushButton* m_colorButton = nullptr;
    QWidget* m_okButton = nullptr;
    std::unique_ptr<float[]> m_temperatures;
    std::unique_ptr<std::uint8_t[]> m_colors;
    bool m_exchanging = false;
};
