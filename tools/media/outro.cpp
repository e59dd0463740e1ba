// The end movie: the saucer on its spider legs blinks, pulls its legs in,
// lifts off and flies away into the night; then "KONEC".
#include "movies.hpp"

#include <cmath>
#include <numbers>

namespace az::movie {
namespace {

constexpr int kWidth = 249;
constexpr int kHeight = 113;
constexpr double kLength = 7.0;

constexpr double kSaucerScale = 0.5;
constexpr double kGroundX = 124.5, kGroundY = 62;  // the saucer's middle while it stands
constexpr double kLegsIn = 1.3, kLegsUp = 2.2;     // legs fold between these times
constexpr double kAway = 4.3;                      // gone in the sky
constexpr double kGoneX = 204, kGoneY = 12;

struct Point {
    double x, y;
};

// Where the saucer's middle is, and how big it is, at time t.
Point position(double t, double& scale)
{
    scale = kSaucerScale;
    Point p{kGroundX, kGroundY};
    p.y -= 6.0 * smooth(t, kLegsIn, kLegsUp);  // rising on its engine
    if (t > kLegsUp) {
        const double u = clamp01((t - kLegsUp) / (kAway - kLegsUp));
        const double e = u * u;  // speeding up
        p.x = lerp(p.x, kGoneX, e);
        p.y = lerp(p.y, kGoneY, std::pow(u, 1.4));
        scale = lerp(kSaucerScale, 0.04, std::pow(u, 0.8));
    }
    return p;
}

class Outro : public Movie {
public:
    explicit Outro(Pieces& pieces) : pieces_(pieces), site_(kWidth, kHeight)
    {
        pieces_["outro-site"].drawPlain(site_.cr());
    }

    MovieInfo info() const override { return {kWidth, kHeight, 15, kLength}; }

    void draw(cairo_t* cr, double t) override
    {
        site_.paint(cr);
        dust(cr, t);
        saucer(cr, t);
        ping(cr, t);
        konec(cr, t);
    }

    void sound(Sound& out, const score::Score& music, const std::string& soundfont) override
    {
        out.playScore(music, soundfont, 0.0, 0.6);
        // Idling engine, then the climb: the warble rises and fades with distance.
        out.hum(0.3, kAway - 0.2,
                [](double u) { return u < 0.25 ? 260.0 : lerp(260, 1100, std::pow((u - 0.25) / 0.75, 1.5)); },
                [](double u) { return lerp(0.5, 0.8, smooth(u, 0.45, 1.0)); },
                [](double u) {
                    return 0.12 * smooth(u, 0.0, 0.1) * (u < 0.3 ? 0.6 : 1.0) * (1.0 - smooth(u, 0.7, 1.0));
                });
        out.whoosh(kLegsUp - 0.3, kAway - kLegsUp + 0.3,
                   [](double u) { return lerp(400, 2400, u); },
                   [](double u) { return lerp(0.5, 0.85, u); },
                   [](double u) { return 0.5 * std::sin(u * std::numbers::pi); });
    }

private:
    void saucer(cairo_t* cr, double t)
    {
        if (t > kAway + 0.05)
            return;
        double scale = 0;
        const Point p = position(t, scale);
        // Sparkle trail once airborne.
        for (int k = 10; k >= 1 && t > kLegsUp; --k) {
            const double back = t - k * 0.05;
            if (back < kLegsUp)
                continue;
            double s = 0;
            const Point q = position(back, s);
            Place spark{q.x, q.y + 10 * s};
            spark.scale(s * (1.0 - k / 11.0) * 1.4);
            spark.angle = back * 6 + k;
            spark.alpha = 1.0 - k / 11.0;
            pieces_["spark"].draw(cr, spark);
        }
        // Engine glow under the belly.
        const double glow = smooth(t, kLegsIn - 0.3, kLegsIn + 0.2);
        if (glow > 0) {
            cairo_save(cr);
            cairo_translate(cr, p.x, p.y + 24 * scale);
            cairo_scale(cr, 1.0, 0.45);
            const double r = scale * (26 + 4 * std::sin(t * 40));
            cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 0, 0, 0, r);
            cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.95, 0.6, 0.95 * glow);
            cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.75, 0.2, 0);
            cairo_set_source(cr, g);
            cairo_arc(cr, 0, 0, r, 0, 2 * std::numbers::pi);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            cairo_restore(cr);
        }
        // The legs fold up into the belly.
        const double legs = 1.0 - smooth(t, kLegsIn, kLegsUp);
        if (legs > 0.02) {
            Place place{p.x, p.y + (58 - 46) * scale};
            place.scaleX = scale * (0.7 + 0.3 * legs);
            place.scaleY = scale * legs;
            place.anchorY = 0;
            pieces_["legs"].draw(cr, place);
        }
        Place body{p.x, p.y};
        body.scale(scale);
        body.anchorY = 46.0 / 76.0;
        body.angle = -0.28 * smooth(t, kLegsUp, kLegsUp + 0.6) + 0.05 * std::sin(t * 5) * (t > kLegsIn);
        pieces_["saucer"].draw(cr, body);
        // Its lamps blink in turn while it stands.
        if (t < kLegsUp) {
            const int lit = int(t * 8) % 5;
            const double lampX[] = {18, 40, 70, 100, 122};
            const double lampY[] = {53, 57, 59, 57, 53};
            cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
            cairo_arc(cr, p.x + (lampX[lit] - 70) * scale, p.y + (lampY[lit] - 46) * scale, 2.2 * scale * 2, 0,
                      2 * std::numbers::pi);
            cairo_fill(cr);
        }
    }

    void dust(cairo_t* cr, double t)
    {
        const double u = clamp01((t - kLegsIn) / 1.6);
        if (u <= 0 || u >= 1)
            return;
        for (int side = -1; side <= 1; side += 2) {
            for (int i = 0; i < 3; ++i) {
                Place puff{kGroundX + side * (30 + u * 40 + i * 12), 94 - i * 3 - u * 6};
                puff.scale(0.25 + 0.25 * u);
                puff.alpha = (1.0 - u) * 0.9;
                puff.scaleX = side * (0.25 + 0.25 * u);
                pieces_["smoke"].draw(cr, puff);
            }
        }
    }

    void ping(cairo_t* cr, double t)
    {
        const double g = std::sin(clamp01((t - kAway + 0.1) / 0.6) * std::numbers::pi);
        if (g <= 0)
            return;
        Place spark{kGoneX, kGoneY};
        spark.scale(1.5 * g);
        spark.angle = t * 4;
        pieces_["spark"].draw(cr, spark);
    }

    void konec(cairo_t* cr, double t)
    {
        const double start = 4.5;
        const double dim = smooth(t, start - 0.3, start + 0.4);
        if (dim <= 0)
            return;
        cairo_set_source_rgba(cr, 0.08, 0.05, 0.22, 0.35 * dim);
        cairo_paint(cr);
        if (t < start)
            return;
        Place place{kWidth / 2.0, 58};
        place.scale(0.9 * popIn((t - start) / 1.2));
        pieces_["konec"].draw(cr, place);
    }

    Pieces& pieces_;
    Layer site_;
};

}  // namespace

std::unique_ptr<Movie> makeOutro(Pieces& pieces) { return std::make_unique<Outro>(pieces); }

}  // namespace az::movie
