// Draws the skinned scroll bars' pictures and writes them, run-length coded, as the C++ source
// that the assets library compiles into the program.
//
//   skin_generator <output .cpp> [--bmp <directory>]
//
// --bmp also writes every picture as <id>.bmp into the directory, for looking at them. Run it from
// the repository root with assets/skin_bitmaps.cpp as the output whenever the art below changes,
// and commit the result.
//
// The art: tracks are the exact gradients across the bar's 17 pixels; arrows are small buttons (a
// light outer frame, a one-pixel border, a face lit from the bar's outer edge and a chevron);
// thumb caps continue the thumb body's colours and round its ends with a white highlight and, at
// the trailing end, the dark border.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/scrollbar/color_scheme.h"
#include "core/scrollbar/skin_picture_ids.h"

namespace hivora {
namespace {

// ---- Colours (colour values, 0x00BBGGRR) ------------------------------------------------------

using Gradient = std::array<ColorRef, 17>;  // across the bar, from its outer edge inwards

constexpr Gradient kTrackBlueOlive = {0xE5EDEE, 0xECF1F3, 0xECF1F4, 0xEEF3F4, 0xEFF4F5, 0xF0F5F6,
                                      0xF3F7F7, 0xF4F8F9, 0xF7F9F9, 0xF8FBFB, 0xF9FBFB, 0xF9FBFB,
                                      0xFAFDFD, 0xFBFEFE, 0xFBFEFE, 0xFBFEFE, 0xE5EDEE};
constexpr Gradient kTrackSilver = {0xEEE6E5, 0xF3EEEC, 0xF4EFEC, 0xF4EFEE, 0xF5F0EF, 0xF6F1F0,
                                   0xF7F3F3, 0xF9F5F4, 0xF9F7F7, 0xFBF8F8, 0xFBF9F9, 0xFBF9F9,
                                   0xFDFAFA, 0xFEFBFB, 0xFEFBFB, 0xFEFBFB, 0xEEE6E5};
constexpr Gradient kPressedTrackBlueOlive = {
    0xC2D5D7, 0xD3DEE3, 0xD3DEE5, 0xD7E3E5, 0xDAE5E8, 0xDCE8EA, 0xE3ECEC, 0xE5EFF1, 0xECF1F1,
    0xEFF6F6, 0xF1F6F6, 0xF1F6F6, 0xF3FAFA, 0xF6FDFD, 0xF6FDFD, 0xF6FDFD, 0xC2D5D7};
constexpr Gradient kPressedTrackSilver = {
    0xD7C3C2, 0xE3D7D3, 0xE5D9D3, 0xE5D8D7, 0xE8DDDA, 0xEADDDC, 0xECE3E3, 0xF1E7E5, 0xF1ECEC,
    0xF6EFEF, 0xF6F1F1, 0xF6F1F1, 0xFAF3F3, 0xFDF6F6, 0xFDF6F6, 0xFDF6F6, 0xD7C3C2};

constexpr ColorRef kWhite = 0xFFFFFF;

struct ArrowColors {
    ColorRef face;
    ColorRef border;
    ColorRef glyph;
};

// By scheme (blue, olive green, silver), then state (normal, hot, pressed).
constexpr std::array<std::array<ArrowColors, 3>, 3> kArrowColors = {{
    {{{0xF7D3C6, 0xD69E7B, 0x8C6552},
      {0xFFEBDE, 0xD69E7B, 0x8C6552},
      {0xEFAA94, 0xD69E7B, 0x8C6552}}},
    {{{0xA1C4B6, 0x5AAB83, 0xFFFFFF},
      {0xAAD5C9, 0x5AAB83, 0xFFFFFF},
      {0x80AA98, 0x5AAB83, 0xFFFFFF}}},
    {{{0xFCFCFB, 0xA29594, 0x3D3D3F},
      {0xFFFFFF, 0x65665B, 0x3D3D3F},
      {0xE8D4CE, 0x65665B, 0x3D3D3F}}},
}};
constexpr ArrowColors kDisabledArrow = {0xE9EFEF, 0xB9CCCC, 0xC2C9C9};

// `a` moved toward `b` by `amount` (0 keeps a, 1 gives b), channel by channel.
ColorRef blend(ColorRef a, ColorRef b, double amount) {
    ColorRef out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF;
        const double cb = (b >> shift) & 0xFF;
        const auto c = static_cast<ColorRef>(ca + (cb - ca) * amount + 0.5);
        out |= std::min<ColorRef>(c, 255) << shift;
    }
    return out;
}

// ---- Pictures ---------------------------------------------------------------------------------

struct Picture {
    int id = 0;
    int width = 0;
    int height = 0;
    std::vector<ColorRef> pixels;

