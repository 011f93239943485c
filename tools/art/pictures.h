// ART: the show's flat pictures, each drawn into a canvas of its final size.
#pragma once

#include "tools/art/canvas.h"

ARTCANVAS ARTPictureSprite(char letter);  // 64 x 64, one of V E L M
ARTCANVAS ARTPictureLogoBottom();         // 128 x 32, tiles V E L M
ARTCANVAS ARTPictureLogoTop();            // 160 x 32, tiles V E L M and a star
ARTCANVAS ARTPictureBanner();             // 64 x 16, grey VELM
ARTCANVAS ARTPictureEmblem();             // 32 x 32, VE over LM in fire colours
