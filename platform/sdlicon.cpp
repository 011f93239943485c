// The window's icon: the show's emblem, compiled in as PNG bytes and given to
// SDL before the first video mode, as SDL 1.2 wants it.
#include <SDL.h>
#include <png.h>

#include <cstdlib>

#include "img/img.h"
#include "platform/window.h"

extern const unsigned char icon_velm4023[];
extern const std::size_t icon_velm4023_size;

namespace {
[[maybe_unused]] const IDENT ident = {"SDLICON ", "20261209", "Tordeval", "C++     ", "CODE    "};
}  // namespace

// Decodes the emblem into 0xAARRGGBB words and hands it to SDL, which keeps
// its own copy until its video stops; before every start of a video mode. A
// failure leaves the window manager's default icon, nothing else.
void SDLDPYSetIcon() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, icon_velm4023, icon_velm4023_size) == 0) return;
    image.format = PNG_FORMAT_BGRA;  // bytes B, G, R, A: 0xAARRGGBB words on this little-endian layout
    auto* words = static_cast<std::uint32_t*>(std::calloc(PNG_IMAGE_SIZE(image), 1));
    if (words != nullptr && png_image_finish_read(&image, nullptr, words, 0, nullptr) != 0) {
        SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(words, static_cast<int>(image.width), static_cast<int>(image.height),
                                                     32, static_cast<int>(image.width * 4), 0x00FF0000u, 0x0000FF00u,
                                                     0x000000FFu, 0xFF000000u);
        if (icon != nullptr) {
            SDL_WM_SetIcon(icon, nullptr);
            SDL_FreeSurface(icon);
        }
    }
    png_image_free(&image);
    std::free(words);
}
