// Drawing helpers for the movies: SVG pieces placed with cairo.
#pragma once

#include <cairo.h>

#include <map>
#include <memory>
#include <string>

typedef struct _RsvgHandle RsvgHandle;

namespace az::movie {

// Where and how a piece goes: its anchor point (0..1 of its own size,
// 0.5/0.5 = centre) lands on x, y; then it is scaled, turned and faded.
struct Place {
    double x = 0, y = 0;
    double scaleX = 1, scaleY = 1;
    double angle = 0;  // radians, clockwise
    double alpha = 1;
    double anchorX = 0.5, anchorY = 0.5;

    Place& scale(double s) { scaleX = scaleY = s; return *this; }
};

class Svg {
public:
    // `base` is the file that relative references inside the picture are
    // resolved against (the movie pieces name shared art relative to art/).
    Svg(const std::string& path, const std::string& base);
    ~Svg();
    Svg(const Svg&) = delete;
    Svg& operator=(const Svg&) = delete;

    double width() const { return width_; }
    double height() const { return height_; }
    void draw(cairo_t* cr, const Place& place) const;
    // The whole picture at its own size with its top-left corner at 0, 0.
    void drawPlain(cairo_t* cr) const;

private:
    RsvgHandle* handle_ = nullptr;
    std::string path_;
    double width_ = 0, height_ = 0;
};

// A picture drawn once into memory, for layers that do not change.
class Layer {
public:
    Layer(int width, int height);
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    cairo_t* cr() const { return cr_; }
    void paint(cairo_t* target, double dx = 0, double dy = 0, double alpha = 1) const;

private:
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
};

// The SVG pieces of one folder, loaded on first use.
class Pieces {
public:
    Pieces(std::string folder, std::string base) : folder_(std::move(folder)), base_(std::move(base)) {}
    const Svg& operator[](const std::string& name);

private:
    std::string folder_;
    std::string base_;
    std::map<std::string, std::unique_ptr<Svg>> loaded_;
};

// Small animation helpers.
double clamp01(double v);
double ramp(double t, double from, double to);  // 0 before `from`, 1 after `to`, linear between
double smooth(double t, double from, double to); // the same, eased in and out
double lerp(double a, double b, double u);
double popIn(double u);                          // 0 -> overshoots past 1 -> settles at 1

}  // namespace az::movie
