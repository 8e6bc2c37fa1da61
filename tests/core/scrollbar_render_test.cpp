// The skinned scroll bar's backing image, checked pixel by pixel at chosen places: track
// gradients, arrows, thumb rows, grip columns, caps, pressed track, disabled and short bars, in
// each scheme and state. Expected colours are colour values (0x00BBGGRR) as the skin defines them.

#include <gtest/gtest.h>

#include <array>

#include "core/scrollbar/pixel_buffer.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::BarRig;
using Gradient = std::array<ColorRef, 17>;

const Gradient kTrackBlue = {0xE5EDEE, 0xECF1F3, 0xECF1F4, 0xEEF3F4, 0xEFF4F5, 0xF0F5F6,
                             0xF3F7F7, 0xF4F8F9, 0xF7F9F9, 0xF8FBFB, 0xF9FBFB, 0xF9FBFB,
                             0xFAFDFD, 0xFBFEFE, 0xFBFEFE, 0xFBFEFE, 0xE5EDEE};
const Gradient kTrackSilver = {0xEEE6E5, 0xF3EEEC, 0xF4EFEC, 0xF4EFEE, 0xF5F0EF, 0xF6F1F0,
                               0xF7F3F3, 0xF9F5F4, 0xF9F7F7, 0xFBF8F8, 0xFBF9F9, 0xFBF9F9,
                               0xFDFAFA, 0xFEFBFB, 0xFEFBFB, 0xFEFBFB, 0xEEE6E5};
const Gradient kPressedBlue = {0xC2D5D7, 0xD3DEE3, 0xD3DEE5, 0xD7E3E5, 0xDAE5E8, 0xDCE8EA,
                               0xE3ECEC, 0xE5EFF1, 0xECF1F1, 0xEFF6F6, 0xF1F6F6, 0xF1F6F6,
                               0xF3FAFA, 0xF6FDFD, 0xF6FDFD, 0xF6FDFD, 0xC2D5D7};
const Gradient kPressedSilver = {0xD7C3C2, 0xE3D7D3, 0xE5D9D3, 0xE5D8D7, 0xE8DDDA, 0xEADDDC,
                                 0xECE3E3, 0xF1E7E5, 0xF1ECEC, 0xF6EFEF, 0xF6F1F1, 0xF6F1F1,
                                 0xFAF3F3, 0xFDF6F6, 0xFDF6F6, 0xFDF6F6, 0xD7C3C2};

// The pixel `along` the bar and `across` it (0 at its outer edge), as a colour value.
ColorRef colorAt(const BarRig& rig, int along, int across) {
    const PixelBuffer& image = rig.bar->image();
    const Argb argb = rig.horizontal() ? image.pixel(along, across) : image.pixel(across, along);
    return ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
}

void expectGradient(const BarRig& rig, int along, const Gradient& gradient, const char* what) {
    for (int across = 0; across < 17; ++across) {
        EXPECT_EQ(colorAt(rig, along, across), gradient[across])
            << what << " at along " << along << ", across " << across;
    }
}

class ScrollBarRender : public ::testing::TestWithParam<Orientation> {};

INSTANTIATE_TEST_SUITE_P(BothTwins, ScrollBarRender,
                         ::testing::Values(Orientation::Horizontal, Orientation::Vertical),
                         [](const auto& info) {
                             return info.param == Orientation::Horizontal ? "Horizontal"
                                                                          : "Vertical";
                         });

TEST_P(ScrollBarRender, TrackGradientPerScheme) {
    const bool horizontal = GetParam() == Orientation::Horizontal;
    struct Case {
        std::int32_t scheme;
        const Gradient* track;
    } const cases[] = {
        {0, &kTrackBlue},
        {1, &kTrackBlue},
        {2, &kTrackSilver},
        // Schemes beyond 2: the horizontal bar keeps the silver track, the vertical one not.
        {3, horizontal ? &kTrackSilver : &kTrackBlue},
    };
    for (const auto& c : cases) {
        BarRig rig(GetParam(), 265);
        rig.bar->setColorScheme(c.scheme);
        expectGradient(rig, 150, *c.track, "track");
        // The track's outer line stays visible above the arrows.
        EXPECT_EQ(colorAt(rig, 8, 0), (*c.track)[0]);
    }
}

