// What the show makes of its compiled-in pictures at start-up, the frame-rate
// readout and the closing fade; and the program's identification record.
#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"VELM4009", "20261208", "Tordeval", "C++     ", "CODE    "};

constexpr std::int32_t fadeSteps = 32;  // 32 steps of 8 take any channel to 0
constexpr std::int32_t fadeLevel = 8;
}  // namespace

// Decodes the four letter sprites V, E, L, M and replaces each by a copy
// scaled to twice its size.
void DEMOLoadSprites() {
    const unsigned char* const data[4] = {asset_sprite_v, asset_sprite_e, asset_sprite_l, asset_sprite_m};
    const std::size_t sizes[4] = {asset_sprite_v_size, asset_sprite_e_size, asset_sprite_l_size,
                                  asset_sprite_m_size};
    for (std::int32_t i = 0; i < 4; ++i) sprites[i] = IMGFromPPM(data[i], sizes[i]);
    for (IMG*& sprite : sprites) {
        if (!sprite) continue;
        IMG* big = IMGNew();
        if (!big) continue;
        IMGResize(big, 2 * sprite->width, 2 * sprite->height);
        IMGScale(sprite, big);
        IMGFree(&sprite);
        sprite = big;
    }
}

// Decodes the logos, banner and emblem as they are, fits the logotype to the
// picture's size, and makes the font over the glyph sheet.
void DEMOLoadPictures() {
    logoBottom = IMGFromPPM(asset_logo_bottom, asset_logo_bottom_size);
    logoTop = IMGFromPPM(asset_logo_top, asset_logo_top_size);
    banner = IMGFromPPM(asset_banner, asset_banner_size);
    emblem = IMGFromPPM(asset_emblem, asset_emblem_size);

    picture = IMGNew();
    IMGResize(picture, demoWidth - 64, demoHeight - 32);
    IMG* logotype = IMGFromPPM(asset_logotype, asset_logotype_size);
    IMGScale(logotype, picture);
    IMGFree(&logotype);

    font = FONTNew();
    if (font) {
        font->cellWidth = 15;
        font->cellHeight = 26;
        font->sheet = IMGFromPPM(asset_glyphs, asset_glyphs_size);
    }
}

// The measured rate's low byte as two hex digits in the screen's top-left
// corner. The font is shared with the scroller, so pen and target are set here.
void DEMOReadout() {
    if (!font) return;
    font->target = screen;
    font->x = 0;
    font->y = 0;
    FONTPutHex8(font, static_cast<std::uint32_t>(measuredRate) & 0xFF);
}

// Darkens the last frame to black in 32 presented steps, without pacing and
// without reading keys.
void DEMOFadeOut() {
    for (std::int32_t i = 0; i < fadeSteps; ++i) {
        IMGDarken(screen, fadeLevel);
        SDLDPYShow(display, screen);
    }
}
