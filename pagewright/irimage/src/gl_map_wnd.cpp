#include "irimage/gl_map_wnd.h"

#include "platform/dib.h"
#include "platform/dib_image.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

void PutU16(char* p, std::uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

void PutU32(char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

constexpr int kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 300;

} // namespace

CGLMapWnd::CGLMapWnd(QWidget* parent) : QOpenGLWidget(parent)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    setFormat(format);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    ResetView();
}

CGLMapWnd::~CGLMapWnd()
{
    if (m_listAllocated && context() != nullptr) {
        makeCurrent();
        ReleaseList();
        doneCurrent();
    }
}

bool CGLMapWnd::HasContext() const
{
    return context() != nullptr && context()->isValid();
}

void CGLMapWnd::ResetView()
{
    m_back[0] = m_back[1] = m_back[2] = 0;
    m_rotX = m_rotY = 0;
    m_scale[0] = m_scale[1] = m_scale[2] = 1.0f;
    m_lastMouse = QPoint();
    m_dragging = false;
    m_listValid = false;
}

void CGLMapWnd::SetData(QSize size, const std::uint8_t* colors, const float* temperatures)
{
    float min = 0, max = 0;
    const std::int64_t count = std::int64_t(std::max(size.width(), 0)) * std::max(size.height(), 0);
    if (temperatures != nullptr && count > 0) {
        min = max = temperatures[0];
        for (std::int64_t i = 1; i < count; ++i) {
            const float t = temperatures[i];
            if (t > max)
                max = t;
            else if (t < min)
                min = t;
        }
    }
    m_grid.Build(size.width(), size.height(), colors, temperatures, min, max);
    m_listValid = m_grid.CanDraw();
    m_listDirty = true;
    update();
}

void CGLMapWnd::SetBackColor(COLORREF c)
{
    m_back[0] = float(c & 255) / 255.0f;
    m_back[1] = float((c >> 8) & 255) / 255.0f;
    m_back[2] = float((c >> 16) & 255) / 255.0f;
    update();
}

void CGLMapWnd::SetScale(float scale)
{
    m_scale[0] = m_scale[1] = m_scale[2] = scale;
    update();
}

void CGLMapWnd::SetRotationX(float degrees)
{
    m_rotX = degrees;
    update();
}

void CGLMapWnd::SetRotationY(float degrees)
{
    m_rotY = degrees;
    update();
}

void CGLMapWnd::initializeGL()
{
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // A new context holds no list yet.
    m_listAllocated = false;
    m_listDirty = true;
}

void CGLMapWnd::resizeGL(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = h == 0 ? double(w) : double(w) / double(h);
    gluPerspective(45.0, aspect, 10.0, 9000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CGLMapWnd::ReleaseList()
{
    if (m_listAllocated)
        glDeleteLists(kListId, 1);
    m_listAllocated = false;
}

void CGLMapWnd::CompileList()
{
    if (!m_listDirty)
        return;
    m_listDirty = false;
    ReleaseList();
    if (!m_grid.CanDraw()) {
        m_listValid = false;
        return;
    }
    glNewList(kListId, GL_COMPILE);
    m_listValid = m_grid.Draw();
    glEndList();
    m_listAllocated = true;
}

void CGLMapWnd::paintGL()
{
    CompileList();
    glClearColor(m_back[0], m_back[1], m_back[2], 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!m_listValid)
        return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1200.0f);
    glRotatef(m_rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(m_rotY, 0.0f, 1.0f, 0.0f);
    glScalef(m_scale[0], m_scale[1], m_scale[2]);
    glCallList(kListId);
    glPopMatrix();
}

bool CGLMapWnd::SnapshotToDib(platform::CDibImage* target)
{
    if (target == nullptr)
        return false;
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return false;
    makeCurrent();
    if (!HasContext()) {
        doneCurrent();
        return false;
    }
    const int stride = SnapshotRowBytes(w);
    const std::int64_t bits = std::int64_t(stride) * h;
    if (bits > std::numeric_limits<std::int32_t>::max() - kInfoHeaderSize) {
        doneCurrent();
        return false;
    }
    QByteArray dib(kInfoHeaderSize + int(bits), '\0');
    char* p = dib.data();
    PutU32(p, kInfoHeaderSize);
    PutU32(p + 4, std::uint32_t(w));
    PutU32(p + 8, std::uint32_t(h));
    PutU16(p + 12, 1);
    PutU16(p + 14, 24);
    PutU32(p + 16, 0);
    PutU32(p + 20, std::uint32_t(bits));
    PutU32(p + 24, kPixelsPerMetre);
    PutU32(p + 28, kPixelsPerMetre);

    // The widget draws into its framebuffer object (bound by makeCurrent):
    // render the current view, then read it back bottom-up, as a DIB stores
    // its rows.
    resizeGL(w, h);
    paintGL();
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, w, h, GL_BGR, GL_UNSIGNED_BYTE, p + kInfoHeaderSize);
    doneCurrent();
    return target->SetDib(dib);
}

void CGLMapWnd::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        m_lastMouse = e->position().toPoint();
        m_dragging = true;
    }
    QOpenGLWidget::mousePressEvent(e);
}

void CGLMapWnd::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_dragging = false;
    QOpenGLWidget::mouseReleaseEvent(e);
}

void CGLMapWnd::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_dragging)
        return;
    const QPoint p = e->position().toPoint();
    m_rotX += float(p.y() - m_lastMouse.y());
    m_rotY += float(p.x() - m_lastMouse.x());
    m_lastMouse = p;
    update();
    emit viewChanged(kRotationX, m_rotX);
    emit viewChanged(kRotationY, m_rotY);
}

void CGLMapWnd::Zoom(float factor)
{
    m_scale[0] *= factor;
    m_scale[1] *= factor;
    m_scale[2] *= factor;
    update();
    emit viewChanged(kScale, m_scale[0]);
}

void CGLMapWnd::wheelEvent(QWheelEvent* e)
{
    Zoom(e->angleDelta().y() > 0 ? kZoomIn : kZoomOut);
    e->accept();
}

void CGLMapWnd::keyPressEvent(QKeyEvent* e)
{
    if (e->modifiers() & Qt::KeypadModifier) {
        if (e->key() == Qt::Key_Plus) {
            Zoom(kZoomIn);
            return;
        }
        if (e->key() == Qt::Key_Minus) {
            Zoom(kZoomOut);
            return;
        }
    }
    QOpenGLWidget::keyPressEvent(e);
}
