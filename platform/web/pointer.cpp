// In the browser the page looks after the pointer and double-clicks itself:
// the show's pointer does nothing.
#include "platform/pointer.h"

void SDLDPYPointerMoved(std::uint32_t /*now*/) {}
bool SDLDPYPointerDoubleClick(std::int32_t /*x*/, std::int32_t /*y*/, std::uint32_t /*now*/) { return false; }
void SDLDPYPointerRest(std::uint32_t /*now*/) {}
