// The intro movie: a saucer streaks over the sleeping town, crashes behind
// the power plant with a flash and a boom, and the title pops up.
#include "movies.hpp"

#include <cmath>
#include <numbers>

namespace az::movie {
namespace {

constexpr int kWidth = 377;
constexpr int kHeight = 393;
constexpr double kLength = 19.0;

// The saucer's flight: it enters at the top left, sweeps out over the town
// to the right, turns and dives behind the cooling towers.
constexpr double kFlightStart = 2.0;
constexpr double kCrash = 7.5;
constexpr double kCrashX = 262, kCrashY = 236;

struct Point {
    double x, y;
};

Point bezier(double u)
{
    const Point p0{-70, 80}, p1{330, -40}, p2{540, 170}, p3{kCrashX, kCrashY};
    const double v = 1 - u;
    return {v * v * v * p0.x + 3 * v * v * u * p1.x + 3 * v * u * u * p2.x + u * u * u * p3.x,
            v * v * v * p0.y + 3 * v * v * u * p1.y + 3 * v * u * u * p2.y + u * u * u * p3.y};
}

// Progress along the path: steady at first, speeding up in the dive.
double flight(double t)
{
    const double u = clamp01((t - kFlightStart) / (kCrash - kFlightStart));
    return 0.75 * u + 0.25 * u * u * u;
}

// Twinkling stars, at spots of the sky picture.
constexpr Point kTwinkles[] = {{118, 22}, {24, 30}, {208, 40}, {350, 130}, {72, 78}, {358, 24}, {164, 96}};

class Intro : public Movie {
public:
    explicit Intro(Pieces& pieces) : pieces_(pieces), sky_(kWidth, kHeight), town_(kWidth, kHeight)
    {
        pieces_["intro-sky"].drawPlain(sky_.cr());
        pieces_["intro-town"].drawPlain(town_.cr());
        // Night falls on the town: a blue-violet veil only where it is drawn.
        cairo_set_operator(town_.cr(), CAIRO_OPERATOR_ATOP);
        cairo_set_source_rgba(town_.cr(), 0.16, 0.10, 0.36, 0.42);
        cairo_paint(town_.cr());
        cairo_set_operator(town_.cr(), CAIRO_OPERATOR_OVER);
        pieces_["intro-lights"].drawPlain(town_.cr());
    }

    MovieInfo info() const override { return {kWidth, kHeight, 15, kLength}; }

    void draw(cairo_t* cr, double t) override
    {
        // The ground shakes for a moment after the crash.
        double dx = 0, dy = 0;
        if (t >= kCrash && t < kCrash + 1.2) {
            const double amount = 5.0 * (1.0 - (t - kCrash) / 1.2);
            dx = amount * std::sin(t * 97.0);
            dy = amount * std::cos(t * 131.0);
        }
        cairo_set_source_rgb(cr, 0.184, 0.129, 0.376);
        cairo_paint(cr);
        sky_.paint(cr, dx, dy);
        twinkles(cr, t, dx, dy);
        saucer(cr, t, dx, dy);
        explosion(cr, t, dx, dy);
        town_.paint(cr, dx, dy);

        // White flash of the crash.
        if (t >= kCrash && t < kCrash + 0.9) {
            cairo_set_source_rgba(cr, 1, 1, 0.92, 0.95 * (1.0 - (t - kCrash) / 0.9));
            cairo_paint(cr);
        }
        // Fade in from black at the start.
        if (t < 1.2) {
            cairo_set_source_rgba(cr, 0, 0, 0, 1.0 - t / 1.2);
            cairo_paint(cr);
        }
        title(cr, t);
    }

    void sound(Sound& out, const score::Score& music, const std::string& soundfont) override
    {
        out.playScore(music, soundfont, 0.0, 0.6);
        auto panAt = [](double t) { return clamp01(bezier(flight(t)).x / kWidth); };
        const double flightLength = kCrash - kFlightStart;
        // The saucer's warble, wavering as it crosses, then falling as it dives.
        out.hum(kFlightStart, flightLength,
                [](double u) { return u < 0.6 ? 520 + 120 * std::sin(u * 14) : lerp(640, 190, (u - 0.6) / 0.4); },
                [&](double u) { return panAt(kFlightStart + u * flightLength); },
                [](double u) { return 0.16 * smooth(u, 0.0, 0.15) * (0.7 + 0.3 * u); });
        // Rushing air as it sweeps past, and again in the dive.
        out.whoosh(kFlightStart + 0.4, 2.6,
                   [](double u) { return 300 + 2200 * std::sin(u * std::numbers::pi); },
                   [&](double u) { return panAt(kFlightStart + 0.4 + u * 2.6); },
                   [](double u) { return 0.55 * std::pow(std::sin(u * std::numbers::pi), 2); });
        out.whoosh(kCrash - 1.6, 1.6, [](double u) { return lerp(2600, 500, u); },
                   [&](double u) { return panAt(kCrash - 1.6 + u * 1.6); },
                   [](double u) { return 0.6 * u * u; });
        out.boom(kCrash, 0.8, 0.68);
        // The fire crackles and roars low behind the plant until the title comes.
        out.whoosh(kCrash + 0.3, 4.0, [](double u) { return 160 + 60 * std::sin(u * 40); },
                   [](double) { return 0.68; },
                   [](double u) { return 0.22 * smooth(u, 0.0, 0.2) * (1.0 - smooth(u, 0.7, 1.0)); });
    }

private:
    void twinkles(cairo_t* cr, double t, double dx, double dy)
    {
        int i = 0;
        for (const Point& p : kTwinkles) {
            const double phase = t * 2.3 + i * 1.9;
            const double glint = std::pow(std::max(0.0, std::sin(phase)), 6.0);
            Place place{p.x + dx, p.y + dy};
            place.scale(0.3 + 0.9 * glint);
            place.angle = phase * 0.3;
            place.alpha = glint;
            pieces_["spark"].draw(cr, place);
            ++i;
        }
    }