TEST_P(ScrollBarRender, ThumbBodyRowsPerSchemeAndState) {
    // Thumb at 17..26 (value 0): the body shows at 19..23, between the caps. Rows 1, 2, 8 and 16
    // of every column of the colour table.
    struct Case {
        std::int32_t scheme;
        int state;
        ColorRef row1, row2, row8, row16;
    } const cases[] = {
        {0, kStateNormal, 0xFFFFFF, 0xF5CAB7, 0xFDD5C3, 0xD2B59F},
        {0, kStateHot, 0xFFFFFF, 0xFFCBA9, 0xFFE7D6, 0xD2B59F},
        {0, kStatePressed, 0xFFFFFF, 0xD49B83, 0xFBBDA5, 0xD2B59F},
        {1, kStateNormal, 0xFFFFFF, 0x71A28D, 0x8BB4A4, 0x77938B},
        {1, kStateHot, 0xFFFFFF, 0x96CBBD, 0xA7D7CA, 0x77938B},
        {1, kStatePressed, 0xFFFFFF, 0x64917E, 0x7FAD9A, 0x77938B},
        {2, kStateNormal, 0xA29594, 0xFFFFFF, 0xEAE2E2, 0xA29594},
        {2, kStateHot, 0x65665B, 0xFFFFFF, 0xEEE4E5, 0x65665B},
        {2, kStatePressed, 0x484843, 0xFFFFFF, 0xEAE0DF, 0x484843},
        {7, kStateNormal, 0xA29594, 0xFFFFFF, 0xEAE2E2, 0xA29594},  // any other number: silver
    };
    for (const auto& c : cases) {
        BarRig rig(GetParam(), 265);
        rig.bar->setColorScheme(c.scheme);
        if (c.state == kStateHot) rig.move(20);
        if (c.state == kStatePressed) rig.press(20);
        for (int along : {19, 21, 23}) {
            EXPECT_EQ(colorAt(rig, along, 1), c.row1) << c.scheme << "/" << c.state;
            EXPECT_EQ(colorAt(rig, along, 2), c.row2) << c.scheme << "/" << c.state;
            EXPECT_EQ(colorAt(rig, along, 8), c.row8) << c.scheme << "/" << c.state;
            EXPECT_EQ(colorAt(rig, along, 16), c.row16) << c.scheme << "/" << c.state;
        }
        // Row 0 is the track's outer line; beyond the trailing cap the track resumes.
        const bool silverTrack = c.scheme == 2 || (rig.horizontal() && c.scheme > 2);
        EXPECT_EQ(colorAt(rig, 21, 0), silverTrack ? kTrackSilver[0] : kTrackBlue[0]);
        if (c.scheme == 0) expectGradient(rig, 27, kTrackBlue, "track after the thumb");
    }
}

TEST_P(ScrollBarRender, GripColumnsCentredOnLongThumbs) {
    struct Case {
        const char* name;
        std::int32_t scheme;
        std::int32_t largeChange;
        int gripStart;  // c, or -1 for no grip
        ColorRef light, dark;
    } const cases[] = {
        // LargeChange 100: thumb 65 at 17, c = round(32.5 - 4 + 17) = 46 (45.5, half to even).
        {"blue, long thumb", 0, 100, 46, 0xFFFFFF, 0xF8B08C},
        {"olive", 1, 100, 46, 0xACDFD0, 0x739D8C},
        {"silver", 2, 100, 46, 0xFFFFFF, 0xA2958E},
        {"thumb of 16: grip at P + 4", 0, 19, 21, 0xFFFFFF, 0xF8B08C},
        {"thumb of 15: no grip", 0, 18, -1, 0, 0},
    };
    for (const auto& c : cases) {
        BarRig rig(GetParam(), 265);
        rig.bar->setColorScheme(c.scheme);
        rig.bar->setLargeChange(c.largeChange);
        const auto& body = [&](int row) {
            // The thumb's own colour of that row, read where no grip line lies.
            return colorAt(rig, 19, row);
        };
        if (c.gripStart < 0) {
            for (int along = 19; along <= 28; ++along) {
                EXPECT_EQ(colorAt(rig, along, 8), body(8)) << c.name << " at " << along;
            }
            continue;
        }
        for (int k = 0; k < 8; k += 2) {
            const int light = c.gripStart + k;
            const int dark = light + 1;
            EXPECT_EQ(colorAt(rig, light, 5), body(5)) << c.name;
            for (int row = 6; row <= 10; ++row)
                EXPECT_EQ(colorAt(rig, light, row), c.light) << c.name;
            EXPECT_EQ(colorAt(rig, light, 11), body(11)) << c.name;
            EXPECT_EQ(colorAt(rig, dark, 6), body(6)) << c.name;
            for (int row = 7; row <= 11; ++row)
                EXPECT_EQ(colorAt(rig, dark, row), c.dark) << c.name;
            EXPECT_EQ(colorAt(rig, dark, 12), body(12)) << c.name;
        }
        EXPECT_EQ(colorAt(rig, c.gripStart - 1, 8), body(8)) << c.name;
        EXPECT_EQ(colorAt(rig, c.gripStart + 8, 8), body(8)) << c.name;
    }
}

TEST_P(ScrollBarRender, CapsRoundTheThumbEnds) {
    BarRig rig(GetParam(), 265);
    // Leading cap at 17..18: white highlight, then the face. Trailing cap at 24..26: the face's
    // end, a white highlight, the dark border.
    for (int row = 2; row <= 14; ++row) {
        EXPECT_EQ(colorAt(rig, 17, row), 0xFFFFFFu) << row;
        EXPECT_EQ(colorAt(rig, 25, row), 0xFFFFFFu) << row;
        EXPECT_EQ(colorAt(rig, 26, row), 0xD2B59Fu) << row;
    }
    EXPECT_EQ(colorAt(rig, 18, 8), 0xFDD5C3u);
    EXPECT_EQ(colorAt(rig, 24, 8), 0xFDD5C3u);
}

