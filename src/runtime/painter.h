// Draws a scene into a cairo image surface, the same way for the game's
// windows, the gallery and the scripts' screenshots.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "runtime/runtime.h"

namespace az {

struct Rgb {
    double r, g, b;
};

// &H00BBGGRR or a system colour of the standard scheme.
Rgb rgbOf(VbColor c);
uint32_t argbOf(VbColor c);  // 0xAARRGGBB, opaque

// Paints the client area of a loaded scene into the surface (which has the
// client size in logical pixels: device pixels over its device scale).
void paintScene(const Runtime& rt, const Scene& s, cairo_surface_t* target);

struct Size {
    int w = 0, h = 0;
};
// The device pixels of a logical size at a display scale (whole ones).
Size deviceSize(int w, int h, double scale);
// An image surface's size in logical pixels (its device scale undone).
Size logicalSize(cairo_surface_t* s);

// Paints a loaded scene into a new surface of its client size at the
// runtime's display scale (the surface's device scale).
cairo_surface_t* renderScene(const Runtime& rt, const Scene& s);

// Writes a loaded scene to a PNG file; false with a message on failure.
bool writeScenePng(const Runtime& rt, const Scene& s, const std::string& file, std::string* error);

}  // namespace az