    void saucer(cairo_t* cr, double t, double dx, double dy)
    {
        if (t < kFlightStart || t >= kCrash)
            return;
        const double u = flight(t);
        // The trail: sparkles while it flies well, smoke once it is in trouble.
        for (int k = 12; k >= 1; --k) {
            const double back = t - k * 0.06;
            if (back < kFlightStart)
                continue;
            const Point p = bezier(flight(back));
            const double fade = 1.0 - k / 13.0;
            const double trouble = smooth(back, 4.6, 5.6);
            if (trouble < 1.0) {
                Place spark{p.x + dx, p.y + dy};
                spark.scale((0.35 + 0.5 * fade) * (1.0 - trouble));
                spark.angle = back * 5.0 + k;
                spark.alpha = fade;
                pieces_["spark"].draw(cr, spark);
            }
            if (trouble > 0.0) {
                Place puff{p.x + dx + std::sin(k * 2.1) * 3, p.y + dy - k * 0.8};
                puff.scale((0.2 + 0.35 * (1.0 - fade)) * trouble);
                puff.alpha = 0.85 * fade * trouble;
                pieces_["smoke"].draw(cr, puff);
            }
        }
        const Point p = bezier(u);
        const Point ahead = bezier(std::min(1.0, u + 0.01));
        const double heading = std::atan2(ahead.y - p.y, ahead.x - p.x);
        // It banks with its course and wobbles more and more once hit.
        double tilt = 0.25 * std::sin(heading);
        if (std::cos(heading) < 0)
            tilt = -tilt;
        tilt += smooth(t, 4.6, 6.0) * 0.35 * std::sin(t * 11.0);
        Place place{p.x + dx, p.y + dy};
        place.scale(lerp(0.4, 0.6, u));
        place.anchorY = 46.0 / 76.0;
        place.angle = tilt;
        pieces_["saucer"].draw(cr, place);
    }

    void explosion(cairo_t* cr, double t, double dx, double dy)
    {
        if (t < kCrash)
            return;
        // Smoke rising from behind the plant, drifting with the wind.
        for (int i = 0; i < 40; ++i) {
            const double born = kCrash + 0.3 + i * 0.32;
            const double age = t - born;
            if (age < 0 || age > 5.0)
                continue;
            Place puff{kCrashX + dx + std::sin(i * 1.7) * 8 + age * 9, kCrashY + dy - 10 - age * 24};
            puff.scale(0.45 + age * 0.22);
            puff.angle = std::sin(i * 0.9) * 0.4;
            puff.alpha = 0.9 * (1.0 - age / 5.0);
            pieces_["smoke"].draw(cr, puff);
        }
        // The blast: bursts out, then shrinks to a fire that flickers on.
        double size = 1.1 * popIn((t - kCrash) / 0.6) * (1.0 - 0.8 * smooth(t, kCrash + 1.0, kCrash + 2.2));
        size *= 1.0 + 0.06 * std::sin(t * 17.0);
        Place blast{kCrashX + dx, kCrashY + dy - 6};
        blast.scale(size);
        blast.angle = (t - kCrash) * 0.5;
        pieces_["boom"].draw(cr, blast);
    }

    void title(cairo_t* cr, double t)
    {
        const double dim = smooth(t, 10.8, 11.8);
        if (dim <= 0)
            return;
        cairo_set_source_rgba(cr, 0.08, 0.05, 0.22, 0.5 * dim);
        cairo_paint(cr);
        const double start = 11.5;
        if (t < start)
            return;
        Place place{kWidth / 2.0, 150 + 3.0 * std::sin((t - start) * 2.2) * smooth(t, 13, 14)};
        place.scale(popIn((t - start) / 1.4));
        place.angle = -0.5 * (1.0 - smooth(t, start, start + 0.9));
        pieces_["title"].draw(cr, place);
        // Glints running over the letters.
        constexpr Point glints[] = {{70, 110}, {300, 92}, {120, 200}, {262, 226}, {190, 86}};
        for (int i = 0; i < 5; ++i) {
            const double at = 13.4 + i * 1.1;
            const double g = std::sin(clamp01((t - at) / 0.6) * std::numbers::pi);
            if (g <= 0)
                continue;
            Place spark{glints[i].x, glints[i].y};
            spark.scale(1.6 * g);
            spark.angle = (t - at) * 3.0;
            pieces_["spark"].draw(cr, spark);
        }
    }

    Pieces& pieces_;
    Layer sky_;
    Layer town_;
};

}  // namespace

std::unique_ptr<Movie> makeIntro(Pieces& pieces) { return std::make_unique<Intro>(pieces); }

}  // namespace az::movie
