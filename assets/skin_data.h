#pragma once
// The layout of the generated picture data in skin_bitmaps.cpp (written by
// tools/skin_generator.cpp; do not edit that file by hand). Internal to the assets library.
//
// Every picture is a run-length code over its pixels, row by row: pairs of bytes (run length
// 1..255, palette index). Palette entries are 0xRRGGBB.

#include <cstdint>

namespace hivora::skin_data {

struct EncodedPicture {
    int id;
    int width;
    int height;
    int firstRunByte;  // offset into kRunBytes
    int runByteCount;  // two bytes per run
};

extern const std::uint32_t kPalette[];
extern const int kPaletteSize;
extern const EncodedPicture kPictures[];  // ordered by id
extern const int kPictureCount;
extern const std::uint8_t kRunBytes[];
extern const int kRunByteCount;

}  // namespace hivora::skin_data