    Picture(int pictureId, int w, int h) : id(pictureId), width(w), height(h), pixels(w * h) {}
    ColorRef& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    ColorRef at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Pictures are drawn in bar terms: `along` the bar and `across` it (0 at the bar's outer edge).
// A horizontal bar's picture has along = x, across = y; a vertical bar's the other way round.
struct BarCanvas {
    Picture& picture;
    bool horizontal;
    int alongSize() const { return horizontal ? picture.width : picture.height; }
    int acrossSize() const { return horizontal ? picture.height : picture.width; }
    ColorRef& at(int along, int across) {
        return horizontal ? picture.at(along, across) : picture.at(across, along);
    }
};

Picture trackPicture(int id, bool horizontal, const Gradient& gradient) {
    Picture picture(id, horizontal ? 1 : 17, horizontal ? 17 : 1);
    BarCanvas canvas{picture, horizontal};
    for (int across = 0; across < 17; ++across) canvas.at(0, across) = gradient[across];
    return picture;
}

// Chevron pixels as (along, across) points of an arrow picture, pointing toward the bar's start.
using Glyph = std::vector<std::pair<int, int>>;

// The left arrow of a 17 x 16 picture: rows 3 to 11, strokes three pixels thick, tip at row 7.
Glyph leftChevron(int shift) {
    Glyph glyph{{9 + shift, 3}, {9 + shift, 11}};
    const int starts[] = {8, 7, 6, 5, 6, 7, 8};
    for (int i = 0; i < 7; ++i) {
        for (int k = 0; k < 3; ++k) glyph.push_back({starts[i] + k + shift, 4 + i});
    }
    return glyph;
}

// The up arrow of a 16 x 17 picture, as (along = row, across = column) points.
Glyph upChevron() {
    const std::vector<std::pair<int, std::vector<int>>> rows = {
        {5, {7}},
        {6, {6, 7, 8}},
        {7, {5, 6, 7, 8, 9}},
        {8, {4, 5, 6, 8, 9, 10}},
        {9, {3, 4, 5, 9, 10, 11}},
        {10, {4, 10}},
    };
    Glyph glyph;
    for (const auto& [row, columns] : rows) {
        for (int column : columns) glyph.push_back({row, column});
    }
    return glyph;
}

// Mirrors a glyph end for end, making a decrease arrow an increase arrow.
Glyph mirrored(Glyph glyph) {
    for (auto& point : glyph) point.first = 16 - point.first;
    return glyph;
}

// An arrow button, 17 along and 16 across, drawn one pixel in from the bar's outer edge.
Picture arrowPicture(int id, bool horizontal, const ArrowColors& colors, const Glyph& glyph,
                     const Gradient& track) {
    Picture picture(id, horizontal ? 17 : 16, horizontal ? 16 : 17);
    BarCanvas canvas{picture, horizontal};
    const ColorRef frame = blend(kWhite, colors.face, 0.3);
    for (int along = 0; along < 17; ++along) {
        for (int across = 0; across < 16; ++across) {
            const bool outerAlong = along == 0 || along == 16;
            const bool outerAcross = across == 0 || across == 15;
            const bool borderAlong = along == 1 || along == 15;
            const bool borderAcross = across == 1 || across == 14;
            ColorRef color;
            if (outerAlong && outerAcross) {
                color = blend(frame, track[across + 1], 0.5);  // rounded outer corner
            } else if (outerAlong || outerAcross) {
                color = frame;
            } else if (borderAlong && borderAcross) {
                color = blend(colors.border, frame, 0.5);  // rounded border corner
            } else if (borderAlong || borderAcross) {
                color = colors.border;
            } else if (across == 2) {
                color = blend(colors.face, kWhite, 0.45);  // lit from the outer edge
            } else if (across == 3) {
                color = blend(colors.face, kWhite, 0.2);
            } else if (across == 12) {
                color = blend(colors.face, colors.border, 0.15);
            } else if (across == 13) {
                color = blend(colors.face, colors.border, 0.3);
            } else {
                color = colors.face;
            }
            canvas.at(along, across) = color;
        }
    }
    for (const auto& [along, across] : glyph) canvas.at(along, across) = colors.glyph;
    return picture;
}

// A thumb end cap, `depth` pixels along and 16 across, for the scheme's normal thumb colours.
// The leading cap (depth 2) holds a white highlight and the face's start; the trailing one
// (depth 3) the face's end, a white highlight and the dark border. Corners blend into the track.
Picture capPicture(int id, bool horizontal, int depth, int schemeIndex, const Gradient& track) {
    Picture picture(id, horizontal ? depth : 16, horizontal ? 16 : depth);
    BarCanvas canvas{picture, horizontal};
    const auto& body = kThumbColorTables[static_cast<std::size_t>(schemeIndex)][0];
    const ColorRef dark = body[15];
    for (int across = 0; across < 16; ++across) {
        const bool edge = across == 0 || across == 15;
        const ColorRef face = body[static_cast<std::size_t>(across)];
        const ColorRef corner = blend(track[across + 1], edge ? face : dark, 0.5);
        if (depth == 2) {
            canvas.at(0, across) = edge ? corner : kWhite;
            canvas.at(1, across) = face;
        } else {
            canvas.at(0, across) = face;
            canvas.at(1, across) = edge ? face : kWhite;
            canvas.at(2, across) = edge ? corner : dark;
        }
    }
    return picture;
}

std::vector<Picture> drawAllPictures() {
    std::vector<Picture> pictures;
    const Glyph left = leftChevron(0);
    const Glyph up = upChevron();
    for (const bool horizontal : {true, false}) {
        const BarSkinIds& ids = horizontal ? kHorizontalSkinIds : kVerticalSkinIds;
        const Glyph decGlyph = horizontal ? left : up;
        const Glyph incGlyph = mirrored(decGlyph);
        for (int scheme = 0; scheme < 3; ++scheme) {
            const Gradient& track = scheme == 2 ? kTrackSilver : kTrackBlueOlive;
            for (int state = 0; state < 3; ++state) {
                const ArrowColors& colors = kArrowColors[scheme][state];
                pictures.push_back(arrowPicture(ids.decArrowBase[scheme] + state, horizontal,
                                                colors, decGlyph, track));
                pictures.push_back(arrowPicture(ids.incArrowBase[scheme] + state, horizontal,
                                                colors, incGlyph, track));
            }
            const int kept = ids.keptCapId[scheme];
            pictures.push_back(
                capPicture(kept + ids.leadingCapOffset, horizontal, 2, scheme, track));
            pictures.push_back(
                capPicture(kept + ids.trailingCapOffset, horizontal, 3, scheme, track));
        }
        // The disabled horizontal chevron sits one column nearer the bar's start (the mirror one
        // nearer its end); the vertical ones keep their place.
        const Glyph disabledDec = horizontal ? leftChevron(-1) : up;
        pictures.push_back(arrowPicture(ids.disabledDecArrow, horizontal, kDisabledArrow,
                                        disabledDec, kTrackBlueOlive));
        pictures.push_back(arrowPicture(ids.disabledIncArrow, horizontal, kDisabledArrow,
                                        mirrored(disabledDec), kTrackBlueOlive));
        pictures.push_back(trackPicture(ids.track, horizontal, kTrackBlueOlive));
        pictures.push_back(trackPicture(ids.trackScheme2, horizontal, kTrackSilver));
        pictures.push_back(trackPicture(ids.pressedTrack, horizontal, kPressedTrackBlueOlive));
        pictures.push_back(trackPicture(ids.pressedTrackScheme2, horizontal, kPressedTrackSilver));
    }
    std::sort(pictures.begin(), pictures.end(),
              [](const Picture& a, const Picture& b) { return a.id < b.id; });
    return pictures;
}

// ---- Output -----------------------------------------------------------------------------------

std::uint32_t rgbOf(ColorRef color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// Writes `values` as C++ initialisers, `perLine` to a line.
template <typename T>
void writeList(std::ostream& out, const std::vector<T>& values, int perLine, bool hex) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % perLine == 0) out << "    ";
        if (hex) {
            char text[16];
            std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(values[i]));
            out << text;
        } else {
            out << static_cast<unsigned>(values[i]);
        }
        out << ((i + 1) % perLine == 0 || i + 1 == values.size() ? ",\n" : ",");
    }
}

