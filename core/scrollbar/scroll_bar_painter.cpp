#include "core/scrollbar/scroll_bar_painter.h"

#include "assets/skin_assets.h"
#include "core/scrollbar/scroll_bar_geometry.h"
#include "core/scrollbar/skin_picture_ids.h"

namespace hivora {

void DrawLine(PixelBuffer& image, int x1, int y1, int x2, int y2, ColorRef color) {
    image.drawLine(x1, y1, x2, y2, argbFromColorRef(color));
}

int ScrollBarPainter::barLength() const {
    return m_orientation == Orientation::Horizontal ? m_image.width() : m_image.height();
}

void ScrollBarPainter::line(int along1, int across1, int along2, int across2, ColorRef color) {
    if (m_orientation == Orientation::Horizontal) {
        DrawLine(m_image, along1, across1, along2, across2, color);
    } else {
        DrawLine(m_image, across1, along1, across2, along2, color);
    }
}

void ScrollBarPainter::DrawPicture(int along, int across, int alongSize, int acrossSize,
                                   int pictureId) {
    const SkinPicture* picture = findSkinPicture(pictureId);
    if (picture == nullptr) return;
    const PictureView view{picture->width, picture->height, picture->pixels};
    if (m_orientation == Orientation::Horizontal) {
        m_image.stretchPicture(along, across, alongSize, acrossSize, view);
    } else {
        m_image.stretchPicture(across, along, acrossSize, alongSize, view);
    }
}

void ScrollBarPainter::DrawTrack(std::int32_t scheme, bool betweenArrows) {
    const BarSkinIds& ids = skinIds(m_orientation);
    const bool silver = ids.scheme2TrackFromTwoUp ? scheme >= 2 : scheme == 2;
    const int picture = silver ? ids.trackScheme2 : ids.track;
    if (betweenArrows) {
        DrawPicture(kArrowLength, 0, barLength() - 2 * kArrowLength, kBarThickness, picture);
    } else {
        DrawPicture(0, 0, barLength(), kBarThickness, picture);
    }
}

void ScrollBarPainter::DrawPressedTrack(std::int32_t scheme, int hotPart, int thumbPos,
                                        int thumbLength) {
    const BarSkinIds& ids = skinIds(m_orientation);
    const int picture = scheme == 2 ? ids.pressedTrackScheme2 : ids.pressedTrack;
    if (hotPart == kPartTrackBefore) {
        DrawPicture(kArrowLength, 0, thumbPos - kArrowLength, kBarThickness, picture);
    } else if (hotPart == kPartTrackAfter) {
        const int start = thumbPos + thumbLength;
        DrawPicture(start, 0, barLength() - kArrowLength - start, kBarThickness, picture);
    }
}

namespace {

// The arrow picture for a state and scheme, 0 when there is none.
int arrowPicture(const std::array<int, 3>& bases, int disabledId, int state, bool enabled,
                 std::int32_t scheme) {
    if (!enabled) return disabledId;
    if (scheme < 0 || scheme > 2 || state < 0 || state > 2) return 0;
    return bases[static_cast<std::size_t>(scheme)] + state;
}

}  // namespace

void ScrollBarPainter::DrawDecArrow(int state, bool enabled, std::int32_t scheme) {
    const BarSkinIds& ids = skinIds(m_orientation);
    const int picture =
        arrowPicture(ids.decArrowBase, ids.disabledDecArrow, state, enabled, scheme);
    // One pixel in from the outer edge, so that the track's outer line stays visible.
    if (picture != 0) DrawPicture(0, 1, kArrowLength, kBarThickness - 1, picture);
}

void ScrollBarPainter::DrawIncArrow(int state, bool enabled, std::int32_t scheme) {
    const BarSkinIds& ids = skinIds(m_orientation);
    const int picture =
        arrowPicture(ids.incArrowBase, ids.disabledIncArrow, state, enabled, scheme);
    if (picture != 0) {
        DrawPicture(barLength() - kArrowLength, 1, kArrowLength, kBarThickness - 1, picture);
    }
}

void ScrollBarPainter::DrawThumb(int state, std::int32_t scheme, const ThumbColorTable& colors,
                                 int keptCapId, int thumbPos, int thumbLength) {
    const int p = thumbPos;
    const int t = thumbLength;
    const auto& body = colors[static_cast<std::size_t>(state < 0 || state > 2 ? 0 : state)];
    for (int across = 1; across <= kThumbRows; ++across) {
        line(p + 2, across, p + t - 2, across, body[static_cast<std::size_t>(across - 1)]);
    }

    if (t >= kGripMinThumb) {
        // Eight lines centred on the thumb: light ones on rows 6 to 10, dark ones one pixel
        // further along and across, on rows 7 to 11.
        const GripColors grip = gripColors(scheme);
        const int c = static_cast<int>(roundHalfEven(t / 2.0 - 4 + p));
        for (int k = 0; k < 8; k += 2) line(c + k, 6, c + k, 11, grip.light);
        for (int k = 1; k < 8; k += 2) line(c + k, 7, c + k, 12, grip.dark);
    }

    const BarSkinIds& ids = skinIds(m_orientation);
    DrawPicture(p, 1, 2, kThumbRows, keptCapId + ids.leadingCapOffset);
    DrawPicture(p + t - 3, 1, 3, kThumbRows, keptCapId + ids.trailingCapOffset);
}

}  // namespace hivora
