#pragma once
// The three colour schemes of the skinned scroll bars (0 blue, 1 olive green, 2 silver): the thumb
// body colours, the grip colours and the thumb's cap pictures. Colours are colour values
// (0x00BBGGRR). Header-only and constexpr so that the skin generator draws the caps from the very
// same colours the thumb body is drawn with.

#include <array>
#include <cstdint>

#include "core/scrollbar/scroll_bar_types.h"

namespace hivora {

inline constexpr int kThumbRows = 16;
inline constexpr int kDrawStates = 3;

// Thumb body colours by state (normal, hot, pressed) and row; row r is the line r + 1 pixels in
// from the bar's outer edge.
using ThumbColorTable = std::array<std::array<ColorRef, kThumbRows>, kDrawStates>;

inline constexpr std::array<ThumbColorTable, 3> kThumbColorTables = {{
    // Blue
    {{
        {0xFFFFFF, 0xF5CAB7, 0xFBD6C8, 0xFBD8C8, 0xFBD6C8, 0xFDD6C6, 0xFDD6C6, 0xFDD5C3, 0xFCD3C2,
         0xFCD3C2, 0xFCD1BA, 0xFBCEB6, 0xFBCDB6, 0xF3CBB9, 0xFFFFFF, 0xD2B59F},
        {0xFFFFFF, 0xFFCBA9, 0xFFE7D6, 0xFFE8D8, 0xFFE8D8, 0xFFE7D6, 0xFFE7D6, 0xFFE7D6, 0xFFE7D6,
         0xFFE7D6, 0xFFE3D0, 0xFFE0CA, 0xFFE0CA, 0xFFC9A6, 0xFFFFFF, 0xD2B59F},
        {0xFFFFFF, 0xD49B83, 0xECB6A0, 0xF5BEA8, 0xF9C1AA, 0xFABFA8, 0xFABFA8, 0xFBBDA5, 0xFABBA0,
         0xFABBA0, 0xFAB899, 0xF9B392, 0xF9B396, 0xEEB098, 0xFFFFFF, 0xD2B59F},
    }},
    // Olive green
    {{
        {0xFFFFFF, 0x71A28D, 0x8BB4A4, 0x94B5A6, 0x94B5A6, 0x8EB7A5, 0x8EB7A5, 0x8BB4A4, 0x86B0A0,
         0x86B0A0, 0x7CAD9C, 0x71A896, 0x75A795, 0x6F9C8A, 0xFFFFFF, 0x77938B},
        {0xFFFFFF, 0x96CBBD, 0xAAD5C8, 0xAAD5C9, 0xAAD5C8, 0xA9D9CB, 0xA9D9CB, 0xA7D7CA, 0xA4D4C7,
         0xA4D4C7, 0x9BD3C6, 0x96D0C3, 0x96D0C3, 0x97C7BC, 0xFFFFFF, 0x77938B},
        {0xFFFFFF, 0x64917E, 0x78A391, 0x80AA98, 0x82AD9B, 0x80AC9A, 0x80AC9A, 0x7FAD9A, 0x7CAC99,
         0x7CAC99, 0x77AB98, 0x72AA96, 0x72A994, 0x71A28E, 0xFFFFFF, 0x77938B},
    }},
    // Silver
    {{
        {0xA29594, 0xFFFFFF, 0xF9F7F7, 0xF1ECEC, 0xF1ECEC, 0xEEE9E8, 0xEEE9E8, 0xEAE2E2, 0xE5DCDB,
         0xE5DCDB, 0xE1D5D4, 0xDDCFCF, 0xDBCDCC, 0xDCCECD, 0xFFFFFF, 0xA29594},
        {0x65665B, 0xFFFFFF, 0xFFFEFE, 0xF9F4F4, 0xF6F0F0, 0xF3ECED, 0xF3ECED, 0xEEE4E5, 0xE8DDDC,
         0xE8DDDC, 0xE3D4D3, 0xDDCDCC, 0xDCCBC9, 0xDDCCCB, 0xFFFFFF, 0x65665B},
        {0x484843, 0xFFFFFF, 0xD8C7C5, 0xDDCCCA, 0xDDCCCB, 0xE3D4D4, 0xE3D4D4, 0xEAE0DF, 0xF2EAEA,
         0xF2EAEA, 0xF6F0F0, 0xFAF5F6, 0xFEFCFD, 0xFFFFFF, 0xFFFFFF, 0x484843},
    }},
}};

// The table index of a scheme number: 0 blue, 1 olive green, any other number silver.
constexpr int schemeTableIndex(std::int32_t scheme) {
    return scheme == 0 || scheme == 1 ? scheme : 2;
}

// Fills `table` with the thumb body colours of `scheme`; every number outside 0 and 1 gives the
// silver set. Never fails.
inline void GetColorScheme(std::int32_t scheme, ThumbColorTable& table) {
    table = kThumbColorTables[static_cast<std::size_t>(schemeTableIndex(scheme))];
}

// The grip's light and dark lines of a scheme (same fallback to silver).
struct GripColors {
    ColorRef light;
    ColorRef dark;
};
inline constexpr std::array<GripColors, 3> kGripColors = {{
    {0xFFFFFF, 0xF8B08C},  // blue: white, RGB(140, 176, 248)
    {0xACDFD0, 0x739D8C},  // olive: RGB(208, 223, 172), RGB(140, 157, 115)
    {0xFFFFFF, 0xA2958E},  // silver: white, RGB(142, 149, 162)
}};

constexpr GripColors gripColors(std::int32_t scheme) {
    return kGripColors[static_cast<std::size_t>(schemeTableIndex(scheme))];
}

}  // namespace hivora