bool writeSource(const std::vector<Picture>& pictures, const std::string& path) {
    std::vector<std::uint32_t> palette;
    std::map<std::uint32_t, int> paletteIndex;
    std::vector<std::uint8_t> runs;
    std::ostringstream table;
    for (const Picture& picture : pictures) {
        const std::size_t first = runs.size();
        std::size_t i = 0;
        while (i < picture.pixels.size()) {
            const std::uint32_t rgb = rgbOf(picture.pixels[i]);
            std::size_t run = 1;
            while (i + run < picture.pixels.size() && run < 255 &&
                   rgbOf(picture.pixels[i + run]) == rgb) {
                ++run;
            }
            auto [entry, added] = paletteIndex.try_emplace(rgb, static_cast<int>(palette.size()));
            if (added) palette.push_back(rgb);
            runs.push_back(static_cast<std::uint8_t>(run));
            runs.push_back(static_cast<std::uint8_t>(entry->second));
            i += run;
        }
        table << "    {" << picture.id << ", " << picture.width << ", " << picture.height << ", "
              << first << ", " << runs.size() - first << "},\n";
    }
    if (palette.size() > 256) {
        std::cerr << "skin_generator: " << palette.size() << " colours do not fit one byte\n";
        return false;
    }

    std::ofstream out(path, std::ios::binary);
    if (!out) {
        std::cerr << "skin_generator: cannot write " << path << "\n";
        return false;
    }
    out << "// Generated by tools/skin_generator.cpp: the scroll bars' skin pictures, run-length\n"
           "// coded (see skin_data.h). Do not edit by hand; change the generator and run it "
           "again.\n"
           "// clang-format off\n"
           "#include \"assets/skin_data.h\"\n\n"
           "namespace hivora::skin_data {\n\n";
    out << "const std::uint32_t kPalette[] = {\n";
    writeList(out, palette, 8, true);
    out << "};\nconst int kPaletteSize = " << palette.size() << ";\n\n";
    out << "const EncodedPicture kPictures[] = {\n" << table.str() << "};\n";
    out << "const int kPictureCount = " << pictures.size() << ";\n\n";
    out << "const std::uint8_t kRunBytes[] = {\n";
    writeList(out, runs, 24, false);
    out << "};\nconst int kRunByteCount = " << runs.size() << ";\n\n";
    out << "}  // namespace hivora::skin_data\n";
    return static_cast<bool>(out);
}

