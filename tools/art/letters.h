// ART: drawing of letter shapes onto canvases: outlined and bevelled sprite
// letters, tiles of the logos, and the small flat pictures.
#pragma once

#include "tools/art/canvas.h"
#include "tools/art/shapes.h"

// How a letter is painted: a vertical gradient from top to bottom colour,
// a bevel lit from the upper left, and an outline around it.
struct ARTLETTERSTYLE {
    ARTCOLOUR top;
    ARTCOLOUR bottom;
    ARTCOLOUR outline;
    double outlineWidth;  // pixels outside the shape; 0 for none
    double bevelWidth;    // pixels inside the shape; 0 for none
    double bevelStrength; // brightness change of the lit and unlit bevel sides
    double gloss;         // whitening of the upper part of the face, 0 for none
};

// Paints the shape (in pixel coordinates) over the canvas within the
// rectangle [x0, x1) x [y0, y1); the gradient runs from gy0 to gy1. Pixels of
// the canvas are covered by the letter according to its anti-aliased edge.
void ARTDrawLetter(ARTCANVAS& canvas, const ARTSHAPE& shape, const ARTLETTERSTYLE& style, int x0, int y0, int x1,
                   int y1, double gy0, double gy1);

// Darkens the canvas under the shape moved by (dx, dy), softened over a pixel:
// a drop shadow. Strength 1 would make the covered pixels black.
void ARTDrawShadow(ARTCANVAS& canvas, const ARTSHAPE& shape, double dx, double dy, double strength, int x0, int y0,
                   int x1, int y1);

// Sets pixels darker than the threshold (largest channel) to pure black:
// keeps faint edge fringes from becoming opaque smudges.
void ARTCanvasDropFringe(ARTCANVAS& canvas, double threshold);
