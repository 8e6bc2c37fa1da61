#pragma once
// Skin pictures compiled into the program, looked up by numeric id, so that nothing has to lie
// beside the program. The pixel data is drawn by tools/skin_generator.cpp into skin_bitmaps.cpp;
// this interface does not depend on any toolkit.

#include <cstdint>
#include <vector>

namespace hivora {

struct SkinPicture {
    int id = 0;
    int width = 0;
    int height = 0;
    const std::uint32_t* pixels = nullptr;  // width x height pixels, row by row, 0xFFRRGGBB
};

// The picture with numeric id `id`, or nullptr when none ships with that id. The pictures are
// decoded once, on the first call; the returned picture lives as long as the program.
const SkinPicture* findSkinPicture(int id);

// The ids of every picture that ships, in increasing order.
std::vector<int> skinPictureIds();

}  // namespace hivora
