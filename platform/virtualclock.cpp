// A virtual clock for tests and the capture tool. Linked with
// --wrap=SDL_GetTicks,--wrap=SDL_Delay, it makes the program's own calls read a
// millisecond count that only SDL_Delay (and FPSVirtualAdvance) moves on, so a
// paced loop runs at full speed and deterministically.
#include <SDL.h>

#include <cstdint>

#include "img/img.h"
#include "platform/fps.h"

namespace {
[[maybe_unused]] const IDENT ident = {"VCLOCK  ", "20261208", "Tordeval", "C++     ", "CODE    "};

std::uint32_t virtualTicks = 0;  // milliseconds, wrapping like SDL's own count
}  // namespace

// Replaces SDL_GetTicks: the virtual millisecond count.
extern "C" Uint32 __wrap_SDL_GetTicks(void) { return virtualTicks; }

// Replaces SDL_Delay: the clock moves on instead of the thread sleeping.
extern "C" void __wrap_SDL_Delay(Uint32 milliseconds) { virtualTicks += milliseconds; }

// The virtual millisecond count.
std::uint32_t FPSVirtualTicks() { return virtualTicks; }

// Move the virtual clock on, as drawing time would.
void FPSVirtualAdvance(std::uint32_t milliseconds) { virtualTicks += milliseconds; }
