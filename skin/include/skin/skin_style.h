// SkinStyle: the application style of both programs, Fusion with menus in
// the skin: menu and menu-bar items are measured and drawn by CIconMenu,
// and pop-up menus get a flat one-pixel border in skin shade 1 while the
// menu border is switched on. The skinned toolbars (CToolBarEx) paint their
// panel, gripper, separators and buttons through it, and it gives them
// their metrics.
#pragma once

#include <QPointer>
#include <QProxyStyle>

namespace skin {

class SkinState;

class SkinStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit SkinStyle(const SkinState* skin);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

private:
    QPointer<const SkinState> m_skin;
};

// The flat border of pop-up menus, on from start-up to exit. Both return 1.
int InstallMenuBorderHook();
int RemoveMenuBorderHook();
bool MenuBorderInstalled();

} // namespace skin