void put16(std::ostream& out, unsigned value) {
    out.put(static_cast<char>(value & 0xFF));
    out.put(static_cast<char>((value >> 8) & 0xFF));
}
void put32(std::ostream& out, unsigned value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A 24-bit bottom-up BMP file of the picture.
bool writeBmp(const Picture& picture, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const unsigned rowBytes = (picture.width * 3 + 3) & ~3u;
    const unsigned imageBytes = rowBytes * picture.height;
    out.write("BM", 2);
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, picture.width);
    put32(out, picture.height);
    put16(out, 1);
    put16(out, 24);
    for (unsigned value : {0u, imageBytes, 3780u, 3780u, 0u, 0u}) put32(out, value);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const ColorRef color = picture.at(x, y);  // 0x00BBGGRR: BMP wants blue, green, red
            out.put(static_cast<char>((color >> 16) & 0xFF));
            out.put(static_cast<char>((color >> 8) & 0xFF));
            out.put(static_cast<char>(color & 0xFF));
        }
        for (unsigned pad = picture.width * 3; pad < rowBytes; ++pad) out.put(0);
    }
    return static_cast<bool>(out);
}

}  // namespace
}  // namespace hivora

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--bmp")) {
        std::cerr << "usage: skin_generator <output .cpp> [--bmp <directory>]\n";
        return 2;
    }
    const auto pictures = hivora::drawAllPictures();
    if (!hivora::writeSource(pictures, argv[1])) return 1;
    if (argc == 4) {
        for (const auto& picture : pictures) {
            const std::string path =
                std::string(argv[3]) + "/" + std::to_string(picture.id) + ".bmp";
            if (!hivora::writeBmp(picture, path)) {
                std::cerr << "skin_generator: cannot write " << path << "\n";
                return 1;
            }
        }
    }
    std::cout << "skin_generator: " << pictures.size() << " pictures written to " << argv[1]
              << "\n";
    return 0;
}
