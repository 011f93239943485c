// The page's own icon stands for the show's.
#include "platform/window.h"

void SDLDPYSetIcon() {}
