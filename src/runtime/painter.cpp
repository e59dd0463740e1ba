#include "runtime/painter.h"

namespace az {

Rgb rgbOf(VbColor c) {
    if (c & kSystemColor) {
        switch (c & 0xFF) {
        case 5: return {1, 1, 1};                                // window background
        case 7: return {0, 0, 0};                                // window frame
        case 8: return {0, 0, 0};                                // window text
        case 14: return {1, 1, 1};                               // highlighted text
        case 13: return {0, 0, 128 / 255.0};                     // highlight
        case 15: return {192 / 255.0, 192 / 255.0, 192 / 255.0};  // button face
        case 16: return {128 / 255.0, 128 / 255.0, 128 / 255.0};  // button shadow
        case 17: return {128 / 255.0, 128 / 255.0, 128 / 255.0};  // grey text
        case 18: return {0, 0, 0};                               // button text
        case 20: return {1, 1, 1};                               // button highlight
        default: return {0, 0, 0};
        }
    }
    return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

uint32_t argbOf(VbColor c) {
    Rgb k = rgbOf(c);
    auto b = [](double v) { return static_cast<uint32_t>(v * 255.0 + 0.5); };
    return 0xFF000000u | b(k.r) << 16 | b(k.g) << 8 | b(k.b);
}

void paintScene(const Runtime&, const Scene& s, cairo_surface_t* target) {
    cairo_t* cr = cairo_create(target);
    Rgb bg = rgbOf(s.windowDesc().backColor);
    cairo_set_source_rgb(cr, bg.r, bg.g, bg.b);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
}

cairo_surface_t* renderScene(const Runtime& rt, const Scene& s) {
    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, s.windowDesc().widthPx(),
                                                       s.windowDesc().heightPx());
    paintScene(rt, s, surf);
    return surf;
}

bool writeScenePng(const Runtime& rt, const Scene& s, const std::string& file, std::string* error) {
    cairo_surface_t* surf = renderScene(rt, s);
    cairo_status_t st = cairo_surface_write_to_png(surf, file.c_str());
    cairo_surface_destroy(surf);
    if (st != CAIRO_STATUS_SUCCESS) {
        if (error) *error = std::string("cannot write ") + file + ": " + cairo_status_to_string(st);
        return false;
    }
    return true;
}

}  // namespace az
