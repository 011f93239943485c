// The show's flat pictures, each drawn into a canvas of its final size.
#pragma once

#include "tools/art/canvas.h"

namespace art {

Canvas PictureSprite(char letter);   // 64 x 64, one of V E L M
Canvas PictureLogoBottom();          // 128 x 32, tiles V E L M
Canvas PictureLogoTop();             // 160 x 32, tiles V E L M and a star
Canvas PictureBanner();              // 64 x 16, grey VELM
Canvas PictureEmblem();              // 32 x 32, VE over LM in fire colours

}  // namespace art
