#include "sound.hpp"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace az::movie {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

Sound::Sound(double seconds, int rate) : rate_(rate), samples_(size_t(seconds * rate) * 2, 0.0f) {}

void Sound::add(std::int64_t frame, double value, double pan)
{
    if (frame < 0 || size_t(frame) * 2 + 1 >= samples_.size())
        return;
    // Equal-power panning, 0 = left, 1 = right.
    const double angle = std::clamp(pan, 0.0, 1.0) * std::numbers::pi / 2;
    samples_[size_t(frame) * 2] += float(value * std::cos(angle));
    samples_[size_t(frame) * 2 + 1] += float(value * std::sin(angle));
}

double Sound::noise()
{
    seed_ = seed_ * 1664525u + 1013904223u;
    return double(seed_ >> 8) / double(1u << 24) * 2.0 - 1.0;
}

void Sound::playScore(const score::Score& score, const std::string& soundfont, double at, double gain)
{
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", rate_);
    fluid_settings_setnum(settings, "synth.gain", 1.0);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.polyphony", 256);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth || fluid_synth_sfload(synth, soundfont.c_str(), 1) == FLUID_FAILED) {
        if (synth)
            delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        throw std::runtime_error(soundfont + ": cannot load the soundfont");
    }
    for (const auto& v : score.voices) {
        fluid_synth_program_change(synth, v.channel, v.program);
        fluid_synth_cc(synth, v.channel, 7, v.volume);
        fluid_synth_cc(synth, v.channel, 10, v.pan);
        fluid_synth_cc(synth, v.channel, 91, v.reverb);
        fluid_synth_cc(synth, v.channel, 93, v.chorus);
    }

    struct Event {
        std::int64_t frame;
        bool on;
        int channel, key, velocity;
    };
    std::vector<Event> events;
    for (const auto& n : score.notes) {
        const int ch = score.voices[size_t(n.voice)].channel;
        events.push_back({std::int64_t(std::llround(score.seconds(n.on) * rate_)), true, ch, n.key, n.velocity});
        events.push_back({std::int64_t(std::llround(score.seconds(n.off) * rate_)), false, ch, n.key, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.frame != b.frame ? a.frame < b.frame : (!a.on && b.on);
    });

    const std::int64_t start = std::int64_t(std::llround(at * rate_));
    const std::int64_t total = std::int64_t(samples_.size() / 2) - start;
    std::vector<float> left(512), right(512);
    std::int64_t pos = 0;
    auto renderTo = [&](std::int64_t until) {
        until = std::min(until, total);
        while (pos < until) {
            const int n = int(std::min<std::int64_t>(512, until - pos));
            fluid_synth_write_float(synth, n, left.data(), 0, 1, right.data(), 0, 1);
            for (int i = 0; i < n; ++i) {
                const size_t f = size_t(start + pos + i) * 2;
                samples_[f] += float(left[size_t(i)] * gain);
                samples_[f + 1] += float(right[size_t(i)] * gain);
            }
            pos += n;
        }
    };
    for (const Event& e : events) {
        renderTo(e.frame);
        if (e.on)
            fluid_synth_noteon(synth, e.channel, e.key, e.velocity);
        else
            fluid_synth_noteoff(synth, e.channel, e.key);
    }
    renderTo(total);  // let the last notes and the reverb ring out
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

void Sound::whoosh(double at, double seconds, const Curve& pitch, const Curve& pan, const Curve& level)
{
    // A state-variable band-pass over white noise.
    double low = 0, band = 0;
    const auto frames = std::int64_t(seconds * rate_);
    const auto start = std::int64_t(at * rate_);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double u = double(i) / double(frames);
        const double f = 2.0 * std::sin(std::numbers::pi * std::min(pitch(u), rate_ / 6.0) / rate_);
        const double q = 0.35;
        const double x = noise();
        low += f * band;
        const double high = x - low - q * band;
        band += f * high;
        add(start + i, band * level(u), pan(u));
    }
}

void Sound::hum(double at, double seconds, const Curve& pitch, const Curve& pan, const Curve& level)
{
    double phase = 0, wobble = 0;
    const auto frames = std::int64_t(seconds * rate_);
    const auto start = std::int64_t(at * rate_);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double u = double(i) / double(frames);
        wobble += kTwoPi * 7.0 / rate_;
        const double f = pitch(u) * (1.0 + 0.06 * std::sin(wobble));
        phase += kTwoPi * f / rate_;
        const double v = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase);
        // Short fades at both ends keep it from clicking.
        const double edge = std::min({1.0, double(i) / (0.02 * rate_), double(frames - i) / (0.02 * rate_)});
        add(start + i, 0.7 * v * level(u) * edge, pan(u));
    }
}

void Sound::boom(double at, double gain, double pan)
{
    const auto frames = std::int64_t(2.5 * rate_);
    const auto start = std::int64_t(at * rate_);
    double low1 = 0, low2 = 0, phase = 0;
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate_;
        // Rumble: noise through two low-pass stages whose corner sinks.
        const double corner = 2500.0 * std::exp(-t * 3.0) + 120.0;
        const double a = 1.0 - std::exp(-kTwoPi * corner / rate_);
        low1 += a * (noise() - low1);
        low2 += a * (low1 - low2);
        const double rumble = low2 * 2.2 * std::exp(-t * 1.6);
        // Thump: a sine sliding from 90 Hz down to 35 Hz.
        phase += kTwoPi * (35.0 + 55.0 * std::exp(-t * 6.0)) / rate_;
        const double thump = std::sin(phase) * std::exp(-t * 2.8);
        const double attack = std::min(1.0, t / 0.004);
        add(start + i, gain * attack * (0.9 * thump + rumble), pan);
    }
}

void Sound::finish()
{
    for (float& s : samples_) {
        const double x = s;
        const double knee = 0.7;
        if (std::abs(x) > knee) {
            const double over = std::abs(x) - knee;
            const double squeezed = knee + (1.0 - knee) * std::tanh(over / (1.0 - knee));
            s = float(std::copysign(squeezed * 0.98, x));
        }
    }
}

}  // namespace az::movie
