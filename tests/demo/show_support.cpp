// The presentation counter sits between the display module and SDL: the test
// program is linked with -Wl,--wrap for SDL_UpdateRect and SDL_Flip, so the
// display's calls come here, are counted and passed on to SDL's own function.
#include "show_support.h"

#include <cstdlib>

namespace showtest {
namespace {

std::int64_t presents = 0;
const ScriptKey* script = nullptr;
std::size_t scriptCount = 0;
std::function<void(std::int64_t)> observer;
bool sdlStarted = false;
bool showStarted = false;

// After each presentation: count it, let the test look, queue scripted keys.
void Presented() {
    ++presents;
    if (observer) observer(presents);
    for (std::size_t i = 0; i < scriptCount; ++i)
        if (script[i].frame == presents) PushKey(script[i].sym);
}

}  // namespace

void StartSDL() {
    if (sdlStarted) return;
    sdlStarted = true;
    SDL_Init(SDL_INIT_NOPARACHUTE);
    std::atexit(SDL_Quit);  // as the process entry does
    SDL_InitSubSystem(SDL_INIT_VIDEO);
}

bool StartShow() {
    StartSDL();
    if (showStarted) return false;
    showStarted = true;
    DEMOInit();
    return true;
}

void PushKey(int sym) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = static_cast<SDLKey>(sym);
    SDL_PushEvent(&e);
}

std::int64_t Presents() { return presents; }

void SetScript(const ScriptKey* keys, std::size_t count) {
    script = keys;
    scriptCount = count;
}

void SetObserver(std::function<void(std::int64_t)> f) { observer = std::move(f); }

std::uint64_t Hash(const IMG* image) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint32_t w) {
        for (int k = 0; k < 4; ++k) {
            h ^= (w >> (8 * k)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    if (!image) return 0;
    mix(static_cast<std::uint32_t>(image->width));
    mix(static_cast<std::uint32_t>(image->height));
    const std::int64_t n = std::int64_t{image->width} * image->height;
    for (std::int64_t i = 0; i < n; ++i) mix(image->pixels[i]);
    return h;
}

}  // namespace showtest

// The test program is linked with -Wl,--wrap for the C allocator: every call
// the show's own code makes comes here first and is counted.
namespace {
std::int64_t ownAllocations = 0;
}  // namespace

std::int64_t showtest::OwnAllocations() { return ownAllocations; }

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* pointer, std::size_t size);

void* __wrap_malloc(std::size_t size) {
    ++ownAllocations;
    return __real_malloc(size);
}

void* __wrap_calloc(std::size_t count, std::size_t size) {
    ++ownAllocations;
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* pointer, std::size_t size) {
    ++ownAllocations;
    return __real_realloc(pointer, size);
}
}

// The show never closes its window, and SDL keeps some memory of every video
// mode until the process ends; the leak checker is told to leave SDL alone.
extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2\nleak:libSDL-1.2\n"; }

extern "C" {
void __real_SDL_UpdateRect(SDL_Surface* surface, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
int __real_SDL_Flip(SDL_Surface* surface);

void __wrap_SDL_UpdateRect(SDL_Surface* surface, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    __real_SDL_UpdateRect(surface, x, y, w, h);
    showtest::Presented();
}

int __wrap_SDL_Flip(SDL_Surface* surface) {
    const int result = __real_SDL_Flip(surface);
    showtest::Presented();
    return result;
}
}
