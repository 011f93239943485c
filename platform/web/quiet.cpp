// In the browser the libraries always speak: the console is the page's, and
// there are no descriptors to move.
#include "platform/quiet.h"

int SDLDPYQuietBegin() { return -1; }
void SDLDPYQuietEnd(int /*saved*/) {}
