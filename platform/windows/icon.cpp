// Windows: the window's icon is the exe's own. SDL 1.2's window class loads
// the icon resource named SDL_app (the emblem, in velm4023.rc), which also
// stands for the program in Explorer and on the taskbar. The Linux way, an
// icon handed to SDL before its video starts, would crash classic SDL 1.2,
// which has no video device yet at that point.
#include "platform/window.h"

void SDLDPYSetIcon() {}
