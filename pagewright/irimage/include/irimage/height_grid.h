// CHeightGrid: the surface of a 3D temperature map.
//
// It holds one height per data point, scaled so that the temperature span
// stands about as tall as the grid's mean side, and a pointer to the colours
// of the same points. Row 0 of the grid is the lowest row of the picture
// (the data's last row), so the surface stands upright as the picture does.
//
// Temperatures arrive as width columns of height values, column by column
// (value (column i, row j) is entry i x height + j), the order in which the
// image holder reads a rectangle. Colours are 3 bytes per point (blue,
// green, red as a 24-bit picture stores them), row-major with width points
// per row, their row 0 also the picture's lowest row.
//
// Draw issues the quadrilaterals of the surface to the current OpenGL
// context (inside a display list being compiled).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CHeightGrid {
public:
    // Spacing of the grid's points in model units.
    static constexpr int kCellSize = 4;

    struct Color {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
        bool operator==(const Color&) const = default;
    };

    // Keeps colours (not owned; they must outlive the grid's drawing) and
    // the size, and fills the heights from the width x height temperatures.
    // A non-positive size leaves the grid empty.
    void Build(int width, int height, const std::uint8_t* colors, const float* temperatures, float min,
               float max);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The factor a temperature difference is multiplied by.
    float Factor() const { return m_factor; }
    // The height at grid point (x, y); indices are clamped to the grid.
    float HeightAt(int x, int y) const;
    // The colour of grid point (x, y); indices are clamped to the grid.
    Color ColorAt(int x, int y) const;
    // Heights and colours present: the surface can be drawn.
    bool CanDraw() const { return !m_heights.empty() && m_colors != nullptr; }
    // Model position of grid point (x, y) (z is its height).
    static float ModelX(int x, int width) { return float(kCellSize * x - 2 * width); }

    // The quadrilaterals to the current context; false (nothing issued)
    // when the grid cannot draw.
    bool Draw() const;

private:
    std::vector<float> m_heights; // row-major, m_width per row
    int m_width = 0;
    int m_height = 0;
    float m_factor = 1.0f;
    const std::uint8_t* m_colors = nullptr;
};
