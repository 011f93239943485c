// RAY: rendering of the logotype scene into a canvas of the show's picture size.
#pragma once

#include "tools/art/canvas.h"
#include "tools/raytrace/scene.h"

// Renders width x height pixels with samples x samples rays per pixel. The
// view is framed for the picture's on-screen shape, aspect (width : height) of
// viewAspect, since the show stretches the picture. Pixels whose rays mostly
// miss the scene are pure black; all others are kept away from black.
ARTCANVAS RAYRenderScene(const RAYSCENE& scene, int width, int height, int samples, double viewAspect);
