#pragma once
// Draws the parts of a skinned scroll bar into its backing image: track, pressed track, arrows and
// thumb, from the skin pictures (assets/skin_assets.h) and the scheme's colours. The painter only
// draws; which part to draw when, and the bookkeeping around it, belong to the bar itself
// (skinned_scroll_bar.h).
//
// Coordinates are given in bar terms, `along` the bar and `across` it (0 at its outer edge): a
// horizontal bar draws along = x, across = y, a vertical bar along = y, across = x. The bar's
// length is the image's size along the bar. A picture that does not ship is simply not drawn.

#include <cstdint>

#include "core/scrollbar/color_scheme.h"
#include "core/scrollbar/pixel_buffer.h"
#include "core/scrollbar/scroll_bar_types.h"

namespace hivora {

// A one-pixel line in a colour value, from (x1, y1) up to but not including (x2, y2).
void DrawLine(PixelBuffer& image, int x1, int y1, int x2, int y2, ColorRef color);

class ScrollBarPainter {
  public:
    ScrollBarPainter(PixelBuffer& image, Orientation orientation)
        : m_image(image), m_orientation(orientation) {}

    // The track picture of the scheme stretched between the arrows, or over the whole bar.
    void DrawTrack(std::int32_t scheme, bool betweenArrows);
    // The pressed-track picture over the track segment of `hotPart` (before or after the thumb);
    // nothing for any other part or a segment of no length.
    void DrawPressedTrack(std::int32_t scheme, int hotPart, int thumbPos, int thumbLength);
    // An arrow in `state`: the disabled picture when `enabled` is false, else the scheme's
    // picture; nothing for a scheme without arrow pictures (outside 0 to 2).
    void DrawDecArrow(int state, bool enabled, std::int32_t scheme);
    void DrawIncArrow(int state, bool enabled, std::int32_t scheme);
    // The thumb at `thumbPos` with `thumbLength`: sixteen body lines in `colors` of `state`, the
    // grip of the scheme when the thumb is longer than 15 pixels, and the caps found from
    // `keptCapId`. The caller decides whether a thumb is shown at all.
    void DrawThumb(int state, std::int32_t scheme, const ThumbColorTable& colors, int keptCapId,
                   int thumbPos, int thumbLength);

    // Stretches the picture `pictureId` over the rectangle; nothing when it does not ship.
    void DrawPicture(int along, int across, int alongSize, int acrossSize, int pictureId);

  private:
    int barLength() const;
    void line(int along1, int across1, int along2, int across2, ColorRef color);

    PixelBuffer& m_image;
    Orientation m_orientation;
};

}  // namespace hivora
