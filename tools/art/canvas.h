// ART: colour pictures of the art generators: floating-point colours while
// drawing, written out as raw P6 files with authorship comments.
#pragma once

#include <string>
#include <vector>

struct ARTCOLOUR {
    double r;
    double g;
    double b;
};

struct ARTCANVAS {
    int width;
    int height;
    std::vector<ARTCOLOUR> pixels;  // row after row, top row first
};

ARTCANVAS ARTCanvasMake(int width, int height);  // all black
ARTCOLOUR& ARTCanvasAt(ARTCANVAS& canvas, int x, int y);

// Colour helpers.
ARTCOLOUR ARTColourMix(ARTCOLOUR a, ARTCOLOUR b, double t);  // a at t = 0, b at t = 1
ARTCOLOUR ARTColourScale(ARTCOLOUR c, double k);
ARTCOLOUR ARTColourHex(unsigned rgb);                        // from 0xRRGGBB
ARTCOLOUR ARTColourHue(double hue);                          // fully saturated, hue in turns (0 red, 1/3 green)
double ARTClamp01(double v);
// Channel value 0..1 as a byte, rounded to nearest.
unsigned char ARTColourByte(double v);

// The picture's bytes as a P6 file: magic, comments (each without "# "),
// size line, maxval 255, pixels.
std::string ARTCanvasToPPM(const ARTCANVAS& canvas, const std::vector<std::string>& comments);
// Raises every opaque pixel that would round to (0, 0, 0) so that it cannot be
// taken for the transparent key.
void ARTCanvasKeepOpaque(ARTCANVAS& canvas, const std::vector<bool>& opaque);
