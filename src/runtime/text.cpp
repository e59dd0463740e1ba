#include "runtime/text.h"

#include <algorithm>

namespace az {

const char* familyFor(const std::string& face) {
    if (face == "Verdana") return "DejaVu Sans";
    return "Liberation Sans";  // MS Sans Serif, and anything else
}

static void setupContext(cairo_t* cr, PangoLayout* layout) {
    PangoContext* ctx = pango_layout_get_context(layout);
    pango_cairo_context_set_resolution(ctx, 96);
    cairo_font_options_t* opts = cairo_font_options_create();
    cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(ctx, opts);
    cairo_font_options_destroy(opts);
    (void)cr;
    pango_layout_context_changed(layout);
}

PangoLayout* makeLayout(cairo_t* cr, const Font& font, const std::string& text, int widthPx, int alignment) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    setupContext(cr, layout);
    PangoFontDescription* fd = pango_font_description_new();
    pango_font_description_set_family(fd, familyFor(font.face));
    pango_font_description_set_absolute_size(fd, kFontPx * PANGO_SCALE);
    pango_font_description_set_weight(fd, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, fd);
    pango_font_description_free(fd);
    if (widthPx > 0) {
        pango_layout_set_width(layout, widthPx * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    }
    pango_layout_set_alignment(layout, alignment == 1   ? PANGO_ALIGN_RIGHT
                                       : alignment == 2 ? PANGO_ALIGN_CENTER
                                                        : PANGO_ALIGN_LEFT);
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

TextExtent measureText(const Font& font, const std::string& text, int widthPx) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(s);
    PangoLayout* layout = makeLayout(cr, font, text, widthPx, 0);
    TextExtent e;
    e.lines = pango_layout_get_line_count(layout);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    e.heightPx = logical.height;
    for (int i = 0; i < e.lines; ++i) {
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
        PangoRectangle ll;
        // The advance width: an accent's ink may hang a pixel over it, as
        // it does in the window system's own labels.
        pango_layout_line_get_pixel_extents(line, nullptr, &ll);
        e.widestPx = std::max(e.widestPx, ll.width);
    }
    if (widthPx > 0 && e.widestPx > widthPx) e.wordTooWide = true;
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return e;
}

}  // namespace az
