// The media components: the MIDI control, the movie player and the animated
// GIF banner, with the one audio output they share.
//
// MediaSystem owns the sound: a FluidSynth synthesiser for the tunes and the
// movies' sound, mixed into one stream of 44100 Hz stereo. Two ways to run:
//
//  - Device: an SDL audio device pulls the mixed samples on its own thread.
//    When no device can be opened the game runs on without sound, and the
//    stream follows the game clock instead (see pump()).
//  - Offline: no device at all. The stream is mixed as game time advances:
//    the host calls advanceTo() after each wait, and every command a handler
//    gives first mixes up to the game time of that moment, so the recording
//    is exact to the sample whatever the host does.
//
// Either way the stream can be written to a WAV file. Pictures (movie frames,
// banner frames) follow the game clock, so headless runs are deterministic.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "runtime/runtime.h"

namespace az {

class ScriptRunner;

struct MediaOptions {
    enum class Audio { Device, Offline };
    Audio audio = Audio::Offline;
    std::string wavOut;     // write the mixed output here; empty for none
    std::string soundfont;  // empty: the best General MIDI soundfont installed
};

class MediaSystem {
public:
    static constexpr int kRate = 44100;  // samples per second, two channels

    MediaSystem(Clock& clock, MediaOptions options = {});
    ~MediaSystem();
    MediaSystem(const MediaSystem&) = delete;
    MediaSystem& operator=(const MediaSystem&) = delete;

    // Makes the components of the Movie, Midi and AniGif controls.
    ComponentFactory factory();
    // Sets the factory on the runtime and remembers it for pump().
    void attach(Runtime& rt);

    // Offline (and device mode without a device): mixes the output up to
    // this game time. Times before the last one are ignored.
    void advanceTo(int64_t gameMs);

    // For the window system's loop, called before it paints and sleeps:
    // mixes up to the present when there is no device, marks the windows
    // whose movie or banner shows a new frame as changed, and returns how
    // many ms until the next frame is due (0: nothing animates).
    int pump();

    // The tune sounding now ("01.mid"), empty when none.
    std::string currentTune();
    // The loudness (RMS, 0 to 1) of the last MS milliseconds as they stand in
    // the recording (--audio-out), read back from the file; nullopt when
    // nothing is recorded or the recording is shorter.
    std::optional<double> recordedLevel(int64_t ms);
    // The movie file ("intro.swf") a scene's player shows: opened and
    // played, running or holding its last frame. Empty when none.
    std::string movieShowing(const Runtime& rt, const std::string& scene, const std::string& control);

    // Whether the SDL audio device is open (device mode).
    bool hasDevice() const;
    // The soundfont in use, empty before the first tune or when none.
    std::string soundfont() const;
    // Game time mixed so far, in samples (offline bookkeeping).
    int64_t mixedSamples() const;

    // Where the one-line reports go (default: stderr with "agent-zaza: ").
    // Problems are what went wrong with a file or a device; notes are
    // informational (which soundfont plays).
    enum class LogLevel { Problem, Note };
    using LogSink = std::function<void(LogLevel, const std::string&)>;
    void setLogSink(LogSink sink);

    struct Impl;

private:
    // Shared with the components, which may outlive the system itself.
    std::shared_ptr<Impl> impl_;
};

// `expect music FILE|none` and `expect movie SCENE.CONTROL FILE|none` for
// the scenario driver. The MediaSystem must outlive the runner.
void addMediaExpectations(ScriptRunner& runner, MediaSystem& media);

}  // namespace az
