// Scores for our tunes and movie soundtracks.
//
// A score is a small text file (see tunes/README.md for the notation): voices
// (one MIDI channel each), named blocks of notes or drum grids, and an
// arrangement that plays blocks side by side, section after section.
// The parser turns it into a flat list of notes in MIDI ticks, with swing
// already applied, ready for the MIDI file writer or for a synthesizer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace az::score {

inline constexpr int kTicksPerBeat = 480;
inline constexpr int kTicksPerStep = kTicksPerBeat / 4;  // one sixteenth

struct Voice {
    std::string name;
    int channel = 0;       // 0-based MIDI channel (drums: 9)
    int program = 0;       // General MIDI program, 0-based
    int volume = 100;      // controller 7
    int pan = 64;          // controller 10
    int reverb = 40;       // controller 91
    int chorus = 0;        // controller 93
    int velocity = 96;     // base note velocity
};

struct Note {
    std::int64_t on = 0;   // tick of note-on
    std::int64_t off = 0;  // tick of note-off
    int voice = 0;         // index into Score::voices
    int key = 60;
    int velocity = 96;
};

struct Score {
    std::string title;
    double tempo = 120.0;          // beats per minute
    int meterBeats = 4;
    int meterUnit = 4;
    std::vector<Voice> voices;
    std::vector<Note> notes;       // sorted by `on`
    std::int64_t lengthTicks = 0;  // end of the arrangement

    double seconds(std::int64_t tick) const { return double(tick) * 60.0 / (tempo * kTicksPerBeat); }
};

// Throws std::runtime_error with "file:line: message" on bad input.
Score parseFile(const std::string& path);
Score parseText(const std::string& text, const std::string& name);

}  // namespace az::score
