// STARS: a cloud of points in 16.16 fixed-point 3D space flying out of the
// origin, projected in perspective onto an image as grey pixels.
#pragma once

#include <cstdint>

#include "img/img.h"

struct STAR {
    std::int32_t x, y, z;     // position, 16.16
    std::int32_t vx, vy, vz;  // velocity per move, 16.16
};

struct STARS {
    std::int32_t centreX;  // screen x of the projected origin
    std::int32_t centreY;  // screen y of the projected origin
    std::int32_t focal;    // viewer distance and projection scale
    std::int32_t sizeX;    // box width: x lives in -sizeX/2 .. sizeX/2
    std::int32_t sizeY;    // box height
    std::int32_t sizeZ;    // box depth
    std::int32_t count;    // number of stars
    STAR* stars;           // count stars, owned
};

STARS* STARSNew();                                     // defaults and 10 stars; null on failure
void STARSFree(STARS** stars);                         // release and clear the caller's pointer
void STARSSetCount(STARS* stars, std::int32_t n);      // new array of n stars, all restarted
void STARSResetAll(STARS* stars);                      // restart every star
void STARSRespawn(STARS* stars, std::int32_t i);       // star i back to the origin with a new velocity
void STARSMove(STARS* stars);                          // one step; stars leaving the box restart
void STARSDraw(const STARS* stars, IMG* image);        // project and plot every star
void STARSDrawSprites(const STARS* stars, IMG* destination, const IMG* sprite);  // sprite at every star, unprojected
std::int32_t STARSRandom();                            // next draw of the 15-bit generator, 0..32767
