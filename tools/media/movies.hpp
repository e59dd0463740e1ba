// The two movies: what each one draws at a given moment and what it sounds like.
#pragma once

#include "canvas.hpp"
#include "score.hpp"
#include "sound.hpp"

#include <cairo.h>

#include <memory>
#include <string>

namespace az::movie {

struct MovieInfo {
    int width = 0;
    int height = 0;
    int fps = 15;
    double seconds = 0;
};

class Movie {
public:
    virtual ~Movie() = default;
    virtual MovieInfo info() const = 0;
    // Paints the whole frame at time `t` (seconds from the start).
    virtual void draw(cairo_t* cr, double t) = 0;
    // Mixes the soundtrack; `music` is the movie's score.
    virtual void sound(Sound& out, const score::Score& music, const std::string& soundfont) = 0;
};

std::unique_ptr<Movie> makeIntro(Pieces& pieces);
std::unique_ptr<Movie> makeOutro(Pieces& pieces);

}  // namespace az::movie
