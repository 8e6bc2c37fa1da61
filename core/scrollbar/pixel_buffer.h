#pragma once
// A plain 32-bit pixel image, the scroll bar's backing image. Pixels are 0xFFRRGGBB, row by row
// from the top-left corner, so that a toolkit can show the buffer without converting it. All
// drawing is clipped to the image: drawing outside it, or with an empty size, paints nothing.

#include <cstdint>
#include <vector>

#include "core/scrollbar/scroll_bar_types.h"

namespace hivora {

using Argb = std::uint32_t;

// The pixel for a colour value (0x00BBGGRR), fully opaque.
constexpr Argb argbFromColorRef(ColorRef color) {
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// A picture to copy from: `pixels` holds width x height pixels, row by row.
struct PictureView {
    int width = 0;
    int height = 0;
    const Argb* pixels = nullptr;
};

class PixelBuffer {
  public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height) { resize(width, height); }

    // Gives the image a new size (negative sizes count as 0); every pixel becomes black.
    void resize(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    const Argb* data() const { return m_pixels.data(); }

    // The pixel at (x, y); 0 outside the image.
    Argb pixel(int x, int y) const;
    void setPixel(int x, int y, Argb color);

    // Stretches the whole picture into the rectangle (x, y, width, height), nearest pixel, copying
    // its pixels unchanged. Nothing happens for an empty picture or a rectangle of no area.
    void stretchPicture(int x, int y, int width, int height, const PictureView& picture);

    // A one-pixel line from (x1, y1) to (x2, y2) in `color`; the end point itself is not painted,
    // as Windows draws lines. A line from a point to itself paints nothing.
    void drawLine(int x1, int y1, int x2, int y2, Argb color);

  private:
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    int m_width = 0;
    int m_height = 0;
    std::vector<Argb> m_pixels;
};

}  // namespace hivora
