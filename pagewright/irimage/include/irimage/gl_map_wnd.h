// CGLMapWnd: the OpenGL window that shows a 3D temperature map.
//
// It renders a CHeightGrid, compiled once per data set into display list 1,
// on a compatibility-profile context: smooth shading, depth test
// less-or-equal, a 45 degree perspective (near 10, far 9000), the surface
// moved 1200 units away, rotated about X then Y and scaled.
//
// Dragging with the left button rotates it (vertical moves about X,
// horizontal about Y, one degree per pixel); the wheel and the keypad's
// + and - zoom by 1.1 and 1 / 1.1. Each change is announced by viewChanged
// (kind 0 rotation X, 1 rotation Y, 3 scale).
//
// SnapshotToDib copies the window's pixels into a picture as a 24-bit DIB.
#pragma once

#include "irimage/height_grid.h"

#include "platform/colorref.h"

#include <QOpenGLWidget>
#include <QPoint>
#include <QSize>

namespace platform {
class CDibImage;
}

class CGLMapWnd : public QOpenGLWidget {
    Q_OBJECT
public:
    enum Notify { kRotationX = 0, kRotationY = 1, kScale = 3 };
    static constexpr float kZoomIn = 1.1f;
    static constexpr float kZoomOut = 0.9090909f;
    static constexpr unsigned kListId = 1;

    explicit CGLMapWnd(QWidget* parent = nullptr);
    ~CGLMapWnd() override;

    // The surface of size.width() columns and size.height() rows of
    // temperatures (column by column) with their colours. Neither buffer is
    // copied: both must live until the next SetData or the window's end.
    void SetData(QSize size, const std::uint8_t* colors, const float* temperatures);
    void SetBackColor(COLORREF color);
    void SetScale(float scale);
    void SetRotationX(float degrees);
    void SetRotationY(float degrees);
    // Black background, no rotation, scale 1, no drag, no list.
    void ResetView();

    // The window's current picture (rendered afresh) into target as a
    // 24-bit bottom-up DIB, 300 pixels per metre. False without a target or
    // an OpenGL context.
    bool SnapshotToDib(platform::CDibImage* target);
    // Byte length of a stored row of a snapshot width pixels wide.
    static int SnapshotRowBytes(int width) { return (3 * width + 3) & ~3; }

    const CHeightGrid& Grid() const { return m_grid; }
    float RotationX() const { return m_rotX; }
    float RotationY() const { return m_rotY; }
    float Scale() const { return m_scale[0]; }
    const float* BackColor() const { return m_back; }
    // The display list is compiled and current.
    bool IsListValid() const { return m_listValid && !m_listDirty; }
    // Whether an OpenGL context could be made for the window.
    bool HasContext() const;

signals:
    // kind: Notify; value: the rotation in degrees or the scale.
    void viewChanged(int kind, float value);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Compiles the grid into list 1 when its data changed (context current;
    // the first paint after SetData does it).
    void CompileList();

private:
    void Zoom(float factor);
    void ReleaseList();

    CHeightGrid m_grid;
    float m_back[3] = {0, 0, 0};
    float m_scale[3] = {1, 1, 1};
    float m_rotX = 0;
    float m_rotY = 0;
    QPoint m_lastMouse;
    bool m_dragging = false;
    bool m_listValid = false;
    bool m_listDirty = false;
    bool m_listAllocated = false;
};
