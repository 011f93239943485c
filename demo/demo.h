// The demo: start-up, the endless loop over the three parts, the shared frame
// ending, the key handler, the parts' frames, the plasma and the compiled-in
// assets. All state is process-wide and lives until the process ends. Calls
// run one way: the spine (show.cpp) calls the parts, keys and loading; they
// call only the reporter (report.cpp) and the modules below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "img/img.h"
#include "platform/fps.h"
#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"
#include "platform/sdlsnd.h"
#include "platform/stars.h"
#include "text/font.h"
#include "text/raster.h"
#include "text/scroll.h"

// ---- Settings and switches (show.cpp) ---------------------------------------
inline constexpr std::int32_t demoWidth = 256;   // screen size asked of the display
inline constexpr std::int32_t demoHeight = 256;

// What a key asked of the running part; bit 0 set means quit.
enum DEMOSTOP : std::uint8_t {
    stopNone = 0,      // keep running
    stopQuit = 1,      // leave the part, end the loop, fade out
    stopNextPart = 2,  // leave the part, start the next one
};
extern DEMOSTOP stopRequest;
extern std::uint8_t scrollerOn;       // part two draws its scroller while this is 1
extern std::uint8_t spritesOn;        // part two draws its sprites while this is not 0
extern std::uint8_t starsOn;          // part two draws and moves the stars while this is 1
extern std::uint8_t fpsShown;         // bit 0: the frame-rate readout is drawn

// ---- Objects made by DEMOInit (show.cpp) ------------------------------------
extern SDLDPY* display;
extern SDLKBD* keyboard;
extern SDLSND* sound;                 // the soundtrack; silent when no device opened
extern IMG* screen;                   // the 256 x 256 frame
extern IMG* sprites[4];               // 128 x 128 letters V, E, L, M
extern IMG* logoBottom;               // 128 x 32
extern IMG* logoTop;                  // 160 x 32
extern IMG* banner;                   // 64 x 16
extern IMG* emblem;                   // 32 x 32
extern IMG* picture;                  // 192 x 224, the scaled logotype
extern FONT* font;                    // 15 x 26 cells
extern IMG* canvas;                   // 256 x 26 scroller strip
extern SCROLL* scroll;
extern RASTER* raster;
extern STARS* stars;
extern IMG* plasmaImage;              // 256 x 26 plasma that colours the scroller
extern IMG* plasmaStrip;              // 256 x 3 colour strip (plasma.cpp)

// ---- The show's spine (show.cpp) --------------------------------------------
// SDL_main runs start-up, then the three parts in turn until a quit key, then
// the fade. Each part is a frame function and a frame count in one table; the
// spine runs the frames and ends each one. Nothing below calls back up here.
extern "C" int SDL_main(int argc, char* argv[]);       // DEMOInit, the part loop, the fade; returns 1
void DEMOInit();                                       // make every object, in order
void DEMOPartOne();                                    // raster bars, logos, wobbling logotype: 1001 frames
void DEMOPartTwo();                                    // stars, sprites, scroller, emblem: 2000 frames
void DEMOPartThree();                                  // full-screen plasma and banner: 1000 frames
void DEMOFrameEnd();                                   // pacing, readout, present, key
void DEMOReadout();                                    // measured rate as two hex digits, top left
void DEMOFadeOut();                                    // 32 darkening steps, each presented

// The whole of an image into the screen at (x, y), transparently; nothing
// without an image.
inline void DEMOBlitWhole(const IMG* image, std::int32_t x, std::int32_t y) {
    if (image) IMGBlit(image, screen, 0, 0, x, y, image->width, image->height);
}

// ---- Reporter and index wrap (report.cpp) -----------------------------------
std::int32_t DEMOWrap(std::int32_t value, std::int32_t n);  // value brought into 0 .. n - 1
void DEMOError();                                      // prints "VELM4009 Error.\n" while reporting is on
void DEMOSetReportErrors(bool on);                     // test hook: the program never turns reporting on

// ---- Keys (controls.cpp) and start-up loading (assets.cpp) ------------------
void DEMOKey(signed char key);                         // act on one key code
void DEMOLoadSprites();                                // decode the four sprites, scale each 2x
void DEMOLoadPictures();                               // logos, banner, emblem, picture and font

// ---- The parts' frames ------------------------------------------------------
// Each draws one frame into screen and advances that part's animation, without
// the frame ending; the spine's loop and the benchmarks call them. Each part's
// animation state lives in its file, starts at 0 and is never reset.
struct DEMOWAVE {
    std::int32_t speed;      // phase change per frame
    std::int32_t spacing;    // phase step per row (plasma) or per sprite (sprites)
    std::int32_t amplitude;
};

// Part one (partone.cpp).
void DEMOPartOneFrame();
void DEMORasterBars();                                 // the sixteen bars into raster's table
extern std::int32_t rasterPhase;      // sine index of bar 0
extern std::int32_t wobblePhase;      // wobbleTable index of picture row 0
inline constexpr std::int32_t wobbleLength = 2866;
extern const std::array<std::int32_t, wobbleLength> wobbleTable;  // picture row offsets, -32 to 32 (wobble.cpp)

// Part two (parttwo.cpp).
void DEMOPartTwoFrame();
void DEMOSprites();                                    // blend the four sprites at their wave positions
void DEMOSpritesStep();                                // advance the four sprite waves
extern DEMOWAVE spriteWaves[4];       // amplitudes set by start-up
extern std::int32_t spritePhases[4];  // waves A, B, C, D
extern std::int32_t scrollerBouncePhase;

// Part three (partthree.cpp).
void DEMOPartThreeFrame();
extern std::int32_t bannerBouncePhase;

// The plasma of parts two and three (plasma.cpp).
void DEMOPlasmaInit();                                 // make plasmaStrip, screen's width x 3
void DEMOPlasma(IMG* target);                          // draw the plasma over every row of the target
void DEMOPlasmaStep();                                 // advance the six plasma waves
void DEMOPlasmaStrip(IMG* strip, std::int32_t frequency, std::int32_t level, std::int32_t phase,
                     std::int32_t row, std::int32_t shift);  // OR one gradient into a strip row
extern const DEMOWAVE plasmaWaves[6];
extern std::int32_t plasmaPhases[6];  // red A, green A, blue A, red B, green B, blue B

// ---- Compiled-in assets -----------------------------------------------------
// Complete Netpbm files and the scroll text, embedded at build time. Each array
// ends in one extra 0 byte beyond its size, so the scroll text is a C string.
extern const unsigned char asset_sprite_v[], asset_sprite_e[], asset_sprite_l[], asset_sprite_m[];
extern const unsigned char asset_logo_bottom[], asset_logo_top[], asset_banner[], asset_emblem[];
extern const unsigned char asset_logotype[], asset_glyphs[], asset_scrolltext[];
extern const std::size_t asset_sprite_v_size, asset_sprite_e_size, asset_sprite_l_size,
    asset_sprite_m_size, asset_logo_bottom_size, asset_logo_top_size, asset_banner_size,
    asset_emblem_size, asset_logotype_size, asset_glyphs_size, asset_scrolltext_size;
