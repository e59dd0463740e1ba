// az-make-movie: renders one of our movies to a SWF file.
//
//   az-make-movie intro|outro ART_MOVIES_DIR SCORE.txt SOUNDFONT.sf2 OUT.swf
//
// Every frame is composed from the SVG pieces in ART_MOVIES_DIR with cairo
// and librsvg; the soundtrack is the score played by FluidSynth with a few
// synthesized effects mixed in. FFmpeg encodes and writes the file.
#include "encoder.hpp"
#include "movies.hpp"

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: az-make-movie intro|outro ART_MOVIES_DIR SCORE.txt SOUNDFONT.sf2 OUT.swf\n");
        return 2;
    }
    const std::string which = argv[1];
    const std::filesystem::path artDir = argv[2];
    const std::string out = argv[5];
    try {
        // Shared pieces (art/common/...) are named relative to art/.
        az::movie::Pieces pieces(artDir.string(), (artDir.parent_path() / "movie.svg").string());
        std::unique_ptr<az::movie::Movie> movie;
        if (which == "intro")
            movie = az::movie::makeIntro(pieces);
        else if (which == "outro")
            movie = az::movie::makeOutro(pieces);
        else
            throw std::runtime_error("unknown movie '" + which + "'");
        const auto info = movie->info();

        const auto music = az::score::parseFile(argv[3]);
        az::movie::Sound sound(info.seconds, 44100);
        movie->sound(sound, music, argv[4]);
        sound.finish();

        const std::string partial = out + ".part";
        auto writer = std::make_unique<az::movie::SwfWriter>(partial, info.width, info.height, info.fps,
                                                              sound.samples(), sound.rate());
        cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, info.width, info.height);
        cairo_t* cr = cairo_create(frame);
        const int frames = int(std::lround(info.seconds * info.fps));
        for (int i = 0; i < frames; ++i) {
            cairo_save(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
            movie->draw(cr, double(i) / info.fps);
            cairo_restore(cr);
            writer->addFrame(frame);
        }
        writer->finish();
        writer.reset();  // closes the file
        cairo_destroy(cr);
        cairo_surface_destroy(frame);
        std::filesystem::rename(partial, out);
        std::printf("%s: %d frames of %d x %d at %d fps with sound\n", out.c_str(), frames, info.width,
                    info.height, info.fps);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "az-make-movie: %s\n", e.what());
        return 1;
    }
    return 0;
}
