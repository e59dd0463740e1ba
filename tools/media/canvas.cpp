#include "canvas.hpp"

#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace az::movie {

Svg::Svg(const std::string& path, const std::string& base) : path_(path)
{
    GError* error = nullptr;
    auto fail = [&](const std::string& what) {
        std::string message = what + (error ? std::string(": ") + error->message : std::string());
        if (error)
            g_error_free(error);
        throw std::runtime_error(path + ": " + message);
    };
    GFile* file = g_file_new_for_path(path.c_str());
    GFile* baseFile = g_file_new_for_path(base.c_str());
    GFileInputStream* stream = g_file_read(file, nullptr, &error);
    g_object_unref(file);
    if (!stream) {
        g_object_unref(baseFile);
        fail("cannot open");
    }
    handle_ = rsvg_handle_new_with_flags(RSVG_HANDLE_FLAGS_NONE);
    rsvg_handle_set_base_gfile(handle_, baseFile);
    g_object_unref(baseFile);
    const bool read = rsvg_handle_read_stream_sync(handle_, G_INPUT_STREAM(stream), nullptr, &error);
    g_object_unref(stream);
    if (!read)
        fail("not a readable SVG picture");
    gdouble w = 0, h = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle_, &w, &h))
        fail("the root element needs a width and a height");
    width_ = w;
    height_ = h;
}

Svg::~Svg()
{
    if (handle_)
        g_object_unref(handle_);
}

void Svg::drawPlain(cairo_t* cr) const
{
    RsvgRectangle viewport{0, 0, width_, height_};
    GError* error = nullptr;
    if (!rsvg_handle_render_document(handle_, cr, &viewport, &error)) {
        std::string message = error ? error->message : "unknown error";
        if (error)
            g_error_free(error);
        throw std::runtime_error(path_ + ": " + message);
    }
}

void Svg::draw(cairo_t* cr, const Place& p) const
{
    if (p.alpha <= 0.001 || std::abs(p.scaleX) < 1e-4 || std::abs(p.scaleY) < 1e-4)
        return;
    cairo_save(cr);
    cairo_translate(cr, p.x, p.y);
    cairo_rotate(cr, p.angle);
    cairo_scale(cr, p.scaleX, p.scaleY);
    cairo_translate(cr, -p.anchorX * width_, -p.anchorY * height_);
    if (p.alpha < 0.999) {
        cairo_push_group(cr);
        drawPlain(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, p.alpha);
    } else {
        drawPlain(cr);
    }
    cairo_restore(cr);
}

Layer::Layer(int width, int height)
{
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cr_ = cairo_create(surface_);
}

Layer::~Layer()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Layer::paint(cairo_t* target, double dx, double dy, double alpha) const
{
    cairo_surface_flush(surface_);
    cairo_save(target);
    cairo_set_source_surface(target, surface_, dx, dy);
    if (alpha < 0.999)
        cairo_paint_with_alpha(target, alpha);
    else
        cairo_paint(target);
    cairo_restore(target);
}

const Svg& Pieces::operator[](const std::string& name)
{
    auto& slot = loaded_[name];
    if (!slot)
        slot = std::make_unique<Svg>(folder_ + "/" + name + ".svg", base_);
    return *slot;
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double ramp(double t, double from, double to) { return clamp01((t - from) / (to - from)); }

double smooth(double t, double from, double to)
{
    const double u = ramp(t, from, to);
    return u * u * (3 - 2 * u);
}

double lerp(double a, double b, double u) { return a + (b - a) * u; }

double popIn(double u)
{
    u = clamp01(u);
    // A damped spring: quick overshoot, then a small wobble back to 1.
    return 1.0 - std::exp(-6.0 * u) * std::cos(11.0 * u);
}

}  // namespace az::movie
