// IMG: the one picture type and everything done to pictures.
// Pixels are 0x00RRGGBB words; the word 0 (black) is the transparency key of
// every transparent operation. Operations that combine two images take the
// source first and the destination second. Misuse is reported through
// IMGError and the operation then does nothing and returns a neutral result.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// ---- Shared sine table ------------------------------------------------------
// One full turn in 1024 steps, a value v standing for v / 32768. Entry
// (i + 256) & sineMask is the cosine of step i.
inline constexpr std::int32_t sineLength = 1024;
inline constexpr std::int32_t sineMask = 1023;
extern const std::array<std::int16_t, sineLength> sineTable;

// The table entry of any step, taken modulo 1024 (negative steps count back),
// widened for products that need 64 bits.
inline std::int64_t sineEntry(std::int64_t step) { return sineTable[static_cast<std::size_t>(step & sineMask)]; }

// sin(x) for 0 <= x <= pi, by its Taylor series around the nearer end. It runs
// only in the compiler (consteval), for tables built at compile time: no
// floating point runs in the program.
inline constexpr long double sinePi = 3.14159265358979323846264338327950288L;
consteval long double sineAt(long double x) {
    if (x > sinePi / 2) x = sinePi - x;
    long double term = x;
    long double sum = x;
    for (int n = 1; n < 30; ++n) {
        term = -term * x * x / static_cast<long double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// ---- Identification records -------------------------------------------------
// Every source module carries one; no code reads them. All texts are
// 8 characters, space-padded.
struct IDENT {
    const char* name;
    const char* date;     // YYYYMMDD
    const char* author;
    const char* language;
    const char* kind;
};
// The shorter form carried by the older modules (keyboard, raster, starfield).
struct IDENTSHORT {
    const char* name;
    const char* date;
    const char* author;
};

// ---- The record -------------------------------------------------------------
struct IMG {
    std::int32_t width;
    std::int32_t height;
    std::uint32_t* pixels;  // width * height words, row after row, no gaps
};

// Largest pixel count the decoders, IMGFromText and IMGRotate accept, and the
// largest point count of IMGLinePoints: far above any picture of the show.
inline constexpr std::int64_t IMG_MAX_PIXELS = std::int64_t{1} << 26;

// ---- Record, pixel access, comparison and copy ------------------------------
IMG* IMGNew();                                          // new 16 x 16 image, all 0; null on failure
void IMGFree(IMG** image);                              // release and clear the caller's pointer
void IMGResize(IMG* image, std::int32_t width, std::int32_t height);  // new size, contents cleared
void IMGClear(IMG* image);                              // every pixel 0
void IMGPutPixel(IMG* image, std::int32_t x, std::int32_t y, std::uint32_t word);  // dropped off the image
std::uint32_t IMGGetPixel(const IMG* image, std::int32_t x, std::int32_t y);       // 0 off the image
bool IMGEqual(const IMG* a, const IMG* b);              // same size and same words
IMG* IMGCopy(const IMG* source);                        // new image equal to the source
void IMGCopyPixels(const IMG* source, IMG* destination);  // words of one image into another of the same shape
void IMGError();                                        // prints "IMG error\n" while reporting is on
void IMGSetReportErrors(bool on);                       // test hook: the program never turns reporting on

// ---- Netpbm reading and writing, text form ----------------------------------
IMG* IMGFromPPM(const unsigned char* data, std::size_t size);  // decode P1-P6 held in memory
IMG* IMGLoad(const char* path);                          // decode a P1-P6 file
bool IMGSave(const IMG* image, const char* path);        // write a raw P6 file
char* IMGToText(const IMG* image);                       // "IMG{" plain P3 "}" text; caller frees
IMG* IMGFromText(const char* text);                      // read the text form back
std::size_t IMGFindText(const char* text, const char* marker);  // index just past the marker, or 0

// ---- PNG writing (where libpng is: not in the browser build) ----------------
// 8-bit RGB files, replaced whole as IMGSave does; false on any failure, with errno
// saying why, no new file left behind and an old one untouched.
bool IMGSavePNG(const IMG* image, const char* path);   // the image's words, top byte dropped
bool IMGSavePNGBytes(const unsigned char* rgb, std::int32_t width, std::int32_t height,
                     const char* path);                // packed R, G, B bytes, rows top first, no gaps

// ---- Rectangle copies, blending and scaling ---------------------------------
void IMGBlit(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
             std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h);  // transparent copy
void IMGBlitOpaque(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
                   std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h);  // opaque copy
void IMGBlitAdd(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
                std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h);  // wrapping 32-bit add
void IMGBlend(const IMG* source, IMG* destination, std::int32_t x, std::int32_t y);  // half-and-half, transparent
void IMGBlitSpaced(const IMG* source, IMG* destination, std::int32_t sx, std::int32_t sy,
                   std::int32_t dx, std::int32_t dy, std::int32_t w, std::int32_t h,
                   std::int32_t fx, std::int32_t fy);   // transparent copy onto a grid of steps fx, fy
void IMGScale(const IMG* source, IMG* destination);    // nearest-neighbour fit to the destination's size
std::int32_t* IMGRunTable(std::int32_t a, std::int32_t b);  // run lengths of the larger size over the smaller; caller frees

// ---- Row and column transfers, masks and darkening --------------------------
void IMGWrapRow(const IMG* source, IMG* destination, std::int32_t sourceRow,
                std::int32_t destinationRow, std::int32_t x);  // transparent row copy, wrapping at the right edge
void IMGWrapRowOr(const IMG* source, IMG* destination, std::int32_t sourceRow,
                  std::int32_t destinationRow, std::int32_t x);  // the same placement, ORed in
void IMGWrapColumn(const IMG* source, IMG* destination, std::int32_t sourceColumn,
                   std::int32_t destinationColumn, std::int32_t y);  // transparent column copy, wrapping at the bottom
void IMGCopyRow(const IMG* source, IMG* destination, std::int32_t sourceRow,
                std::int32_t destinationRow);          // opaque copy of a row's start
void IMGAnd(const IMG* mask, IMG* destination);        // destination word AND mask word, every pixel
void IMGDarken(IMG* image, std::int32_t level);        // every channel lowered by the level's low byte

// ---- Drawing primitives and rotation ----------------------------------------
void IMGFillRect(IMG* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::uint32_t colour);                // filled rectangle, wholly inside or not at all
void IMGDrawRect(IMG* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::uint32_t colour);                // rectangle outline, same guard
void IMGDrawCircle(IMG* image, std::int32_t cx, std::int32_t cy, std::int32_t r,
                   std::uint32_t colour);              // circle outline from the sine table
std::int32_t* IMGLinePoints(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                            std::int32_t y1);          // [count, x, y, x, y, ...]; caller frees
IMG* IMGRotate(const IMG* source, std::int32_t angle);  // rotated copy, 1024 steps per turn
