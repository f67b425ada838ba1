#include "irimage/height_grid.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

void CHeightGrid::Build(int width, int height, const std::uint8_t* colors, const float* temperatures, float min,
                        float max)
{
    m_colors = colors;
    m_heights.clear();
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    if (m_width == 0 || m_height == 0 || temperatures == nullptr) {
        m_width = m_height = 0;
        return;
    }
    const double span = std::fabs(std::trunc(double(max) - double(min)));
    const int meanSide = (m_width + m_height) / 2;
    m_factor = float(span == 0 ? meanSide / 1.0 : meanSide / span);

    m_heights.resize(std::size_t(m_width) * std::size_t(m_height));
    std::size_t out = 0;
    for (int j = m_height - 1; j >= 0; --j) {
        for (int i = 0; i < m_width; ++i)
            m_heights[out++] = (temperatures[std::size_t(i) * std::size_t(m_height) + std::size_t(j)] - min) * m_factor;
    }
}

float CHeightGrid::HeightAt(int x, int y) const
{
    if (m_heights.empty())
        return 0;
    x = std::clamp(x, 0, m_width - 1);
    y = std::clamp(y, 0, m_height - 1);
    return m_heights[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
}

CHeightGrid::Color CHeightGrid::ColorAt(int x, int y) const
{
    if (m_colors == nullptr || m_width == 0)
        return {};
    x = std::clamp(x, 0, m_width - 1);
    y = std::clamp(y, 0, m_height - 1);
    const std::uint8_t* p = m_colors + 3 * (std::size_t(y) * std::size_t(m_width) + std::size_t(x));
    return {p[2], p[1], p[0]};
}

bool CHeightGrid::Draw() const
{
    if (!CanDraw())
        return false;
    const auto vertex = [this](int x, int y) {
        const Color c = ColorAt(x, y);
        glColor3ub(c.red, c.green, c.blue);
        glVertex3f(ModelX(x, m_width), float(kCellSize * y - 2 * m_height), HeightAt(x, y));
    };
    glBegin(GL_QUADS);
    for (int j = 0; j < m_height; ++j) {
        for (int i = 0; i < m_width; ++i) {
            vertex(i, j);
            vertex(i + 1, j);
            vertex(i + 1, j + 1);
            vertex(i, j + 1);
        }
    }
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    return true;
}
