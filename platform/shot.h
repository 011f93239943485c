// Screenshots: F12 writes the frame on screen as
// velm4023-YYYYMMDD-HHMMSS-NNN.png into the pictures folder (platform/folders.h);
// the path goes to standard output, a failure to one line on standard error.
// The desktops share sdlshot.cpp; a page writes no files (web/shot.cpp refuses).
#pragma once

#include "platform/sdldpy.h"

bool SDLDPYScreenshot(SDLDPY* display);
