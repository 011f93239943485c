// What the show makes of its compiled-in pictures at start-up.
#include "demo/demo.h"

namespace {
[[maybe_unused]] const IDENT ident = {"DEMOLOAD", "20261208", "Tordeval", "C++     ", "CODE    "};
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
