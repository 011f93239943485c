// Library chatter held back while SDL looks for a display or a sound device:
// the drivers and the libraries under them print their own complaints before
// and besides the show's one line that says what went wrong. Used by the
// display and the sound module. One implementation per host:
// platform/linux/quiet.cpp moves standard error aside; in the browser the
// console is the page's and nothing is moved (web/quiet.cpp).
#pragma once

// Quiet until SDLDPYQuietEnd, unless VELM4023_LIBRARY_MESSAGES=1; the result
// goes to SDLDPYQuietEnd.
int SDLDPYQuietBegin();
void SDLDPYQuietEnd(int saved);
