// Sprites, logos, banner and emblem: layout and colours of each picture.
#include "tools/art/pictures.h"

#include <algorithm>
#include <vector>

#include "img/img.h"
#include "tools/art/letters.h"
#include "tools/art/shapes.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTPICTS", "20261208", "Tordeval", "C++     ", "CODE    "};
}

namespace art {
namespace {

// The glyph placed with its box centred on (cx, cy) at the given height.
Shape CentredGlyph(char c, double cx, double cy, double height) {
    const Glyph g = GlyphGet(c);
    return ShapeTransform(g.shape, height, height, cx - g.width * height / 2, cy - height / 2);
}

// Each sprite letter's own colour: gradient from top to bottom.
struct SpriteColours {
    char letter;
    unsigned top;
    unsigned bottom;
};
constexpr SpriteColours spriteColours[] = {
    {'V', 0xFF9A8A, 0xF03050},  // coral to crimson
    {'E', 0xFFF480, 0xFFA020},  // lemon to orange
    {'L', 0xA8FF98, 0x30D060},  // mint to green
    {'M', 0x98E0FF, 0x4870FF},  // sky to deep blue
};

// A coloured tile with a bevelled rim, for the logos.
void DrawTile(Canvas& canvas, int x0, Colour base) {
    const int size = 32;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double t = y / 31.0;
            Colour c = ColourMix(ColourMix(base, Colour{1, 1, 1}, 0.35), ColourScale(base, 0.55), t);
            // Rim: 2 pixels lit on the top and left, shaded on the bottom and right.
            const int fromTopLeft = std::min(x, y);
            const int fromBottomRight = std::min(size - 1 - x, size - 1 - y);
            if (fromBottomRight < 2 && fromBottomRight <= fromTopLeft) {
                c = ColourScale(c, fromBottomRight == 0 ? 0.35 : 0.6);
            } else if (fromTopLeft < 2) {
                c = ColourMix(c, Colour{1, 1, 1}, fromTopLeft == 0 ? 0.55 : 0.3);
            }
            CanvasAt(canvas, x0 + x, y) = c;
        }
    }
}

// A row of tiles with one letter each.
Canvas TileRow(const char* letters, const std::vector<Colour>& tiles, const std::vector<LetterStyle>& styles,
               double height) {
    const int count = static_cast<int>(tiles.size());
    Canvas c = CanvasMake(32 * count, 32);
    for (int i = 0; i < count; ++i) {
        DrawTile(c, 32 * i, tiles[static_cast<std::size_t>(i)]);
        const Shape s = CentredGlyph(letters[i], 32 * i + 16.0, 16.0, height);
        DrawShadow(c, s, 1.5, 1.5, 0.55, 32 * i + 2, 2, 32 * i + 30, 30);
        DrawLetter(c, s, styles[static_cast<std::size_t>(i)], 32 * i, 0, 32 * i + 32, 32,
                   16.0 - height / 2, 16.0 + height / 2);
    }
    std::vector<bool> opaque(c.pixels.size(), true);
    CanvasKeepOpaque(c, opaque);
    return c;
}

}  // namespace

Canvas PictureSprite(char letter) {
    Canvas c = CanvasMake(64, 64);
    SpriteColours colours = spriteColours[0];
    for (const SpriteColours& s : spriteColours) {
        if (s.letter == letter) {
            colours = s;
        }
    }
    const Glyph g = GlyphGet(letter);
    const double outline = 2.0;
    const double height = std::min(52.0, (64.0 - 2 * outline - 2.0) / g.width);
    const Shape s = CentredGlyph(letter, 32.0, 32.0, height);
    const Colour top = ColourHex(colours.top);
    const Colour bottom = ColourHex(colours.bottom);
    const LetterStyle style = {top, bottom, ColourMix(top, Colour{1, 1, 1}, 0.75), outline, 3.0, 0.45, 0.16};
    DrawLetter(c, s, style, 0, 0, 64, 64, 32.0 - height / 2, 32.0 + height / 2);
    CanvasDropFringe(c, 0.12);
    return c;
}

Canvas PictureLogoBottom() {
    // Bright tiles in rainbow order with white letters.
    const std::vector<Colour> tiles = {ColourHex(0xE02838), ColourHex(0xF0A010), ColourHex(0x20B048),
                                       ColourHex(0x2860E0)};
    const LetterStyle white = {ColourHex(0xFFFFFF), ColourHex(0xD8E0F0), ColourHex(0x000000), 0.0, 1.2, 0.25, 0.0};
    return TileRow("VELM", tiles, {white, white, white, white}, 22.0);
}

Canvas PictureLogoTop() {
    // Deep-blue tiles with letters in the sprites' colours and a golden star.
    const Colour navy = ColourHex(0x283C8C);
    const std::vector<Colour> tiles = {navy, navy, navy, navy, navy};
    std::vector<LetterStyle> styles;
    for (const SpriteColours& s : spriteColours) {
        styles.push_back({ColourHex(s.top), ColourHex(s.bottom), ColourHex(0), 0.0, 1.2, 0.3, 0.0});
    }
    styles.push_back({ColourHex(0xFFF4A0), ColourHex(0xF0A000), ColourHex(0), 0.0, 1.2, 0.3, 0.0});
    return TileRow("VELM*", tiles, styles, 22.0);
}

Canvas PictureBanner() {
    Canvas c = CanvasMake(64, 16);
    const double height = 13.0;
    const double gap = 2.0;
    const double width = ShapeWordWidth("VELM", height, gap);
    const Shape s = ShapeWord("VELM", (64.0 - width) / 2, 1.5, height, gap);
    const LetterStyle grey = {ColourHex(0xE8E8E8), ColourHex(0x808080), ColourHex(0x303030), 1.0, 1.0, 0.3, 0.0};
    DrawLetter(c, s, grey, 0, 0, 64, 16, 1.5, 14.5);
    CanvasDropFringe(c, 0.1);
    return c;
}

Canvas PictureEmblem() {
    Canvas c = CanvasMake(32, 32);
    const LetterStyle fire = {ColourHex(0xFFF040), ColourHex(0xE01800), ColourHex(0x701000), 0.8, 0.0, 0.0, 0.0};
    const double height = 13.0;
    const double gap = 1.5;
    const char* rows[2] = {"VE", "LM"};
    for (int r = 0; r < 2; ++r) {
        const double width = ShapeWordWidth(rows[r], height, gap);
        const double top = 1.5 + r * 16.0;
        const Shape s = ShapeWord(rows[r], (32.0 - width) / 2, top, height, gap);
        DrawLetter(c, s, fire, 0, r * 16, 32, r * 16 + 16, top, top + height);
    }
    CanvasDropFringe(c, 0.1);
    return c;
}

}  // namespace art
