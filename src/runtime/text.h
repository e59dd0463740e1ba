// Text as the game lays it out: pango with the game's own font mapping.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <string>

#include "runtime/description.h"

namespace az {

// The family that stands in for a design font ("MS Sans Serif" becomes
// Liberation Sans, "Verdana" DejaVu Sans).
const char* familyFor(const std::string& face);

// 8.25 pt at 96 dpi is 11 px.
constexpr int kFontPx = 11;

// A layout of text in the font, broken at spaces to the width (0: one line),
// each line aligned as a label's Alignment says (0 left, 1 right, 2 centre).
PangoLayout* makeLayout(cairo_t* cr, const Font& font, const std::string& text, int widthPx, int alignment);

struct TextExtent {
    int lines = 0;
    int heightPx = 0;      // of all lines
    int widestPx = 0;      // the advance width of the widest line
    bool wordTooWide = false;  // a word alone is wider than the width
};
TextExtent measureText(const Font& font, const std::string& text, int widthPx);

}  // namespace az