TEST_P(ScrollBarRender, ArrowFacesGlyphsAndStates) {
    struct Case {
        std::int32_t scheme;
        int state;
        ColorRef face, glyph, normalFace;
    } const cases[] = {
        {0, kStateNormal, 0xF7D3C6, 0x8C6552, 0xF7D3C6},
        {0, kStateHot, 0xFFEBDE, 0x8C6552, 0xF7D3C6},
        {0, kStatePressed, 0xEFAA94, 0x8C6552, 0xF7D3C6},
        {1, kStateNormal, 0xA1C4B6, 0xFFFFFF, 0xA1C4B6},
        {1, kStatePressed, 0x80AA98, 0xFFFFFF, 0xA1C4B6},
        {2, kStateNormal, 0xFCFCFB, 0x3D3D3F, 0xFCFCFB},
        {2, kStateHot, 0xFFFFFF, 0x3D3D3F, 0xFCFCFB},
    };
    const bool horizontal = GetParam() == Orientation::Horizontal;
    for (const auto& c : cases) {
        BarRig rig(GetParam(), 265);
        rig.bar->setColorScheme(c.scheme);
        if (c.state == kStateHot) rig.move(250);
        if (c.state == kStatePressed) rig.press(250);
        // The increase arrow lies at 248..264, one pixel in from the outer edge. The horizontal
        // chevron's tip covers columns 9..11 of row 7 of its picture; the vertical one's point is
        // column 7 of row 11.
        const int glyphAlong = horizontal ? 248 + 10 : 248 + 11;
        const int faceAlong = horizontal ? 248 + 4 : 248 + 3;
        EXPECT_EQ(colorAt(rig, glyphAlong, 1 + 7), c.glyph) << c.scheme << "/" << c.state;
        EXPECT_EQ(colorAt(rig, faceAlong, 1 + 7), c.face) << c.scheme << "/" << c.state;
        // The decrease arrow shows normal meanwhile.
        EXPECT_EQ(colorAt(rig, 3, 1 + 7), c.normalFace) << c.scheme << "/" << c.state;
    }
}

TEST_P(ScrollBarRender, DisabledBarShowsDisabledArrowsPlainTrackNoThumb) {
    BarRig rig(GetParam(), 265);
    rig.bar->setEnabled(false);
    expectGradient(rig, 21, kTrackBlue, "no thumb");
    const bool horizontal = GetParam() == Orientation::Horizontal;
    EXPECT_EQ(colorAt(rig, 3, 8), 0xE9EFEFu);  // faces
    EXPECT_EQ(colorAt(rig, horizontal ? 248 + 4 : 248 + 3, 8), 0xE9EFEFu);
    // The disabled horizontal chevron sits one column nearer the start: its tip (row 7) covers
    // columns 4..6 of the left picture.
    if (horizontal) {
        EXPECT_EQ(colorAt(rig, 4, 8), 0xC2C9C9u);
        EXPECT_EQ(colorAt(rig, 7, 8), 0xE9EFEFu);
    }
}

TEST_P(ScrollBarRender, ShortBarsShowNoThumb) {
    struct Case {
        int length;
        bool thumb;
    } const cases[] = {{47, false}, {40, false}, {48, true}};
    for (const auto& c : cases) {
        BarRig rig(GetParam(), c.length);
        EXPECT_EQ(colorAt(rig, 21, 8) == 0xFDD5C3u, c.thumb) << c.length;
        if (!c.thumb) expectGradient(rig, 21, kTrackBlue, "short bar");
    }
}

TEST_P(ScrollBarRender, PressedTrackBetweenThumbAndPointerUntilRelease) {
    for (const std::int32_t scheme : {0, 2}) {
        const Gradient& plain = scheme == 2 ? kTrackSilver : kTrackBlue;
        const Gradient& pressed = scheme == 2 ? kPressedSilver : kPressedBlue;
        BarRig rig(GetParam(), 265);
        rig.bar->setColorScheme(scheme);
        rig.press(200);  // pages to 10: thumb 26..35
        expectGradient(rig, 36, pressed, "after the thumb");
        expectGradient(rig, 247, pressed, "up to the arrow");
        expectGradient(rig, 20, plain, "before the thumb");

        rig.release(200);
        expectGradient(rig, 36, plain, "after release");

        rig.press(150);  // the track after the thumb again; now page back from before it
        rig.release(150);
        rig.bar->setValue(200);
        rig.press(30);  // before the thumb: the segment from the arrow to the thumb
        expectGradient(rig, 17, pressed, "before the thumb");
        EXPECT_NE(colorAt(rig, 200, 8), pressed[8]);
    }
}

TEST(ScrollBarRenderSchemes, UnknownSchemeDrawsNoArrowsButSilverThumbAndCaps) {
    BarRig rig(Orientation::Horizontal, 265);
    rig.bar->setColorScheme(5);
    expectGradient(rig, 8, kTrackSilver, "no arrow picture");
    EXPECT_EQ(colorAt(rig, 21, 1), 0xA29594u);
    EXPECT_EQ(colorAt(rig, 26, 8), 0xA29594u);  // silver trailing cap border
}

}  // namespace
}  // namespace hivora
