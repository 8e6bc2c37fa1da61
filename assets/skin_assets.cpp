#include "assets/skin_assets.h"

#include <algorithm>
#include <cstddef>

#include "assets/skin_data.h"

namespace hivora {

namespace {

struct DecodedPicture {
    SkinPicture picture;
    std::vector<std::uint32_t> pixels;
};

// Decodes one picture. A malformed code (a run past the picture's end, a palette index out of
// range, too few pixels) leaves the rest of the picture black rather than reading out of bounds;
// the generator never writes such a code.
DecodedPicture decode(const skin_data::EncodedPicture& encoded) {
    DecodedPicture decoded;
    const std::size_t total =
        static_cast<std::size_t>(std::max(0, encoded.width)) * std::max(0, encoded.height);
    decoded.pixels.assign(total, 0xFF000000u);
    std::size_t at = 0;
    const int end = std::min(encoded.firstRunByte + encoded.runByteCount, skin_data::kRunByteCount);
    for (int i = encoded.firstRunByte; i + 1 < end; i += 2) {
        const int run = skin_data::kRunBytes[i];
        const int index = skin_data::kRunBytes[i + 1];
        if (index >= skin_data::kPaletteSize) break;
        const std::uint32_t color = 0xFF000000u | skin_data::kPalette[index];
        for (int k = 0; k < run && at < total; ++k) decoded.pixels[at++] = color;
    }
    decoded.picture = {encoded.id, encoded.width, encoded.height, decoded.pixels.data()};
    return decoded;
}

const std::vector<DecodedPicture>& allPictures() {
    static const std::vector<DecodedPicture> pictures = [] {
        std::vector<DecodedPicture> list;
        list.reserve(static_cast<std::size_t>(skin_data::kPictureCount));
        for (int i = 0; i < skin_data::kPictureCount; ++i) {
            list.push_back(decode(skin_data::kPictures[i]));
        }
        // The vectors' buffers do not move when the list itself is moved, so the pointers in
        // each SkinPicture stay valid.
        std::sort(list.begin(), list.end(), [](const DecodedPicture& a, const DecodedPicture& b) {
            return a.picture.id < b.picture.id;
        });
        return list;
    }();
    return pictures;
}

}  // namespace

const SkinPicture* findSkinPicture(int id) {
    const auto& pictures = allPictures();
    const auto found = std::lower_bound(
        pictures.begin(), pictures.end(), id,
        [](const DecodedPicture& entry, int wanted) { return entry.picture.id < wanted; });
    if (found == pictures.end() || found->picture.id != id) return nullptr;
    return &found->picture;
}

std::vector<int> skinPictureIds() {
    std::vector<int> ids;
    for (const auto& entry : allPictures()) ids.push_back(entry.picture.id);
    return ids;
}

}  // namespace hivora
