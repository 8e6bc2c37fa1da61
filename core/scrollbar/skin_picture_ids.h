#pragma once
// Which skin picture each bar draws, by numeric id. The pictures themselves ship compiled into the
// program (assets/skin_assets.h); the ids, sizes and roles are fixed:
//   arrows 17 x 16 (horizontal bar) or 16 x 17 (vertical bar), three states from the base id on;
//   thumb caps 2 and 3 pixels deep (leading and trailing end);
//   tracks 1 x 17 or 17 x 1, stretched along the bar.

#include <array>
#include <cstdint>

#include "core/scrollbar/scroll_bar_types.h"

namespace hivora {

struct BarSkinIds {
    std::array<int, 3> decArrowBase;  // by scheme 0..2; + state code
    std::array<int, 3> incArrowBase;
    int disabledDecArrow;
    int disabledIncArrow;
    int track;                // schemes 0 and 1
    int trackScheme2;         //
    int pressedTrack;         // schemes 0 and 1
    int pressedTrackScheme2;  //
    // The cap id a bar keeps per scheme (any scheme above 1 keeps the last), and the offsets from
    // it of the leading and trailing caps actually drawn.
    std::array<int, 3> keptCapId;
    int leadingCapOffset;
    int trailingCapOffset;
    // The horizontal bar takes the scheme-2 track for every scheme from 2 up, the vertical bar for
    // scheme 2 only. (Both take the scheme-2 pressed track for scheme 2 only.)
    bool scheme2TrackFromTwoUp;
};

inline constexpr BarSkinIds kHorizontalSkinIds = {
    {9301, 9309, 9317},
    {9304, 9312, 9320},
    9262,
    9263,
    9266,
    9267,
    9268,
    9269,
    {9308, 9316, 9324},
    0,
    -1,
    true,
};

inline constexpr BarSkinIds kVerticalSkinIds = {
    {9136, 9147, 9159},
    {9139, 9150, 9162},
    9260,
    9261,
    9130,
    9153,
    9264,
    9265,
    {9133, 9144, 9156},
    -2,
    -1,
    false,
};

constexpr const BarSkinIds& skinIds(Orientation orientation) {
    return orientation == Orientation::Horizontal ? kHorizontalSkinIds : kVerticalSkinIds;
}

// The cap id a bar keeps for `scheme`.
constexpr int keptCapId(Orientation orientation, std::int32_t scheme) {
    const auto& ids = skinIds(orientation).keptCapId;
    return scheme == 0 || scheme == 1 ? ids[static_cast<std::size_t>(scheme)] : ids[2];
}

}  // namespace hivora
