// What the media components share inside the library.
#pragma once

#include <cstdint>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "media/media.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace az {

class MidiControl;

// A source of sound mixed into the output (a playing movie).
class SoundSource {
public:
    virtual ~SoundSource() = default;
    // Adds FRAMES stereo frames of 44100 Hz float samples to OUT.
    virtual void mixInto(float* out, int frames) = 0;
};

// A component that changes its picture by itself.
class AnimatedComponent : public Component {
public:
    // Whether the picture at game time NOW differs from the one painted or
    // reported last; it is then taken as reported.
    virtual bool frameChanged(int64_t now) = 0;
    // Game time of the next change after NOW, nullopt when none will come.
    virtual std::optional<int64_t> nextChange(int64_t now) = 0;
};

// The file name at the end of a path ("01.mid").
std::string baseName(const std::string& path);

// The largest media file read, and the largest a compressed movie may
// inflate to: the game's own are a few MB.
constexpr uint64_t kMaxMediaFile = 64u << 20;

// Reads a whole media file: a regular file of at most kMaxMediaFile bytes,
// opened without blocking. On failure says why, as one short phrase.
std::optional<std::string> readWholeFile(const std::string& path, std::string* why);

// A Standard MIDI File as the menu is to play it.
struct MidiInfo {
    std::string error;    // empty when it can be played, otherwise what is wrong
    double lengthMs = 0;  // from its start to the end of its longest track
    std::string bytes;    // what the synthesiser reads (SMPTE time made beats)
};
// Checks header, chunks within the file, events well formed and within
// bounds, and that it plays some note.
MidiInfo inspectMidiFile(const std::string& bytes);
// The error of inspectMidiFile: empty when fine.
std::string checkMidiFile(const std::string& bytes);

// Samples of output at game time MS, kept within range for any time.
int64_t samplesAt(int64_t ms);
// A game time MS after AT, held at the end of time.
int64_t later(int64_t at, int64_t ms);

struct MediaSystem::Impl {
    Impl(Clock& c, MediaOptions o);
    ~Impl();

    Clock& clock;
    MediaOptions opt;
    Runtime* rt = nullptr;
    LogSink sink;
    // False once the MediaSystem is gone: components that outlive it stop
    // mixing and recording.
    bool live = true;

    // Everything the audio thread touches is guarded by this lock: the
    // synthesiser, the tune's player, the sound sources and the recording.
    std::mutex mu;

    fluid_settings_t* settings = nullptr;
    // Set once, when the soundfont is loaded.
    std::atomic<fluid_synth_t*> synth{nullptr};
    bool synthTried = false;
    std::string sfPath;

    fluid_player_t* player = nullptr;
    const MidiControl* playerOwner = nullptr;
    std::string tune;  // the player's file name
    // The synthesiser's share of the mix: 1 while a tune is open, 0 after
    // it is closed. Closing fades it out in a few ms and the synthesiser
    // then runs on unheard until its tails die away.
    float synthLevel = 0;
    int64_t quietSamples = 0;  // since the last tune stopped sounding
    std::vector<float> synthBuf;

    // Without a listener (no device, no recording) nothing is synthesised:
    // the open tune is only timed, from the game time it was played at
    // (-1 before Play) for its length.
    int64_t silentStart = -1;
    double silentLength = 0;

    // With a device the synthesiser and the tune's player belong to the
    // audio thread, which may take long over a dense tune: what the MIDI
    // control does to them waits here for the next buffer, and no handler
    // waits for the synthesiser. Without a device they run at once.
    std::mutex pendingMu;
    std::vector<std::function<void()>> pending;
    uint64_t issued = 0, applied = 0;  // commands given and carried out
    bool playIssued = false;           // Play given to the open tune
    bool synthSounding = false;        // the player's state after the last buffer
    // Runs FN on the synthesiser (the lock is held).
    void onSynth(std::function<void()> fn);
    // The device's thread: carries out the commands, synthesises, mixes.
    void deviceBuffer(float* out, int frames);

    // Whether the open tune is playing and has not reached its end.
    bool tuneSounding() const;
    // Whether the player says it plays (audio thread or no device).
    bool playerSounding() const;
    // Whether anything hears the output: an audio device or a recording.
    bool listening() const { return device != 0 || wav != nullptr; }

    std::vector<SoundSource*> sources;

    unsigned device = 0;  // SDL audio device, 0 for none
    bool sdlAudio = false;

    int64_t mixed = 0;  // samples mixed so far
    std::vector<float> scratch;

    std::FILE* wav = nullptr;
    uint64_t wavFrames = 0;

    void problem(const std::string& msg);
    void note(const std::string& msg);
    // Loads the soundfont on first use; false (said once) when there is none.
    bool ensureSynth();
    // Mixes FRAMES frames into OUT; the lock is held.
    void mix(float* out, int frames);
    // The two halves of mix: the synthesiser into OUT, then the sources.
    void synthesise(float* out, int frames);
    void mixSources(float* out, int frames);
    // Without a device: mixes up to the present game time.
    void sync();
    void advanceToLocked(int64_t gameMs);
    void openWav();
    void writeWav(const float* data, int frames);
    void closeWav();
    void openDevice();
    void addSource(SoundSource* s);
    void removeSource(SoundSource* s);
};

using ImplPtr = std::shared_ptr<MediaSystem::Impl>;
std::unique_ptr<Component> makeMidiControl(ImplPtr m, const Control& c);
std::unique_ptr<Component> makeMoviePlayer(ImplPtr m, const Control& c);
// pixelsPerLogical: the scale the GIF's frames are rendered at.
std::unique_ptr<Component> makeAniGif(ImplPtr m, const Control& c, const std::string& file, int pixelsPerLogical = 1);

}  // namespace az
