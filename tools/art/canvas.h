// Colour pictures of the art generators: floating-point colours while
// drawing, written out as raw P6 files with authorship comments.
#pragma once

#include <string>
#include <vector>

namespace art {

struct Colour {
    double r;
    double g;
    double b;
};

struct Canvas {
    int width;
    int height;
    std::vector<Colour> pixels;  // row after row, top row first
};

Canvas CanvasMake(int width, int height);              // all black
Colour& CanvasAt(Canvas& canvas, int x, int y);

// Colour helpers.
Colour ColourMix(Colour a, Colour b, double t);         // a at t = 0, b at t = 1
Colour ColourScale(Colour c, double k);
Colour ColourHex(unsigned rgb);                         // from 0xRRGGBB
Colour ColourHue(double hue);                           // fully saturated, hue in turns (0 red, 1/3 green)
double Clamp01(double v);
// Channel value 0..1 as a byte, rounded to nearest.
unsigned char ColourByte(double v);

// The picture's bytes as a P6 file: magic, comments (each without "# "),
// size line, maxval 255, pixels.
std::string CanvasToPPM(const Canvas& canvas, const std::vector<std::string>& comments);
// Raises every opaque pixel that would round to (0, 0, 0) so that it cannot be
// taken for the transparent key.
void CanvasKeepOpaque(Canvas& canvas, const std::vector<bool>& opaque);
// Writes text to dir/name; false with a message on standard error on failure.
bool WriteFile(const std::string& dir, const std::string& name, const std::string& bytes);

}  // namespace art
