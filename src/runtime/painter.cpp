#include "runtime/painter.h"

#include <algorithm>
#include <cmath>

#include "runtime/text.h"

namespace az {

Rgb rgbOf(VbColor c) {
    auto v = [](int x) { return x / 255.0; };
    if (c & kSystemColor) {
        // The standard colour scheme.
        switch (c & 0xFF) {
        case 5: return {1, 1, 1};                      // window background
        case 7: return {0, 0, 0};                      // window frame
        case 8: return {0, 0, 0};                      // window text
        case 13: return {0, 0, v(128)};                // highlight
        case 14: return {1, 1, 1};                     // highlighted text
        case 15: return {v(192), v(192), v(192)};      // button face
        case 16: return {v(128), v(128), v(128)};      // button shadow
        case 17: return {v(128), v(128), v(128)};      // grey text
        case 18: return {0, 0, 0};                     // button text
        case 20: return {1, 1, 1};                     // button highlight
        case 21: return {0, 0, 0};                     // dark shadow
        case 22: return {v(223), v(223), v(223)};      // light
        case 23: return {0, 0, 0};                     // tooltip text
        case 24: return {1, 1, v(225)};                // tooltip background
        default: return {0, 0, 0};
        }
    }
    return {v(int(c & 0xFF)), v(int((c >> 8) & 0xFF)), v(int((c >> 16) & 0xFF))};
}

uint32_t argbOf(VbColor c) {
    Rgb k = rgbOf(c);
    auto b = [](double v) { return static_cast<uint32_t>(v * 255.0 + 0.5); };
    return 0xFF000000u | b(k.r) << 16 | b(k.g) << 8 | b(k.b);
}

namespace {

void setColor(cairo_t* cr, VbColor c) {
    Rgb k = rgbOf(c);
    cairo_set_source_rgb(cr, k.r, k.g, k.b);
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, VbColor c) {
    setColor(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

// A one-pixel line along pixel centres, from (x0,y0) to (x1,y1) inclusive.
void hline(cairo_t* cr, int x0, int x1, int y, VbColor c) { fillRect(cr, x0, y, x1 - x0 + 1, 1, c); }
void vline(cairo_t* cr, int x, int y0, int y1, VbColor c) { fillRect(cr, x, y0, 1, y1 - y0 + 1, c); }

// A two-pixel three-dimensional border: each ring has its top-left and its
// bottom-right colour.
void bevel(cairo_t* cr, const Rect& r, VbColor outerTL, VbColor outerBR, VbColor innerTL, VbColor innerBR) {
    const int x1 = r.x + r.w - 1, y1 = r.y + r.h - 1;
    hline(cr, r.x, x1, r.y, outerTL);
    vline(cr, r.x, r.y, y1, outerTL);
    hline(cr, r.x, x1, y1, outerBR);
    vline(cr, x1, r.y, y1, outerBR);
    hline(cr, r.x + 1, x1 - 1, r.y + 1, innerTL);
    vline(cr, r.x + 1, r.y + 1, y1 - 1, innerTL);
    hline(cr, r.x + 1, x1 - 1, y1 - 1, innerBR);
    vline(cr, x1 - 1, r.y + 1, y1 - 1, innerBR);
}

// The sunken border of list boxes and check boxes.
void sunken(cairo_t* cr, const Rect& r) { bevel(cr, r, sysColor(16), sysColor(20), sysColor(21), sysColor(22)); }

// A raised button face (the scroll bar's arrows and thumb).
void raisedBox(cairo_t* cr, const Rect& r) {
    fillRect(cr, r.x, r.y, r.w, r.h, sysColor(15));
    bevel(cr, r, sysColor(22), sysColor(21), sysColor(20), sysColor(16));
}

void drawText(cairo_t* cr, const Font& font, const std::string& text, int x, int y, int width, int alignment,
              VbColor color, bool enabled) {
    if (text.empty()) return;
    PangoLayout* layout = makeLayout(cr, font, text, width, alignment);
    if (!enabled) {
        // The window system's disabled look: etched grey.
        setColor(cr, sysColor(20));
        cairo_move_to(cr, x + 1, y + 1);
        pango_cairo_show_layout(cr, layout);
        color = sysColor(16);
    }
    setColor(cr, color);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

void drawPicture(cairo_t* cr, PictureSource* pics, int asset, const Rect& r, bool stretch) {
    if (!pics || !asset) return;
    cairo_surface_t* pic = pics->picture(asset, r.w, r.h);
    if (!pic) return;
    const Size ls = logicalSize(pic);
    const int pw = ls.w, ph = ls.h;
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    cairo_translate(cr, r.x, r.y);
    if (stretch && (pw != r.w || ph != r.h) && pw > 0 && ph > 0) {
        cairo_scale(cr, double(r.w) / pw, double(r.h) / ph);
        cairo_set_source_surface(cr, pic, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    } else {
        cairo_set_source_surface(cr, pic, 0, 0);
    }
    cairo_paint(cr);  // alpha kept: transparent pixels show what lies beneath
    cairo_restore(cr);
}

void drawLabel(cairo_t* cr, const Control& c, const Rect& r) {
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    if (c.p.effectiveBackStyle() == 1) fillRect(cr, r.x, r.y, r.w, r.h, c.p.effectiveBackColor());
    drawText(cr, c.p.font, c.p.caption, r.x, r.y, r.w, c.p.alignment, c.p.effectiveForeColor(), c.p.enabled);
    cairo_restore(cr);
}

void drawShape(cairo_t* cr, const Control& c, const Rect& r) {
    const double bw = std::max(1, c.p.borderWidth);
    // The border lies along the inside of the rectangle.
    const double x = r.x + bw / 2, y = r.y + bw / 2, w = r.w - bw, h = r.h - bw;
    cairo_new_path(cr);
    switch (c.p.shape) {
    case 2:  // oval
    case 3:  // circle
        cairo_save(cr);
        cairo_translate(cr, x + w / 2, y + h / 2);
        cairo_scale(cr, std::max(w, 1.0) / 2, std::max(h, 1.0) / 2);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        break;
    case 4:
    case 5: {  // rounded rectangle: a sixth of the shorter side
        const double rad = std::min(r.w, r.h) / 6.0;
        cairo_arc(cr, x + w - rad, y + rad, rad, -M_PI / 2, 0);
        cairo_arc(cr, x + w - rad, y + h - rad, rad, 0, M_PI / 2);
        cairo_arc(cr, x + rad, y + h - rad, rad, M_PI / 2, M_PI);
        cairo_arc(cr, x + rad, y + rad, rad, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
        break;
    }
    default:
        cairo_rectangle(cr, x, y, w, h);
    }
    if (c.p.effectiveBackStyle() == 1) {
        setColor(cr, c.p.effectiveBackColor());
        cairo_fill_preserve(cr);
    }
    setColor(cr, c.p.borderColor);
    cairo_set_line_width(cr, bw);
    cairo_stroke(cr);
}

void drawLine(cairo_t* cr, const Control& c, int ox, int oy) {
    const double bw = std::max(1, c.p.borderWidth);
    const double off = std::fmod(bw, 2.0) == 1.0 ? 0.5 : 0.0;
    setColor(cr, c.p.borderColor);
    cairo_set_line_width(cr, bw);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    cairo_move_to(cr, ox + twipsToPx(c.p.x1) + off, oy + twipsToPx(c.p.y1) + off);
    cairo_line_to(cr, ox + twipsToPx(c.p.x2) + off, oy + twipsToPx(c.p.y2) + off);
    cairo_stroke(cr);
}

void drawCheckBox(cairo_t* cr, const Control& c, const Rect& r) {
    fillRect(cr, r.x, r.y, r.w, r.h, c.p.effectiveBackColor());
    Rect box{r.x, r.y + (r.h - 13) / 2, 13, 13};
    fillRect(cr, box.x, box.y, 13, 13, sysColor(5));
    sunken(cr, box);
    if (c.p.value == 1) {
        setColor(cr, sysColor(8));
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, box.x + 3, box.y + 6);
        cairo_line_to(cr, box.x + 5.5, box.y + 8.5);
        cairo_line_to(cr, box.x + 10, box.y + 4);
        cairo_stroke(cr);
    }
    drawText(cr, c.p.font, c.p.caption, r.x + 17, r.y + (r.h - 13) / 2, 0, 0, c.p.effectiveForeColor(), c.p.enabled);
}

void drawOptionButton(cairo_t* cr, const Control& c, const Rect& r) {
    fillRect(cr, r.x, r.y, r.w, r.h, c.p.effectiveBackColor());
    const double cx = r.x + 6, cy = r.y + r.h / 2.0;
    auto arc = [&](double rad, double a0, double a1, VbColor col) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, rad, a0, a1);
        setColor(cr, col);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    };
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 5.5, 0, 2 * M_PI);
    setColor(cr, sysColor(5));
    cairo_fill(cr);
    arc(5.5, 3 * M_PI / 4, 7 * M_PI / 4, sysColor(16));
    arc(5.5, -M_PI / 4, 3 * M_PI / 4, sysColor(20));
    arc(4.5, 3 * M_PI / 4, 7 * M_PI / 4, sysColor(21));
    arc(4.5, -M_PI / 4, 3 * M_PI / 4, sysColor(22));
    if (c.p.value != 0) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, 2, 0, 2 * M_PI);
        setColor(cr, sysColor(8));
        cairo_fill(cr);
    }
    drawText(cr, c.p.font, c.p.caption, r.x + 16, r.y + (r.h - 13) / 2, 0, 0, c.p.effectiveForeColor(), c.p.enabled);
}

// The dotted focus rectangle of standard controls, inverting what is under
// it so that it shows on any colour.
void focusRect(cairo_t* cr, const Rect& r) {
    if (r.w <= 0 || r.h <= 0) return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (int x = r.x; x < r.x + r.w; x += 2) {
        cairo_rectangle(cr, x, r.y, 1, 1);
        if (r.h > 1) cairo_rectangle(cr, x + (r.h - 1) % 2, r.y + r.h - 1, 1, 1);
    }
    for (int y = r.y + 2; y < r.y + r.h - 1; y += 2) {
        cairo_rectangle(cr, r.x, y, 1, 1);
        if (r.w > 1) cairo_rectangle(cr, r.x + r.w - 1, y + (r.w - 1) % 2, 1, 1);
    }
    cairo_fill(cr);
    cairo_restore(cr);
}

// Around the caption of a check box or option button.
void captionFocus(cairo_t* cr, const Control& c, const Rect& r, int textX) {
    const TextExtent e = measureText(c.p.font, c.p.caption, 0);
    const int y = r.y + (r.h - 13) / 2 - 1;
    focusRect(cr, {textX - 2, y, std::min(e.widestPx + 4, r.x + r.w - textX + 2), std::min(15, r.h - (y - r.y))});
}

void drawArrow(cairo_t* cr, const Rect& b, bool up) {
    if (b.h < 6) return;
    const double ax = b.x + b.w / 2.0, ay = b.y + b.h / 2.0;
    setColor(cr, sysColor(18));
    cairo_move_to(cr, ax - 4, up ? ay + 2 : ay - 2);
    cairo_line_to(cr, ax + 4, up ? ay + 2 : ay - 2);
    cairo_line_to(cr, ax, up ? ay - 2 : ay + 2);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void drawListBox(cairo_t* cr, const Control& c, const Rect& r, bool focused) {
    fillRect(cr, r.x, r.y, r.w, r.h, c.p.effectiveBackColor());
    sunken(cr, r);
    const ListLayout l = listLayout(c, r);
    cairo_save(cr);
    cairo_rectangle(cr, l.rows.x, l.rows.y, l.rows.w, l.rows.h);
    cairo_clip(cr);
    for (int i = c.topIndex; i < static_cast<int>(c.items.size()) && i < c.topIndex + l.fullRows + 1; ++i) {
        const int y = l.rows.y + (i - c.topIndex) * kListItemHeight;
        VbColor fg = c.p.effectiveForeColor();
        if (i == c.listIndex) {
            fillRect(cr, l.rows.x, y, l.rows.w, kListItemHeight, sysColor(13));
            fg = sysColor(14);
        }
        drawText(cr, c.p.font, c.items[size_t(i)], l.rows.x + 2, y, 0, 0, fg, true);
        if (focused && i == c.caretIndex()) focusRect(cr, {l.rows.x, y, l.rows.w, kListItemHeight});
    }
    cairo_restore(cr);
    if (l.scrollBar) {
        // A standard vertical scroll bar: two arrow buttons, the track, the thumb.
        fillRect(cr, l.track.x, l.up.y, l.track.w, l.down.y + l.down.h - l.up.y, sysColor(22));
        raisedBox(cr, l.up);
        raisedBox(cr, l.down);
        drawArrow(cr, l.up, true);
        drawArrow(cr, l.down, false);
        if (l.thumb.h > 0) raisedBox(cr, l.thumb);
    }
}

void drawPlain(cairo_t* cr, const Runtime& rt, const Scene& s, const Control& c) {
    const Rect r = s.clientRect(c);
    switch (c.kind()) {
    case ControlKind::Label: drawLabel(cr, c, r); break;
    case ControlKind::Image: drawPicture(cr, rt.pictures(), c.p.picture, r, c.p.stretch); break;
    case ControlKind::Shape: drawShape(cr, c, r); break;
    case ControlKind::Line: {
        const Control* f = s.frameOf(c);
        Rect fr = f ? f->rectInContainer() : Rect{};
        drawLine(cr, c, fr.x, fr.y);
        break;
    }
    default: break;
    }
}

bool isPlain(ControlKind k) {
    return k == ControlKind::Label || k == ControlKind::Image || k == ControlKind::Shape || k == ControlKind::Line;
}

void drawFrame(cairo_t* cr, const Runtime& rt, const Scene& s, const Control& f) {
    const Rect r = s.clientRect(f);
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    fillRect(cr, r.x, r.y, r.w, r.h, f.p.effectiveBackColor());
    // The etched border runs through the middle of the caption's line.
    const int ty = r.y + 6;
    const int x1 = r.x + r.w - 1, y1 = r.y + r.h - 1;
    hline(cr, r.x, x1 - 1, ty, sysColor(16));
    vline(cr, r.x, ty, y1 - 1, sysColor(16));
    hline(cr, r.x, x1 - 1, y1 - 1, sysColor(16));
    vline(cr, x1 - 1, ty, y1 - 1, sysColor(16));
    hline(cr, r.x + 1, x1 - 2, ty + 1, sysColor(20));
    vline(cr, r.x + 1, ty + 1, y1 - 2, sysColor(20));
    hline(cr, r.x, x1, y1, sysColor(20));
    vline(cr, x1, ty, y1, sysColor(20));
    if (!f.p.caption.empty()) {
        const TextExtent e = measureText(f.p.font, f.p.caption, 0);
        fillRect(cr, r.x + 6, r.y, e.widestPx + 4, 13, f.p.effectiveBackColor());
        drawText(cr, f.p.font, f.p.caption, r.x + 8, r.y, 0, 0, f.p.effectiveForeColor(), f.p.enabled);
    }
    // Its own controls, the first listed on top.
    for (auto it = s.controls.rbegin(); it != s.controls.rend(); ++it) {
        const Control& c = **it;
        if (c.frameOrder == static_cast<int>(f.order) && c.p.visible && isPlain(c.kind())) drawPlain(cr, rt, s, c);
    }
    cairo_restore(cr);
}

void drawWindowed(cairo_t* cr, const Runtime& rt, const Scene& s, const Control& c) {
    const Rect r = s.clientRect(c);
    switch (c.kind()) {
    case ControlKind::Frame: drawFrame(cr, rt, s, c); break;
    case ControlKind::CheckBox:
        drawCheckBox(cr, c, r);
        if (s.focused() == &c) captionFocus(cr, c, r, r.x + 17);
        break;
    case ControlKind::OptionButton:
        drawOptionButton(cr, c, r);
        if (s.focused() == &c) captionFocus(cr, c, r, r.x + 16);
        break;
    case ControlKind::ListBox: drawListBox(cr, c, r, s.focused() == &c); break;
    case ControlKind::Movie:
    case ControlKind::AniGif:
        cairo_save(cr);
        cairo_rectangle(cr, r.x, r.y, r.w, r.h);
        cairo_clip(cr);
        if (c.component) {
            c.component->paint(cr, r);
        } else {
            fillRect(cr, r.x, r.y, r.w, r.h, c.kind() == ControlKind::AniGif ? c.p.effectiveBackColor() : 0);
        }
        cairo_restore(cr);
        break;
    default: break;
    }
}

}  // namespace

void paintScene(const Runtime& rt, const Scene& s, cairo_surface_t* target) {
    cairo_t* cr = cairo_create(target);
    const WindowDesc& w = s.windowDesc();
    // 1. The background colour, 2. the background picture at natural size.
    fillRect(cr, 0, 0, w.widthPx(), w.heightPx(), w.backColor);
    if (w.picture && rt.pictures())
        if (cairo_surface_t* pic = rt.pictures()->picture(w.picture)) {
            cairo_set_source_surface(cr, pic, 0, 0);
            cairo_paint(cr);
        }
    // 3. Labels, images, shapes and lines, the first listed on top.
    for (auto it = s.controls.rbegin(); it != s.controls.rend(); ++it) {
        const Control& c = **it;
        if (c.frameOrder < 0 && c.p.visible && isPlain(c.kind())) drawPlain(cr, rt, s, c);
    }
    // 4. Windowed controls above them all, again the first listed on top.
    for (auto it = s.controls.rbegin(); it != s.controls.rend(); ++it) {
        const Control& c = **it;
        if (c.frameOrder < 0 && c.p.visible && isWindowed(c.kind()) && c.kind() != ControlKind::Midi)
            drawWindowed(cr, rt, s, c);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
}

Size deviceSize(int w, int h, double scale) {
    // Whole device pixels only: 661 x 1.5 is 991.5, painted into 991 (the
    // last device pixel's centre must lie inside the logical size).
    auto whole = [scale](int v) { return std::max(1, static_cast<int>(std::floor(v * scale + 1e-6))); };
    return {whole(w), whole(h)};
}

Size logicalSize(cairo_surface_t* s) {
    double sx = 1, sy = 1;
    cairo_surface_get_device_scale(s, &sx, &sy);
    return {static_cast<int>(std::lround(cairo_image_surface_get_width(s) / sx)),
            static_cast<int>(std::lround(cairo_image_surface_get_height(s) / sy))};
}

cairo_surface_t* renderScene(const Runtime& rt, const Scene& s) {
    const Size d = deviceSize(s.windowDesc().widthPx(), s.windowDesc().heightPx(), rt.scale());
    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, d.w, d.h);
    // Painted in logical pixels; cairo, pango and the pictures draw at the scale.
    cairo_surface_set_device_scale(surf, rt.scale(), rt.scale());
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
