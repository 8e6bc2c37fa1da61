// The skinned scroll bar's backing image, checked pixel by pixel at chosen places: track
// gradients, arrows, thumb rows, grip columns, caps, pressed track, disabled and short bars, in
// each scheme and state. Expected colours are colour values (0x00BBGGRR) as the skin defines them.

#include <gtest/gtest.h>

#include <array>
#include <string>

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
HIVORA_FOR_BOTH_TWINS(ScrollBarRender);

TEST_P(ScrollBarRender, TrackThumbAndCapsPerSchemeAndState) {
    // Thumb at 17..26 (value 0): leading cap 17..18, body 19..23, trailing cap 24..26. The body
    // shows rows 1, 2, 8 and 16 of every column of the colour table.
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
        const std::string what =
            "scheme " + std::to_string(c.scheme) + ", state " + std::to_string(c.state);
        for (int along : {19, 21, 23}) {
            EXPECT_EQ(colorAt(rig, along, 1), c.row1) << what;
            EXPECT_EQ(colorAt(rig, along, 2), c.row2) << what;
            EXPECT_EQ(colorAt(rig, along, 8), c.row8) << what;
            EXPECT_EQ(colorAt(rig, along, 16), c.row16) << what;
        }
        // Schemes beyond 2: the horizontal bar keeps the silver track, the vertical one not.
        const bool silverTrack = c.scheme == 2 || (rig.horizontal() && c.scheme > 2);
        const Gradient& track = silverTrack ? kTrackSilver : kTrackBlue;
        expectGradient(rig, 150, track, what.c_str());
        expectGradient(rig, 27, track, "track after the thumb");
        EXPECT_EQ(colorAt(rig, 21, 0), track[0]) << what;  // row 0 is the track's outer line
        EXPECT_EQ(colorAt(rig, 8, 0), track[0]) << what;   // above the arrows as well
        if (c.scheme > 2) expectGradient(rig, 8, track, "no arrow picture");
        // The caps round the ends with a white highlight, and a dark border at the trailing
        // end; they continue the body's normal colours whatever the state.
        if (c.state != kStateNormal) continue;
        for (int row = 2; row <= 14; ++row) {
            EXPECT_EQ(colorAt(rig, 17, row), 0xFFFFFFu) << what << " row " << row;
            EXPECT_EQ(colorAt(rig, 25, row), 0xFFFFFFu) << what << " row " << row;
            EXPECT_EQ(colorAt(rig, 26, row), c.row16) << what << " row " << row;
        }
        EXPECT_EQ(colorAt(rig, 18, 8), c.row8) << what;
        EXPECT_EQ(colorAt(rig, 24, 8), c.row8) << what;
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
        // Four pairs of lines: light over rows 6..10, dark one column on over rows 7..11; the
        // thumb's own colours (as at its column 19, where no grip lies) all around them.
        const int first = c.gripStart < 0 ? 20 : c.gripStart;
        for (int along = first - 1; along <= first + 8; ++along) {
            const bool onGrip = c.gripStart >= 0 && along >= c.gripStart && along < first + 8;
            const bool lightLine = (along - first) % 2 == 0;
            for (int row = 5; row <= 12; ++row) {
                ColorRef expected = colorAt(rig, 19, row);
                if (onGrip && lightLine && row >= 6 && row <= 10) expected = c.light;
                if (onGrip && !lightLine && row >= 7 && row <= 11) expected = c.dark;
                EXPECT_EQ(colorAt(rig, along, row), expected)
                    << c.name << " at " << along << ", " << row;
            }
        }
    }
}

TEST_P(ScrollBarRender, ArrowFacesGlyphsAndStates) {
    constexpr int kDisabled = -1;  // the bar disabled
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
        {0, kDisabled, 0xE9EFEF, 0xC2C9C9, 0xE9EFEF},
    };
    const bool horizontal = GetParam() == Orientation::Horizontal;
    for (const auto& c : cases) {
        BarRig rig(GetParam(), 265);
        rig.bar->setColorScheme(c.scheme);
        if (c.state == kStateHot) rig.move(250);
        if (c.state == kStatePressed) rig.press(250);
        if (c.state == kDisabled) rig.bar->setEnabled(false);
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

TEST_P(ScrollBarRender, DisabledBarShowsNoThumb) {
    BarRig rig(GetParam(), 265);
    rig.bar->setEnabled(false);
    expectGradient(rig, 21, kTrackBlue, "no thumb");
    // The disabled horizontal chevron sits one column nearer the start: its tip (row 7) covers
    // columns 4..6 of the left picture.
    if (rig.horizontal()) {
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

}  // namespace
}  // namespace hivora
