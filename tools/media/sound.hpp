// The movies' soundtrack: a stereo buffer that music and effects are mixed into.
#pragma once

#include "score.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace az::movie {

class Sound {
public:
    using Curve = std::function<double(double u)>;  // u runs 0..1 over the effect

    Sound(double seconds, int rate);

    int rate() const { return rate_; }
    const std::vector<float>& samples() const { return samples_; }  // interleaved L R

    // Plays a score with FluidSynth, starting `at` seconds into the movie.
    void playScore(const score::Score& score, const std::string& soundfont, double at, double gain);

    // Rushing air: band-passed noise whose pitch follows `pitch` (Hz).
    void whoosh(double at, double seconds, const Curve& pitch, const Curve& pan, const Curve& level);
    // The saucer's warble: a tone with a fast vibrato.
    void hum(double at, double seconds, const Curve& pitch, const Curve& pan, const Curve& level);
    // A crash: a falling thump under a burst of rumbling noise.
    void boom(double at, double gain, double pan);

    // Keeps peaks under full scale with a soft knee.
    void finish();

private:
    void add(std::int64_t frame, double value, double pan);
    double noise();

    int rate_;
    std::vector<float> samples_;
    std::uint32_t seed_ = 0x5eed1234u;
};

}  // namespace az::movie
