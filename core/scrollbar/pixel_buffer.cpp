#include "core/scrollbar/pixel_buffer.h"

#include <algorithm>
#include <cstdlib>

namespace hivora {

void PixelBuffer::resize(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height),
                    0xFF000000u);
}

Argb PixelBuffer::pixel(int x, int y) const {
    return contains(x, y) ? m_pixels[static_cast<std::size_t>(y) * m_width + x] : 0u;
}

void PixelBuffer::setPixel(int x, int y, Argb color) {
    if (contains(x, y)) m_pixels[static_cast<std::size_t>(y) * m_width + x] = color;
}

void PixelBuffer::stretchPicture(int x, int y, int width, int height, const PictureView& picture) {
    if (width <= 0 || height <= 0 || picture.width <= 0 || picture.height <= 0 ||
        picture.pixels == nullptr) {
        return;
    }
    const int left = std::max(x, 0);
    const int right = std::min<long long>(static_cast<long long>(x) + width, m_width);
    const int top = std::max(y, 0);
    const int bottom = std::min<long long>(static_cast<long long>(y) + height, m_height);
    if (left >= right || top >= bottom) return;

    for (int row = top; row < bottom; ++row) {
        // Nearest source row: the one whose span covers this destination row's start.
        const long long sourceRow = static_cast<long long>(row - y) * picture.height / height;
        const Argb* source = picture.pixels + sourceRow * picture.width;
        Argb* target = m_pixels.data() + static_cast<std::size_t>(row) * m_width;
        if (picture.width == 1) {  // a track picture: one colour per row
            std::fill(target + left, target + right, source[0]);
            continue;
        }
        // Step through the source columns without a division per pixel: `column` is
        // floor(offset * picture.width / width), `remainder` what that floor dropped.
        const long long start = static_cast<long long>(left - x) * picture.width;
        long long column = start / width;
        long long remainder = start % width;
        for (int col = left; col < right; ++col) {
            target[col] = source[column];
            remainder += picture.width;
            while (remainder >= width) {
                remainder -= width;
                ++column;
            }
        }
    }
}

void PixelBuffer::drawLine(int x1, int y1, int x2, int y2, Argb color) {
    // The bars draw only straight rows and columns: paint those clipped, without walking the
    // part of the line that lies outside the image.
    if (y1 == y2 || x1 == x2) {
        if (x1 == x2 && y1 == y2) return;
        const bool across = y1 == y2;
        const int fixed = across ? y1 : x1;
        const int from = across ? x1 : y1;
        const int to = across ? x2 : y2;
        // Painted: from up to but excluding to, in either direction.
        const long long first = from < to ? from : static_cast<long long>(to) + 1;
        const long long last = from < to ? static_cast<long long>(to) - 1 : from;
        const int limit = (across ? m_width : m_height) - 1;
        if (fixed < 0 || fixed > (across ? m_height : m_width) - 1) return;
        for (long long i = std::max(first, 0LL); i <= std::min<long long>(last, limit); ++i) {
            if (across) {
                setPixel(static_cast<int>(i), fixed, color);
            } else {
                setPixel(fixed, static_cast<int>(i), color);
            }
        }
        return;
    }
    // Any other slope: Bresenham from the start point, stopping before the end point.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int stepX = x1 < x2 ? 1 : -1;
    const int stepY = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        setPixel(x, y, color);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

}  // namespace hivora
