// Sprites, logos, banner and emblem: layout and colours of each picture.
#include "tools/art/pictures.h"

#include <algorithm>
#include <vector>

#include "img/img.h"
#include "tools/art/letters.h"
#include "tools/art/shapes.h"

namespace {
[[maybe_unused]] const IDENT ident = {"ARTPICTS", "20261208", "Tordeval", "C++     ", "CODE    "};

// The glyph placed with its box centred on (cx, cy) at the given height.
ARTSHAPE centredGlyph(char c, double cx, double cy, double height) {
    const ARTGLYPH g = ARTGlyphGet(c);
    return ARTShapeTransform(g.shape, height, height, cx - g.width * height / 2, cy - height / 2);
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
void drawTile(ARTCANVAS& canvas, int x0, ARTCOLOUR base) {
    const int size = 32;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double t = y / 31.0;
            ARTCOLOUR c = ARTColourMix(ARTColourMix(base, ARTCOLOUR{1, 1, 1}, 0.35), ARTColourScale(base, 0.55), t);
            // Rim: 2 pixels lit on the top and left, shaded on the bottom and right.
            const int fromTopLeft = std::min(x, y);
            const int fromBottomRight = std::min(size - 1 - x, size - 1 - y);
            if (fromBottomRight < 2 && fromBottomRight <= fromTopLeft) {
                c = ARTColourScale(c, fromBottomRight == 0 ? 0.35 : 0.6);
            } else if (fromTopLeft < 2) {
                c = ARTColourMix(c, ARTCOLOUR{1, 1, 1}, fromTopLeft == 0 ? 0.55 : 0.3);
            }
            ARTCanvasAt(canvas, x0 + x, y) = c;
        }
    }
}

// A row of tiles with one letter each.
ARTCANVAS tileRow(const char* letters, const std::vector<ARTCOLOUR>& tiles, const std::vector<ARTLETTERSTYLE>& styles,
                  double height) {
    const int count = static_cast<int>(tiles.size());
    ARTCANVAS c = ARTCanvasMake(32 * count, 32);
    for (int i = 0; i < count; ++i) {
        drawTile(c, 32 * i, tiles[static_cast<std::size_t>(i)]);
        const ARTSHAPE s = centredGlyph(letters[i], 32 * i + 16.0, 16.0, height);
        ARTDrawShadow(c, s, 1.5, 1.5, 0.55, 32 * i + 2, 2, 32 * i + 30, 30);
        ARTDrawLetter(c, s, styles[static_cast<std::size_t>(i)], 32 * i, 0, 32 * i + 32, 32, 16.0 - height / 2,
                      16.0 + height / 2);
    }
    std::vector<bool> opaque(c.pixels.size(), true);
    ARTCanvasKeepOpaque(c, opaque);
    return c;
}

}  // namespace

ARTCANVAS ARTPictureSprite(char letter) {
    ARTCANVAS c = ARTCanvasMake(64, 64);
    SpriteColours colours = spriteColours[0];
    for (const SpriteColours& s : spriteColours) {
        if (s.letter == letter) {
            colours = s;
        }
    }
    const ARTGLYPH g = ARTGlyphGet(letter);
    const double outline = 2.0;
    const double height = std::min(52.0, (64.0 - 2 * outline - 2.0) / g.width);
    const ARTSHAPE s = centredGlyph(letter, 32.0, 32.0, height);
    const ARTCOLOUR top = ARTColourHex(colours.top);
    const ARTCOLOUR bottom = ARTColourHex(colours.bottom);
    const ARTLETTERSTYLE style = {top, bottom, ARTColourMix(top, ARTCOLOUR{1, 1, 1}, 0.75), outline, 3.0, 0.45, 0.16};
    ARTDrawLetter(c, s, style, 0, 0, 64, 64, 32.0 - height / 2, 32.0 + height / 2);
    ARTCanvasDropFringe(c, 0.12);
    return c;
}

ARTCANVAS ARTPictureLogoBottom() {
    // Bright tiles in rainbow order with white letters.
    const std::vector<ARTCOLOUR> tiles = {ARTColourHex(0xE02838), ARTColourHex(0xF0A010), ARTColourHex(0x20B048),
                                          ARTColourHex(0x2860E0)};
    const ARTLETTERSTYLE white = {
        ARTColourHex(0xFFFFFF), ARTColourHex(0xD8E0F0), ARTColourHex(0x000000), 0.0, 1.2, 0.25, 0.0};
    return tileRow("VELM", tiles, {white, white, white, white}, 22.0);
}

ARTCANVAS ARTPictureLogoTop() {
    // Deep-blue tiles with letters in the sprites' colours and a golden star.
    const ARTCOLOUR navy = ARTColourHex(0x283C8C);
    const std::vector<ARTCOLOUR> tiles = {navy, navy, navy, navy, navy};
    std::vector<ARTLETTERSTYLE> styles;
    for (const SpriteColours& s : spriteColours) {
        styles.push_back({ARTColourHex(s.top), ARTColourHex(s.bottom), ARTColourHex(0), 0.0, 1.2, 0.3, 0.0});
    }
    styles.push_back({ARTColourHex(0xFFF4A0), ARTColourHex(0xF0A000), ARTColourHex(0), 0.0, 1.2, 0.3, 0.0});
    return tileRow("VELM*", tiles, styles, 22.0);
}

ARTCANVAS ARTPictureBanner() {
    ARTCANVAS c = ARTCanvasMake(64, 16);
    const double height = 13.0;
    const double gap = 2.0;
    const double width = ARTShapeWordWidth("VELM", height, gap);
    const ARTSHAPE s = ARTShapeWord("VELM", (64.0 - width) / 2, 1.5, height, gap);
    const ARTLETTERSTYLE grey = {
        ARTColourHex(0xE8E8E8), ARTColourHex(0x808080), ARTColourHex(0x303030), 1.0, 1.0, 0.3, 0.0};
    ARTDrawLetter(c, s, grey, 0, 0, 64, 16, 1.5, 14.5);
    ARTCanvasDropFringe(c, 0.1);
    return c;
}

ARTCANVAS ARTPictureEmblem() {
    ARTCANVAS c = ARTCanvasMake(32, 32);
    const ARTLETTERSTYLE fire = {
        ARTColourHex(0xFFF040), ARTColourHex(0xE01800), ARTColourHex(0x701000), 0.8, 0.0, 0.0, 0.0};
    const double height = 13.0;
    const double gap = 1.5;
    const char* rows[2] = {"VE", "LM"};
    for (int r = 0; r < 2; ++r) {
        const double width = ARTShapeWordWidth(rows[r], height, gap);
        const double top = 1.5 + r * 16.0;
        const ARTSHAPE s = ARTShapeWord(rows[r], (32.0 - width) / 2, top, height, gap);
        ARTDrawLetter(c, s, fire, 0, r * 16, 32, r * 16 + 16, top, top + height);
    }
    ARTCanvasDropFringe(c, 0.1);
    return c;
}
